#pragma once
#include <cstdint>
#include <vector>

// The number of characters of the array's largest value written as text, used
// to line serial numbers up in columns. The whole array counts, element 0
// included (an unused element 0 of an array counted from 1 holds 0). An empty
// array is a run-time error (9).
int16_t gnArrayLongMaxEntryLen(const std::vector<int32_t>& ialIn, bool& obError);
