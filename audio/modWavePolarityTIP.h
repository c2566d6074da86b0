#pragma once
#include <cstdint>

// modWavePolarityTIP, the polarity test as the run and the test editor call it:
// the test-in-progress line is held for the test when nobody holds it.

// The test of gnWavePolarityHi; +1 positive, -1 negative, 0 no decision or an error.
int16_t gnWavePolarityTIP(bool ibLowFreq, float ifDelay, float ifVOut, bool ibActive, int16_t& onMarkerX,
                          bool& obError);
