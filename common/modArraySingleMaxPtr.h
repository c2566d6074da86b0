#pragma once
#include <cstdint>
#include <vector>

// The index of the first largest value from ilFrom to ilTo inclusive; ilFrom 0
// means the lower bound, ilTo 0 the upper bound; 0 when the range is empty or
// no value is above the most negative single. ilLBound is the array's lower
// bound: 1 for an array counted from 1 (element 0 unused and never searched).
// An index outside the array is a run-time error (9).
int32_t glArraySingleMaxPtr(const std::vector<float>& iafIn, int32_t ilLBound, int32_t ilFrom, int32_t ilTo,
                            bool& obError);
inline int32_t glArraySingleMaxPtr(const std::vector<float>& iafIn, int32_t ilFrom, int32_t ilTo, bool& obError) {
    return glArraySingleMaxPtr(iafIn, 0, ilFrom, ilTo, obError);
}
