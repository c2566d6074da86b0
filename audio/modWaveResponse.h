#pragma once
#include "audio/modAudio.h"
#include <cstdint>

class ResponseWindow;

// modWaveResponse: the frequency response of the unit under test, measured
// with stepped sine tones, one steady tone per sweep point: each point's level
// is recorded once the tone is at the output converter, over a whole number
// of its cycles, and plotted on the calling window's response graph at once.

// Per point, the dB the response measurement adds to a measured level when
// correction is asked for; upper bound 0 means no target in use. The main
// window's target-curve handling fills it.
extern ResponseCurve gafTargetCorrection;

// Measures nPoints points from fStart to fEnd (Hz) after fDelay + 0.04 s of
// start tone, at the drive voltage fVOut (at the board when bActive) or, with
// nMasterVol not 0, at that master volume, with the microphone record volume
// lMicVol. Writes afLevel(1..nPoints) and, with bCorrect, afCorrected (each
// level plus gafTargetCorrection); the arrays must already be that long. Plots
// each point in lColour and nDrawStyle on frm's graph. Blocks until the last
// point; the output is closed at the end, also after an error, and the
// test-in-progress line left as found. A point outside 10 Hz..top frequency
// stops the measurement with the range message and the error flag; the points
// measured before it stay.
void gWaveResponse(ResponseWindow& frm, float fStart, float fEnd, int16_t nPoints, float fDelay, float fVOut,
                   bool bActive, int32_t lMicVol, int16_t nMasterVol, bool bCorrect, int32_t lColour,
                   int16_t nDrawStyle, ResponseCurve& afLevel, ResponseCurve& afCorrected, bool& obError);
