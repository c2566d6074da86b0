#include "common/modArrayLongMaxEntryLen.h"
#include "common/ErrorTrap.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include <limits>

namespace {
// The index of the first largest value; 0 when none is above the most negative Long.
int32_t mnArrayNumberMax(const std::vector<int32_t>& ialIn, bool& obError) {
    ErrorTrap trap("modArrayLongMaxEntryLen", "mnArrayNumberMax", obError);
    int32_t found = 0;
    trap(10, [&] {
        int32_t max = std::numeric_limits<int32_t>::min();
        for (size_t i = 0; i < ialIn.size(); ++i)
            if (ialIn[i] > max) {
                max = ialIn[i];
                found = static_cast<int32_t>(i);
            }
    });
    return found;
}
}

int16_t gnArrayLongMaxEntryLen(const std::vector<int32_t>& ialIn, bool& obError) {
    ErrorTrap trap("modArrayLongMaxEntryLen", "gnArrayLongMaxEntryLen", obError);
    int16_t length = 0;
    const int32_t at = mnArrayNumberMax(ialIn, obError);
    if (obError) return 0;
    trap(10, [&] {
        if (static_cast<size_t>(at) >= ialIn.size()) vbRaise(vberr::kSubscriptOutOfRange);
        length = checkedInt(Len(CStr(ialIn[static_cast<size_t>(at)])));
    });
    return length;
}
