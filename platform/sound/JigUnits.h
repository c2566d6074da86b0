#pragma once
#include "platform/sound/Jig.h"
#include <QString>
#include <QStringList>

// Which loudspeakers the simulated jig holds, chosen at start by VEXO_JIG_UNIT.
// Calibration always measures the standard unit; each unit test measures:
//   standard  a standard unit
//   peak      a unit whose cone break-up peak is 3 dB higher
//   reversed  a unit wired with reversed polarity
//   dead      a unit that gives no sound
//   mix       a fixed repeating order of fifteen units in which every fifth
//             fails: the 5th has the higher peak, the 10th reversed polarity,
//             the 15th is dead; the others are standard units
// Unset, the jig keeps whatever unit it was given (tests choose their own).
namespace jigunits {

// The names VEXO_JIG_UNIT takes, in the order above.
QStringList known();
// True when VEXO_JIG_UNIT is unset or names a known unit; otherwise oMessage
// says so and lists the known names.
bool choiceValid(QString& oMessage);
// The n-th unit tested (from 1) under a choice.
sound::UnitModel unitTested(const QString& iChoice, int iNumber);
// The operator connects the standard unit for calibration.
void standardUnitIn();
// A unit test begins: the next unit of the choice goes into the jig (a
// re-test of the same unit does not come here).
void nextUnit();

}
