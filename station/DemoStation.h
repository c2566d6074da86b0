#pragma once
#include <QString>

// The demo station: a program folder a newcomer can start on the simulated jig
// and press Test in. It holds the five database files with one operator and
// one sequence "Demo" (a response test, a polarity test and a sine test the
// station measures), the sequence's prompt, target and label script files, the
// station settings file, and in the per-user settings the jig's drive-voltage
// calibration (2.0 V at the board, 40.0 V at the amplifier) and the demo
// operator as the one chosen, where none is set.
// The sequence is not calibrated: its first Test calibrates it.
namespace demostation {

// The names of what the folder holds.
inline const QString kSequence = QStringLiteral("Demo");
inline const QString kOperator = QStringLiteral("Demo Operator");
inline const QString kResponseTest = QStringLiteral("Demo Response");
inline const QString kPolarityTest = QStringLiteral("Demo Polarity");
inline const QString kSineTest = QStringLiteral("Demo Sine");

// True when the folder has no sequence database yet.
bool missing(const QString& isFolder);

// Writes the demo into the folder (the program folder, VEXO_HOME) and seeds
// the drive calibration and the operator into the settings store in use. Existing database
// rows are kept; raises VbError on a failure.
void build(const QString& isFolder);

}
