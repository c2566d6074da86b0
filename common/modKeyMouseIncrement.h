#pragma once
#include <cstdint>

// True while a stepping key (or a stepping mouse button) is held; each number
// box's key-up handler sets it False, which restarts the acceleration.
extern bool gbKeyMouseIncrementActive;

// The step to use now: the base step on the first call, then growing by the
// base step times the number of increases (1, 2, 4, 7, 11 ... times the base)
// until it is at least one twentieth of the range. Shared by all boxes.
float gfKeyMouseIncrement(float ifMax, float ifMin, float ifStep, bool& obError);
