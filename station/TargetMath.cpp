#include "station/TargetMath.h"
#include <algorithm>

float targetClampFrequency(const std::vector<float>& iafFreq, float ifFreq) {
    if (iafFreq.size() < 2 || iafFreq[1] > iafFreq.back()) return ifFreq;
    return std::clamp(ifFreq, iafFreq[1], iafFreq.back());
}

float targetOffset(float ifMiddleLevel) { return kTargetMiddleLevel - ifMiddleLevel; }

TargetPoint targetPoint(float ifTargetLevel, float ifOffset, float ifReference) {
    TargetPoint t;
    t.fCorrection = ifTargetLevel + ifOffset - ifReference;
    t.fRef2Target = ifReference + t.fCorrection;
    return t;
}

float targetTopShift(float ifTop) { return ifTop > 0.0f ? kTargetTopLevel - ifTop : 0.0f; }
