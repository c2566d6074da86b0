#include "engineering/TypicalLayerSpan.h"
#include "platform/vb/Conversions.h"

TypicalSpan typicalLayerSpan(const std::array<Variant, 7>& iaLim, const std::array<Variant, 7>& iaLo,
                             const std::array<Variant, 7>& iaHi) {
    TypicalSpan span;
    for (int n = 1; n <= 6; ++n) {
        if (iaLim[n].isNull() || CSng(iaLim[n]) <= 0.0f) continue;
        const int16_t lo = CInt(iaLo[n]);
        const int16_t hi = CInt(iaHi[n]);
        if (lo < span.lo) span.lo = lo;
        if (hi > span.hi) span.hi = hi;
    }
    return span;
}
