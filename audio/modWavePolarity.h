#pragma once
#include <cstdint>
#include <vector>

// modWavePolarity, the traces of the polarity picture, drawn through the time
// display (modTimeResponseShow) on its target. Samples are indexed from 1.

// The played signal in its colour, scaled by the master output volume, then,
// when the recording holds samples, the recording in its colour scaled by the
// input scale; the axis is first redrawn with clearing when asked.
void gWavePolarityScaleShowInOut(bool ibRedrawAxis, float ifWindow, int32_t ilOutColour,
                                 const std::vector<int16_t>& ianOut, int32_t ilInScale, int32_t ilInColour,
                                 const std::vector<int16_t>& ianIn, bool& obError);

// One trace scaled by ilVolume / 65534 against a full scale of 65534; nothing
// for an empty array.
void gWavePolarityScaleShow(float ifWindow, int32_t ilColour, const std::vector<int16_t>& ianSamples,
                            int32_t ilVolume, bool& obError);

// Plays ifCycles of a sine at ifFreq once, then silence to the end of the
// window (seconds), records the same span into ioanSamples, and shows both
// traces (the axis redrawn with clearing when asked).
void gWavePolarity(float ifFreq, float ifCycles, float ifWindow, int32_t ilInScale, bool ibRedrawAxis,
                   std::vector<int16_t>& ioanSamples, bool& obError);
