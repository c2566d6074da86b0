#pragma once
#include "audio/modAudio.h"
#include <QString>
#include <QStringList>
#include <cstdint>

// modMSub: the station's routines on the main window that the run, the
// selection and the calibration share.

// The reference curve of the current test, points 1..100 (element 0 unused).
extern ResponseCurve gafRefCrv;
// The target as drawn for the current test; upper bound 0 when no target is in use.
extern ResponseCurve gafRef2Target;
// The target file's level at each sweep point of the current test, before it
// is normalised; upper bound 0 after a failed build.
extern ResponseCurve gafTargetLevel;

// The test name in a slot of the current sequence (field "Test_" and the slot
// in two digits), trailing blanks removed; a blank slot gives "".
QString gsMSubTestName(int16_t inSlot, bool& obError);

// Places the polarity picture and draws its axis and threshold lines over what it holds.
void gMSubPolarityGridShow(bool& obError);
// Writes a test name in a row of the results list on the polarity picture:
// rows 1 to 12 down the right column, 13 on down the left one.
void gMSubPolarityGridTestNameShow(const QString& isTestName, int16_t inRow, int32_t ilColour, bool& obError);

// Loads the calibration reference of a test of a sequence into gafRefCrv. False,
// without a message, when the sequence holds no calibration of the test (no row
// names it, or its curve was never written): gafRefCrv keeps what it held and
// gMSubResponseShowRef draws no reference until the next load.
bool gMSubSetRefCrvActive(const QString& isSeqName, const QString& isTestName, bool& obError);
// Prints the calibration state on the main window's response graph, at the
// left of its bottom text line: red when the text holds "!", else black; the
// graph's text colour is kept.
void gMSubRespShowWhenCaliDue(const QString& isText, bool& obError);
// Draws the comparison curve (the target when one is in use, else the loaded
// reference) in cyan and the range warning on the main window's graph.
void gMSubResponseShowRef(int32_t ilMicLevel, bool& obError);
// The operator's decision on a response: measures, then offers Sweep, Clear,
// Fail and Pass in the "Switch Test" box until Fail or Pass; True = pass.
bool gbMSubResponseTestOpDo(float ifLo, float ifHi, int16_t inPoints, float ifDelay, float ifDrive, bool ibActive,
                            int32_t ilMicLevel, const QString& isTestName, int16_t inRespNo, bool& obError);
// Shows which tone a sine test plays in the modeless notice captioned
// isTitle: the sweep range in its direction (or the low frequency alone when
// there is no sweep or the station measures) and the drive voltage; a drive of
// 0 V shows the voltage alone.
void gMSubSineShowPrompt(const QString& isTitle, const QString& isSweepType, const QString& isHiHz,
                         const QString& isLoHz, const QString& isVolts, bool ibStationMeasures, bool& obError);

// True while a Test command runs, so that the engineer windows, which stay
// usable while the run asks its questions, can tell.
bool gbMSubRunInProgress();
// Marks a Test command's scope as running.
class RunInProgress {
public:
    RunInProgress();
    ~RunInProgress();
    RunInProgress(const RunInProgress&) = delete;
    RunInProgress& operator=(const RunInProgress&) = delete;

private:
    bool mbWas;
};

// The label script of the current sequence: entries 1 to the upper bound are its
// lines as the dot-comment reader delivers them (control lines begin with ".",
// raw-character lines ".@" followed by the characters); entry 0 is empty, and
// a list of entry 0 alone is no script. Replaced at each sequence selection.
extern QStringList gasScriptList;
// Prints the label script for the unit just tested as one raw job on the default
// printer: text, control codes replaced by the unit's data, raw characters
// unchanged; one beep per entry. A label with no bytes sends nothing.
void gMSubProcessScript(bool& obError);
