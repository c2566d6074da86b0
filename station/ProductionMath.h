#pragma once
#include <QString>
#include <cstdint>

// The production report's arithmetic: today's counts, the current period and
// its pause, the rows written for it and the summary line. Times are days
// since 1899-12-30 with the fraction of a day.
namespace prodmath {

// One row of the production table as the station reads and writes it.
struct ProductionRow {
    QString sSeq;           // right-trimmed on reading
    double dStart = 0.0;    // the period's start
    double dEnd = 0.0;      // the time of writing
    double dPause = 0.0;    // the period's paused time
    int16_t nUnits = 0;
    int16_t nFails = 0;
};

// A time or a span as the table stores it: "00000.000000" with the user
// locale's decimal character.
QString dayText(double idDays);
// A stored time read back, accepting "." and "," whatever the locale; raises a
// type mismatch on anything else.
double dayValue(const QString& isText);

// A stored count read back as a 16-bit integer (overflow past 32767, a type
// mismatch on a text that is no number).
int16_t countValue(const QString& isText);

// True when the two times lie on the same day.
bool sameDay(double idA, double idB);

// The working time a row books: its span less its pause.
double rowWorkingTime(const ProductionRow& iRow);

// A ratio as its percentage text: "0%" for 0, one decimal below 10% and none
// from there on ("5.0%", "25%", "100%"); the pattern is chosen on the rounded
// value, so 0.0996 gives "10%".
QString percentText(float ifRatio);

// The text preceded by as many blanks as make it iWidth long; a longer text
// stays as it is.
QString rightAligned(const QString& isText, int iWidth);

// Today's counts and the current period. Counts are 16-bit: one past 32767
// raises an overflow.
class ProductionTally {
public:
    int16_t mnUnitsToday = 0;
    int16_t mnFailsToday = 0;
    int16_t mnUnitsSeq = 0;
    int16_t mnFailsSeq = 0;
    int16_t mnUnitsSeqMark = 0;
    int16_t mnFailsSeqMark = 0;
    double mdPeriodStart = 0.0;
    double mdPauseStart = 0.0;     // 0 while no pause is open
    double mdPauseTotal = 0.0;
    double mdRunTotal = 0.0;
    double mdMeanPerUnit = 0.0;

    // A read: beginRead, addRow for every stored row of the day from the
    // earliest on, then endRead.
    void beginRead();
    void addRow(const ProductionRow& iRow, const QString& isSeqName, double idToday);
    void endRead(double idNow);

    // One tested unit counted.
    void count(bool ibFailed, double idNow);

    // The row for the period, false when nothing was counted for the sequence
    // since the period began (nothing to write). An open pause is booked up to now.
    bool periodRow(double idNow, const QString& isSeqName, ProductionRow& oRow) const;
    // The row stored: the next period starts where it ended, with the totals as
    // a fresh read of the table would give them. An open pause stays open.
    void rowWritten(const ProductionRow& iRow);

    // The engineer's pause; closing without an open pause books nothing.
    void pauseOpen(double idNow);
    void pauseClose(double idNow);

    // "Total", both unit counts, "  Fail ", both percentages and four blanks,
    // ahead of the mean time per unit (added by the caller).
    QString summaryHead() const;

private:
    void startPeriod(double idNow);
};

}
