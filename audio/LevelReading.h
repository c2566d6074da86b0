#pragma once
#include <cstdint>

// How much of a steady tone the station's level readings (response points,
// the sine level) take, in samples at the input's rate.
namespace levelreading {

// The shortest stretch a level is read from.
constexpr int32_t kMinSamples = 1000;

// The samples of the smallest whole number of cycles of a tone at ifFreq Hz
// that is at least kMinSamples long: a fixed count is a fraction of a cycle
// more or less, and below about 200 Hz its level then depends on the phase.
// A frequency of 0 or below, or a rate of 0 or below, raises error 5.
int32_t glWholeCycleSamples(float ifFreq, int32_t ilRate);

// The samples recorded and left out before that stretch: the time the sound
// takes to reach the microphone and the unit to ring in on the tone, 5 ms or
// two cycles of it, whichever is longer (a unit rings for some cycles of a
// tone near its resonance).
int32_t glSettleSamples(float ifFreq, int32_t ilRate);

}
