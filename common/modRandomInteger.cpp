#include "common/modRandomInteger.h"
#include "common/ErrorTrap.h"
#include "platform/vb/Conversions.h"
#include <random>

namespace {
// The next number in [0, 1) with a single's 24 bits, never 1.
double nextRandom() {
    static std::mt19937 generator{std::random_device{}()};
    return static_cast<double>(generator() >> 8) / 16777216.0;
}
}

int16_t gnRandomInteger(int16_t inLow, int16_t inHigh, bool& obError) {
    ErrorTrap trap("modRandomInteger", "gnRandomInteger", obError);
    int16_t value = 0;
    trap(10, [&] {
        const int16_t span = checkedInt(static_cast<long long>(inHigh) - inLow + 1);
        value = checkedInt(static_cast<long long>(Int(span * nextRandom())) + inLow);
    });
    return value;
}
