#pragma once
#include <cstdint>
#include <vector>

// The index of the first entry that matches ifValue by inMatchCode: -1 an entry
// less than or equal, 0 an equal entry, +1 an entry greater than or equal.
// Bottom-up it searches from the lower bound to ilEnd, only when ilEnd is above
// the lower bound; top-down from the upper bound down to ilEnd, only when ilEnd
// is at or above the lower bound and below the upper bound. -1 when nothing
// matches or no search runs. A match code outside -1..+1 is refused with a
// message and -1, without setting the error flag. ilLBound is the array's
// lower bound: 1 for an array counted from 1 (element 0 unused).
int32_t glArraySingleSearchPtr(const std::vector<float>& iafIn, int32_t ilLBound, int32_t ilEnd, float ifValue,
                               bool ibTopDown, int16_t inMatchCode, bool& obError);
inline int32_t glArraySingleSearchPtr(const std::vector<float>& iafIn, int32_t ilEnd, float ifValue, bool ibTopDown,
                                      int16_t inMatchCode, bool& obError) {
    return glArraySingleSearchPtr(iafIn, 0, ilEnd, ifValue, ibTopDown, inMatchCode, obError);
}
