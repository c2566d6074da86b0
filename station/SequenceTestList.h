#pragma once
#include <QList>
#include <QString>
#include <cstdint>

// The test list of the selected sequence and the texts the main window builds
// from a sequence row. Plain computations, shared by the selection, the run,
// the calibration and the result display.

// One slot of the list: the test's name and type ("Response", "Polarity",
// "Sine", "Ext Dist"; empty when the test table has no such test).
struct TestListEntry {
    QString sName;
    QString sType;
    int32_t lSpare = 0;   // kept for the record's layout, not used
};

// Entry 0 is not used; entries 1..n are slots 1..n. Size 1 (upper bound 0) is
// a sequence without tests.
using TestList = QList<TestListEntry>;

inline int16_t testListUpper(const TestList& iList) { return static_cast<int16_t>(iList.size() - 1); }

// The slot of the next "Response" test after inSlot, 0 when none (also when
// inSlot is at or past the list's end).
int16_t nextRespTest(const TestList& iList, int16_t inSlot);

// The slot of the sequence's main response test: the "Response" test named
// isMainResp (names compared exactly), else the first "Response" slot; 0 when
// the sequence has none.
int16_t mainRespSlot(const TestList& iList, const QString& isMainResp);

// The name of the first "Polarity" test, or an empty text.
QString polarityFirstInSeq(const TestList& iList);

// The last "Response" slot (0 when none) and the number of "Response" tests.
struct RespSummary {
    int16_t nLastRespSlot = 0;
    int16_t nRespTestCount = 0;
};
RespSummary respSummary(const TestList& iList);

// "Ref Search (dB) 1.50" when the limit is above 0, else empty.
QString refSearchLabel(float ifRefLim);
// "Selection (dB) 0.00", also for 0.
QString selectionLabel(float ifSelLim);
// "Station:  " (two blanks) and the name.
QString stationLabel(const QString& isStationName);
// The second line of the card summary: the output device's name.
QString cardLabelFromInfo(const QString& isInfoShort);
