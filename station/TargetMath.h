#pragma once
#include <vector>

// The arithmetic of the target curve: a target file's levels resampled onto the
// sweep points, normalised so that the middle point lies at -6 dB, and moved
// down as a whole when it would rise above 0 dB.

constexpr float kTargetMiddleLevel = -6.0f;
constexpr float kTargetTopLevel = -2.0f;

// f held within the file's frequencies (1..n): beyond an end the file's end
// level applies. The last sweep point's single-precision frequency can lie a
// few millihertz above the sweep's top, past the file's last point.
float targetClampFrequency(const std::vector<float>& iafFreq, float ifFreq);

// The offset that brings the file's level at the middle point to -6 dB.
float targetOffset(float ifMiddleLevel);

// One sweep point: the correction to add to a measured level, and the target as drawn.
struct TargetPoint {
    float fCorrection = 0.0f;
    float fRef2Target = 0.0f;
};
TargetPoint targetPoint(float ifTargetLevel, float ifOffset, float ifReference);

// What to add to the whole target when its highest point is ifTop: enough to
// bring that point to -2 dB when it lies above 0 dB, else nothing.
float targetTopShift(float ifTop);
