#pragma once
#include <cstdint>
#include <vector>

class PictureBox;

// modWavePolarityHi, the polarity picture: the zero axis of the time display,
// two dotted threshold lines at 40% of the half height above and below it, and
// after a decision a marker at the deciding sample, above the axis for a
// positive decision and below it for a negative one.

// Prepares a polarity picture (callers pass 3325 x 2550): the initialisation,
// then the zero axis over what the picture holds (no clearing), then the
// threshold lines.
void gWavePolarityHiInitShowDraw(PictureBox& ioPic, int16_t inWidth, int16_t inHeight, bool& obError);

// The decision marker in the colour (green for a pass, red for a fail): a
// vertical line 400 twips each side of the threshold line of the decision.
void gWavePolarityHiShowDecision(int16_t inMarkerX, int32_t ilColour, bool& obError);

// Makes the picture the polarity picture and the time display's target and
// takes its measures.
void gWavePolarityHiInit(PictureBox& ioPic, int16_t inWidth, int16_t inHeight, bool& obError);

// The two threshold lines, dotted black, from 8 twips to the picture's inner width.
void mWavePolarityDrawLimits(bool& obError);

// The decision on a recording (samples 1..n): the sign of the first sample whose
// magnitude exceeds 13107, +1 or -1, with the marker x of that sample; 0 when
// none does (the marker is then left as it was). A sample of -32768 met on the
// way is made -32767 in the array.
int16_t mnWavePolarityDecision(std::vector<int16_t>& ioanSamples, int16_t& onMarkerX, bool& obError);

// The polarity test without touching the test-in-progress line: plays the
// low (100 Hz, 100 ms window) or high (4000 Hz, 8 ms window) half-cycle pulse
// at the drive voltage, records it and decides; +1, -1 or 0 (no decision or an
// error), with the marker x of the deciding sample. The recording is negated
// when the output wiring is reversed.
int16_t gnWavePolarityHi(bool ibLowFreq, float ifDelay, float ifVOut, bool ibActive, int16_t& onMarkerX,
                         bool& obError);

// Sets the microphone and drive level and plays and records the pulse into
// ioanSamples (samples 1..n). A delay is not supported and only reported.
void mWavePolaritySetUpFire(bool ibLowFreq, float ifDelay, float ifVOut, bool ibActive,
                            std::vector<int16_t>& ioanSamples, bool& obError);
