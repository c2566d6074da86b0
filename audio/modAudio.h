#pragma once
#include <cstdint>
#include <vector>

// modAudio: the sweep-point scale and the level measurement. N points spaced
// logarithmically from lFLo to lFHi (whole hertz), numbered 1 to N; point 1 is
// lFLo and point N is lFHi. Frequencies of points are never stored: they are
// recomputed from lFLo, lFHi and N.

// One level in dB per sweep point, indexed by point number 1..N (element 0
// holds nothing); dimensioned 0 To N or 0 To 100.
using ResponseCurve = std::vector<float>;

// The upper bound of a curve: an empty one (never dimensioned) reads as 0, the
// same as one dimensioned 0 To 0, so that both mean "no points".
inline int32_t glCurveUBound(const std::vector<float>& iaCurve) {
    return iaCurve.empty() ? 0 : static_cast<int32_t>(iaCurve.size() - 1);
}

// The frequency of point nPoint. A point outside 1..nPoints is refused with a
// message, the error flag set and 0.
float gfAudioPoint2Freq(int32_t lFLo, int32_t lFHi, int16_t nPoints, int16_t nPoint, bool& obError);

// The nearest point number of a frequency, halves to the even number. Not
// limited to 1..nPoints: below lFLo gives 0 or less, above lFHi more than nPoints.
int16_t gnAudioFreq2Point(int32_t lFLo, int32_t lFHi, int16_t nPoints, int32_t lFreq, bool& obError);

// Records nSamples samples from the input and returns their level in dB:
// 0 dB is an rms of half the 16-bit span (a full-scale sine reads -3.01 dB,
// silence -90.3 dB). nSettle samples more are recorded first and left out.
// A recording error returns 0 with the error flag set.
float gfWaveGetNADCs(int32_t nSamples, bool& obError, int32_t nSettle = 0);
// The same, but a recording the stream lost samples from (or that the sound
// device refused as not holding its tone) is measured once more, quietly,
// before it is an error: a dropped block reads as a level far too low.
float gfWaveGetNADCsRetry(int32_t nSamples, bool& obError, int32_t nSettle = 0);
