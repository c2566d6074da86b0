#pragma once
#include <cstdint>

class UpDown;

// Sets up the up-down control beside a whole-number box: range, value and
// increment. A value outside the range is shown ("Value (12) > Max (10)"),
// flagged and leaves the control as it was.
void gUpDownSet(int32_t ilValue, int32_t ilMax, int32_t ilMin, int32_t ilIncrement, UpDown& ioUpDown, bool& obError);
