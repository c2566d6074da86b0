#pragma once
#include "platform/vb/Variant.h"
#include <array>
#include <cstdint>

// The band of the typical test's one layer: from the lowest low frequency to
// the highest high frequency among the source test's layers whose limit is
// above 0, each taken as a 16-bit whole number (halves to even; above 32767 is
// overflow, error 6). With no such layer the band is 20000 to 0.
struct TypicalSpan {
    int16_t lo = 20000;
    int16_t hi = 0;
};

// Layers 1 to 6 at indexes 1 to 6 (index 0 unused); a Null limit is no limit.
TypicalSpan typicalLayerSpan(const std::array<Variant, 7>& iaLim, const std::array<Variant, 7>& iaLo,
                             const std::array<Variant, 7>& iaHi);
