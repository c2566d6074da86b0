#include "common/modArraySingleMaxPtr.h"
#include "common/ErrorTrap.h"
#include <cfloat>

int32_t glArraySingleMaxPtr(const std::vector<float>& iafIn, int32_t ilLBound, int32_t ilFrom, int32_t ilTo,
                            bool& obError) {
    ErrorTrap trap("modArraySingleMaxPtr", "glArraySingleMaxPtr", obError);
    int32_t found = 0;
    trap(10, [&] {
        const int64_t upper = static_cast<int64_t>(iafIn.size()) - 1;
        const int64_t from = ilFrom == 0 ? ilLBound : ilFrom;
        const int64_t to = ilTo == 0 ? upper : ilTo;
        if (from > to) return;
        if (from < ilLBound || from < 0 || to > upper) vbRaise(vberr::kSubscriptOutOfRange);
        float max = -FLT_MAX;
        for (int64_t i = from; i <= to; ++i)
            if (iafIn[static_cast<size_t>(i)] > max) {
                max = iafIn[static_cast<size_t>(i)];
                found = static_cast<int32_t>(i);
            }
    });
    return found;
}
