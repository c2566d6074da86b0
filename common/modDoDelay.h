#pragma once

// Waits ifSeconds, rounded to whole milliseconds (so at most 32.767 s; more is
// an overflow error for the central handler). 0 or less waits nothing.
void gDoDelay(float ifSeconds, bool& obError);
