#pragma once
#include <cstdint>

// modAudio: the sweep-point scale. N points spaced logarithmically from lFLo to
// lFHi (whole hertz), numbered 1 to N; point 1 is lFLo and point N is lFHi.

// The frequency of point nPoint. A point outside 1..nPoints is refused with a
// message, the error flag set and 0.
float gfAudioPoint2Freq(int32_t lFLo, int32_t lFHi, int16_t nPoints, int16_t nPoint, bool& obError);
