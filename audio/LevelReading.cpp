#include "audio/LevelReading.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <algorithm>
#include <cmath>

namespace levelreading {
namespace {
constexpr double kSettleSeconds = 0.005;
constexpr double kSettleCycles = 2.0;

void mRefuse(float ifFreq, int32_t ilRate) {
    if (!(ifFreq > 0.0f) || ilRate <= 0) vbRaise(vberr::kInvalidCall);
}
}

int32_t glWholeCycleSamples(float ifFreq, int32_t ilRate) {
    mRefuse(ifFreq, ilRate);
    const double period = static_cast<double>(ilRate) / ifFreq;
    // The cycles are counted on the exact period: a tone of 44.1 Hz at
    // 44,100 Hz is 1,000 samples a cycle, one cycle.
    const double cycles = std::max(1.0, std::ceil(kMinSamples / period - 1e-9));
    return CLng(cycles * period);
}

int32_t glSettleSamples(float ifFreq, int32_t ilRate) {
    mRefuse(ifFreq, ilRate);
    return CLng(std::max(kSettleSeconds, kSettleCycles / ifFreq) * ilRate);
}

}
