#pragma once
#include <cstdint>
#include <functional>

// The arithmetic of the automatic microphone level, free of windows and of the
// sound card: the search is fed one peak per sweep by its caller.

// The peak window of a good level, both bounds inside.
constexpr float kRespScaleWindowLo = -6.0f;
constexpr float kRespScaleWindowHi = -2.0f;
constexpr float kRespScaleMiddle = -4.0f;
constexpr int32_t kRespScaleVolumeMax = 65535;
constexpr int32_t kRespScaleLoudCap = 30000;
// A search that has not found the window after this many sweeps gives up.
constexpr int16_t kRespScaleSweepLimit = 12;

// How a search ended.
enum class RespScaleEnd {
    InWindow,     // the last peak lies inside the window
    AtBound,      // the last two sweeps were both at 0 or both at 65535
    NoChange,     // the next volume would have been the current one (clipping, a volume with no effect)
    SweepLimit,   // kRespScaleSweepLimit sweeps without reaching the window
    Error         // a sweep or the line failed
};

struct RespScaleOutcome {
    int32_t volume = 0;   // the volume of the last sweep
    RespScaleEnd end = RespScaleEnd::Error;
    int16_t sweeps = 0;
    // Ended neither in the window nor at a bound: warned as one stopped at the top.
    bool gaveUp() const { return end == RespScaleEnd::NoChange || end == RespScaleEnd::SweepLimit; }
};

// One sweep at the volume; false when it failed. ofPeak is the largest level (dB).
using RespScaleSweepFn = std::function<bool(int32_t ilVolume, float& ofPeak)>;
// The straight line through (x1, y1) and (x2, y2), x1 <= x2, read inversely: the
// x at which it reaches v; sets the error flag when it fails.
using RespScaleLineFn = std::function<float(float ifX1, float ifY1, float ifX2, float ifY2, float ifV, bool& obError)>;

// The volume the search starts from: the current one, or 32767 when the current
// one is below the control's step count (a volume the card cannot tell from 0).
int32_t glRespScaleStartVolume(int32_t ilCurrent, int32_t ilSteps);

// The level the line is read at. From the silent start point (0, -99 dB) the
// line is read at the level that puts the peak at -4 dB when the level follows
// the volume in amplitude (the mixer's law); between two real sweeps at -4 dB.
float gfRespScaleTargetLevel(float ifPeak, bool ibFromSilence);

// The next volume after a sweep at ilVolume gave ifPeak, the previous point being
// (ilPrevVolume, ifPrevPeak): clamped to 0..65535 before rounding, halves to
// even; a loud unit is moved to 30000 at once rather than by more than 30000.
int32_t glRespScaleNextVolume(int32_t ilPrevVolume, float ifPrevPeak, int32_t ilVolume, float ifPeak,
                              const RespScaleLineFn& iLine, bool& obError);

// Sweeps from ilStart until the peak lies in the window, the last two sweeps sat
// at the same bound, the next volume would not change, or the sweep limit.
RespScaleOutcome respScaleSearch(int32_t ilStart, const RespScaleSweepFn& iSweep, const RespScaleLineFn& iLine);
