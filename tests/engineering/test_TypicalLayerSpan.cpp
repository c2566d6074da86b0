// The typical layer's band from the source test's layers, by table.
#include "engineering/TypicalLayerSpan.h"
#include "tests/support/StationTest.h"

namespace {
struct SpanCase {
    const char* what;
    std::array<Variant, 7> lim, lo, hi;
    int16_t wantLo, wantHi;
    long wantError;
};

Variant v(double x) { return Variant(x); }
const Variant n = Variant::null();

TEST(TypicalLayerSpan, TakesTheWidestBandOfTheLayersWithALimit) {
    const SpanCase cases[] = {
        {"two layers", {n, v(1), v(2), n, n, n, n}, {n, v(45), v(100), n, n, n, n}, {n, v(18000), v(10000), n, n, n, n}, 45, 18000, 0},
        {"no limit above 0", {n, v(0), n, n, n, n, n}, {n, v(45), n, n, n, n, n}, {n, v(18000), n, n, n, n, n}, 20000, 0, 0},
        {"a layer without limit is passed over", {n, v(0), v(3), n, n, n, n}, {n, v(20), v(200), n, n, n, n}, {n, v(20000), v(5000), n, n, n, n}, 200, 5000, 0},
        {"halves to even", {n, v(1), n, n, n, n, n}, {n, v(44.5), n, n, n, n, n}, {n, v(18000.5), n, n, n, n, n}, 44, 18000, 0},
        {"layer six counts", {n, n, n, n, n, n, v(1)}, {n, n, n, n, n, n, v(300)}, {n, n, n, n, n, n, v(900)}, 300, 900, 0},
        {"above 16 bits", {n, v(1), n, n, n, n, n}, {n, v(45), n, n, n, n, n}, {n, v(40000), n, n, n, n, n}, 0, 0, 6},
        {"a band with no frequency", {n, v(1), n, n, n, n, n}, {n, n, n, n, n, n, n}, {n, v(1000), n, n, n, n, n}, 0, 0, 94},
    };
    for (const SpanCase& c : cases) {
        TypicalSpan got;
        const long error = errorOf([&] { got = typicalLayerSpan(c.lim, c.lo, c.hi); });
        EXPECT_EQ(error, c.wantError) << c.what;
        if (c.wantError != 0) continue;
        EXPECT_EQ(got.lo, c.wantLo) << c.what;
        EXPECT_EQ(got.hi, c.wantHi) << c.what;
    }
}
}
