#pragma once
#include <QString>

// The format pattern of a number box with a given step: "0." and as many "0"
// as the step has decimals (0.01 gives "0.00"); empty (the general form) for a
// whole step.
QString gsNumberFormat(float ifStep, bool& obError);
