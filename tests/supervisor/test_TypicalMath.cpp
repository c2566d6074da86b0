// The finder's ideal, differences and choice on small batches whose answers
// can be worked out by hand, and the minimum batch size as stored or typed.
#include "supervisor/TypicalMath.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using typicalmath::Averaging;

namespace {
// One curve per level list; a list of one level is a flat curve.
CurveLevels batch(int16_t iPoints, const std::vector<std::vector<float>>& iUnits) {
    CurveLevels c;
    c.resize(static_cast<int32_t>(iUnits.size()));
    for (size_t u = 0; u < iUnits.size(); ++u)
        for (int p = 1; p <= iPoints; ++p)
            c(p, static_cast<int>(u) + 1) = iUnits[u].size() == 1 ? iUnits[u][0] : iUnits[u][static_cast<size_t>(p - 1)];
    return c;
}

struct Found {
    int32_t unit;
    double diff;
};
Found find(const CurveLevels& iCurves, int16_t iPoints, bool iEnvelope, Averaging iLaw) {
    const int32_t units = iCurves.curves;
    const std::vector<double> d =
        typicalmath::differences(iCurves, units, iPoints, typicalmath::ideal(iCurves, units, iPoints, iEnvelope), iLaw);
    const int32_t k = typicalmath::leastDifference(d);
    return {k, d[static_cast<size_t>(k)]};
}

// Units 1 and 2 lie 1 dB off the ideal everywhere, units 3 and 4 3 dB off at
// one point of four: the mean absolute difference prefers the spike, the
// mean square and fourth power the even offset; the lower unit wins each tie.
const CurveLevels kSymmetric = batch(4, {{1.0f}, {-1.0f}, {3.0f, 0, 0, 0}, {-3.0f, 0, 0, 0}});
// Constant levels 0, 1, 2, 6 and 10 dB: the average (3.8) is nearest 2 dB,
// the envelope's middle (5) nearest 6 dB.
const CurveLevels kConstants = batch(4, {{0.0f}, {1.0f}, {2.0f}, {6.0f}, {10.0f}});
}

TEST(TypicalMath, TheLawAndTheIdealDecideTheWinnerAndItsValue) {
    const struct {
        const CurveLevels* curves;
        bool envelope;
        Averaging law;
        int32_t unit;
        double diff;
    } cases[] = {
        {&kSymmetric, false, Averaging::Simple, 3, 0.75},
        {&kSymmetric, false, Averaging::Squared, 1, 1.0},
        {&kSymmetric, false, Averaging::Fourth, 1, 1.0},
        {&kSymmetric, true, Averaging::Simple, 3, 0.75},
        {&kConstants, false, Averaging::Simple, 3, 1.8},
        {&kConstants, false, Averaging::Squared, 3, 1.8 * 1.8},
        {&kConstants, true, Averaging::Simple, 4, 1.0},
        {&kConstants, true, Averaging::Fourth, 4, 1.0},
    };
    for (const auto& c : cases) {
        const Found f = find(*c.curves, 4, c.envelope, c.law);
        EXPECT_EQ(f.unit, c.unit) << int(c.law) << " envelope " << c.envelope;
        EXPECT_NEAR(f.diff, c.diff, 1e-5) << int(c.law) << " envelope " << c.envelope;
    }
}

TEST(TypicalMath, TheReferenceAddedBackChangesNeitherWinnerNorValue) {
    std::vector<float> ref(101, 0.0f);
    for (int p = 1; p <= 100; ++p) ref[static_cast<size_t>(p)] = -20.0f + 0.37f * static_cast<float>(p);
    for (const bool envelope : {false, true}) {
        for (const Averaging law : {Averaging::Simple, Averaging::Squared, Averaging::Fourth}) {
            CurveLevels moved = kConstants;
            typicalmath::addReference(moved, moved.curves, 4, ref);
            EXPECT_FLOAT_EQ(moved(2, 5), 10.0f + ref[2]);
            const Found before = find(kConstants, 4, envelope, law);
            const Found after = find(moved, 4, envelope, law);
            EXPECT_EQ(after.unit, before.unit);
            EXPECT_NEAR(after.diff, before.diff, 1e-4);
        }
    }
}

TEST(TypicalMath, NoUnitBelowAMillionGivesNone) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        std::vector<double> diffs;
        int32_t unit;
    } cases[] = {
        {{0.0, 1000000.0, 2e6}, 0},
        {{0.0, nan, nan}, 0},
        {{0.0, nan, 999999.5}, 2},
        {{0.0}, 0},                       // an empty batch
        {{0.0, 0.5, 0.25, 0.25}, 2},      // the first of equals
    };
    for (const auto& c : cases) EXPECT_EQ(typicalmath::leastDifference(c.diffs), c.unit);
    // A unit with a NaN level has a NaN difference, which never wins.
    const CurveLevels withNan = batch(2, {{std::numeric_limits<float>::quiet_NaN()}, {1.0f}});
    EXPECT_EQ(find(withNan, 2, false, Averaging::Simple).unit, 0);
}

TEST(TypicalMath, TheMinimumBatchIsAWholeNumberFromTwoTo999) {
    const struct {
        const char* text;
        int32_t minimum;
    } cases[] = {{"20", 20}, {"2", 2}, {"999", 999}, {" 7 ", 7}, {"1", 20}, {"0", 20},
                 {"", 20},   {"-5", 20}, {"1000", 20}, {"3.5", 20}, {"abc", 20}};
    for (const auto& c : cases) EXPECT_EQ(typicalmath::batchMinimum(QString::fromLatin1(c.text)), c.minimum) << c.text;
}
