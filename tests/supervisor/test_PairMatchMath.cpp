// The matching run on its own, on batches of constant curves (exact in single
// precision), and the reading of the parameter boxes' figures.
#include "platform/vb/VbError.h"
#include "supervisor/PairMatchMath.h"
#include "tests/support/StationTest.h"
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace {
// A batch with one curve per level list; a list of one level is a flat curve.
struct Batch {
    CurveLevels curves;
    std::vector<int32_t> serials{0};
    int16_t points = 0;
};

Batch batch(int16_t iPoints, const std::vector<std::vector<float>>& iUnits, std::vector<int32_t> iSerials = {}) {
    Batch b;
    b.points = iPoints;
    b.curves.resize(static_cast<int32_t>(iUnits.size()));
    for (size_t u = 0; u < iUnits.size(); ++u) {
        for (int p = 1; p <= iPoints; ++p)
            b.curves(p, static_cast<int>(u) + 1) = iUnits[u].size() == 1 ? iUnits[u][0] : iUnits[u][static_cast<size_t>(p - 1)];
        b.serials.push_back(iSerials.empty() ? static_cast<int32_t>(u) + 101 : iSerials[u]);
    }
    return b;
}

std::vector<float> flatWithSpike(int iPoints, int iAt, float iSpike) {
    std::vector<float> v(static_cast<size_t>(iPoints), 0.0f);
    v[static_cast<size_t>(iAt - 1)] = iSpike;
    return v;
}

struct Expected {
    int16_t first;
    int16_t partner;   // 0: NOT MATCHED
    float average;
    float worst;
};

struct RunCase {
    const char* name;
    Batch batch;
    int32_t batchEnd;
    float aveLim;
    float worstLim;
    std::vector<Expected> cycles;
};

class PairMatchRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(PairMatchRun, GivesEachCycleItsUnitsAndFigures) {
    const RunCase& c = GetParam();
    const int32_t size = c.batch.curves.curves;
    const PairMatchResult r = pairMatchRun(c.batch.curves, c.batch.serials, c.batch.points, size, c.batchEnd, c.aveLim,
                                           c.worstLim);
    ASSERT_EQ(r.cycles.size(), c.cycles.size());
    int16_t pairs = 0;
    std::vector<bool> matched(static_cast<size_t>(size) + 1, false);
    for (size_t i = 0; i < c.cycles.size(); ++i) {
        SCOPED_TRACE(i);
        const PairMatchCycle& got = r.cycles[i];
        EXPECT_EQ(got.firstUnit, c.cycles[i].first);
        EXPECT_EQ(got.partnerUnit, c.cycles[i].partner);
        EXPECT_EQ(got.firstSerial, c.batch.serials[static_cast<size_t>(c.cycles[i].first)]);
        if (got.matched()) {
            EXPECT_EQ(got.partnerSerial, c.batch.serials[static_cast<size_t>(c.cycles[i].partner)]);
        }
        EXPECT_EQ(got.average, c.cycles[i].average);
        EXPECT_EQ(got.worst, c.cycles[i].worst);
        if (c.cycles[i].partner) {
            ++pairs;
            matched[static_cast<size_t>(c.cycles[i].first)] = matched[static_cast<size_t>(c.cycles[i].partner)] = true;
        }
    }
    EXPECT_EQ(r.pairs, pairs);
    EXPECT_EQ(r.matched, matched);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PairMatchRun,
    ::testing::Values(
        RunCase{"AverageEqualToTheLimitPasses", batch(100, {{0.0f}, {0.5f}}), 0, 0.5f, 1.0f, {{1, 2, 0.5f, 0.5f}}},
        RunCase{"WorstEqualToTheLimitPasses", batch(100, {{0.0f}, {0.5f}}), 0, 1.0f, 0.5f, {{1, 2, 0.5f, 0.5f}}},
        RunCase{"AQuarterDecibelAboveTheLimitFails", batch(100, {{0.0f}, {0.75f}}), 0, 0.5f, 1.0f, {{1, 0, 0.75f, 0.75f}}},
        // A limit read as 0.38 in single precision meets a difference of 0.38 exactly.
        RunCase{"ALimitOf038MeetsADifferenceOf038", batch(1, {{0.0f}, {0.38f}}), 0, static_cast<float>(0.38), 1.44f,
                {{1, 2, 0.38f, 0.38f}}},
        // The spike averages 0.05 over 100 points, below the flat 0.25 candidate, and then fails the worst limit.
        RunCase{"ASpikePassesTheAverageAndFailsTheWorst",
                batch(100, {{0.0f}, {0.25f}, flatWithSpike(100, 40, 5.0f)}), 1, 0.38f, 1.44f,
                {{1, 0, 0.05f, 5.0f}}},
        RunCase{"EqualAveragesGiveTheEarlierPartner", batch(100, {{0.0f}, {-0.25f}, {0.25f}, {5.0f}, {5.0f}}), 0,
                0.38f, 1.44f, {{1, 2, 0.25f, 0.25f}, {3, 0, 4.75f, 4.75f}, {4, 5, 0.0f, 0.0f}}},
        // Unit 1 fails against unit 2; unit 2 then pairs with unit 3, unit 4 with 5.
        RunCase{"AFailedCycleLeavesItsCandidatesForTheNext",
                batch(100, {{0.0f}, {2.0f}, {2.25f}, {4.0f}, {4.25f}}), 0, 0.38f, 1.44f,
                {{1, 0, 2.0f, 2.0f}, {2, 3, 0.25f, 0.25f}, {4, 5, 0.25f, 0.25f}}},
        RunCase{"BatchEnd0MatchesTheWholeBatch", batch(100, {{0.0f}, {0.25f}, {2.0f}, {2.25f}, {4.0f}, {4.25f}}), 0,
                0.38f, 1.44f, {{1, 2, 0.25f, 0.25f}, {3, 4, 0.25f, 0.25f}, {5, 6, 0.25f, 0.25f}}},
        RunCase{"BatchEnd2LeavesTheLastPairWithoutALine",
                batch(100, {{0.0f}, {0.25f}, {2.0f}, {2.25f}, {4.0f}, {4.25f}}), 2, 0.38f, 1.44f,
                {{1, 2, 0.25f, 0.25f}, {3, 4, 0.25f, 0.25f}}},
        RunCase{"FailingCyclesStopWhenTwoUnitsAreLeft", batch(100, {{0.0f}, {8.0f}, {16.0f}, {24.0f}, {32.0f}}), 0,
                0.38f, 1.44f, {{1, 0, 8.0f, 8.0f}, {2, 0, 8.0f, 8.0f}, {3, 0, 8.0f, 8.0f}, {4, 0, 8.0f, 8.0f}}},
        RunCase{"FailingCyclesWithBatchEnd2", batch(100, {{0.0f}, {8.0f}, {16.0f}, {24.0f}, {32.0f}}), 2, 0.38f, 1.44f,
                {{1, 0, 8.0f, 8.0f}, {2, 0, 8.0f, 8.0f}}},
        // Partners are taken from anywhere in the batch; those left keep their order.
        RunCase{"APartnerFurtherOnIsTakenOutOfTheMiddle",
                batch(100, {{0.0f}, {3.0f}, {0.125f}, {3.125f}}, {7, 12, 104, 9}), 0, 0.38f, 1.44f,
                {{1, 3, 0.125f, 0.125f}, {2, 4, 0.125f, 0.125f}}}),
    [](const ::testing::TestParamInfo<RunCase>& iInfo) { return std::string(iInfo.param.name); });

TEST(PairMatchRunLimits, ABatchSizeOutsideTheCurvesReadIsRefused) {
    const Batch b = batch(100, {{0.0f}, {0.25f}, {0.5f}});
    EXPECT_EQ(errorOf([&] { pairMatchRun(b.curves, b.serials, b.points, 1, 0, 0.38f, 1.44f); }), 9);
    EXPECT_EQ(errorOf([&] { pairMatchRun(b.curves, b.serials, b.points, 4, 0, 0.38f, 1.44f); }), 9);
    EXPECT_EQ(errorOf([&] { pairMatchRun(b.curves, {}, b.points, 2, 0, 0.38f, 1.44f); }), 9);
    // A smaller batch than read takes the first units only.
    const PairMatchResult r = pairMatchRun(b.curves, b.serials, b.points, 2, 0, 0.38f, 1.44f);
    ASSERT_EQ(r.cycles.size(), 1u);
    EXPECT_EQ(r.cycles[0].partnerUnit, 2);
}

TEST(PairMatchRunLimits, ANegativeBatchEndStopsWhenNoCandidateIsLeft) {
    const Batch b = batch(100, {{0.0f}, {0.25f}, {0.5f}});
    const PairMatchResult r = pairMatchRun(b.curves, b.serials, b.points, 3, -5, 0.38f, 1.44f);
    ASSERT_EQ(r.cycles.size(), 1u);
    EXPECT_EQ(r.pairs, 1);
}

TEST(PairMatchTexts, CountLabel) {
    EXPECT_EQ(pairsMatchedText(0), "0 pairs matched");
    EXPECT_EQ(pairsMatchedText(1), "1 pair matched");
    EXPECT_EQ(pairsMatchedText(2), "2 pairs matched");
}

// The figures are read with ValUser (its table is with the conversions); the
// whole-number reading rounds halves to even and stays within 32 bits.
TEST(PairMatchTexts, LeadingWholeNumbers) {
    EXPECT_EQ(leadingWholeNumber(QStringLiteral("12.5")), 12);
    EXPECT_EQ(leadingWholeNumber(QStringLiteral("13.5")), 14);
    EXPECT_EQ(leadingWholeNumber(QStringLiteral("9e99")), 2147483647);
    EXPECT_EQ(leadingWholeNumber(QString()), 0);
}
}

namespace {
// The run written plainly, place by place, as the matching is described.
PairMatchResult plainRun(const CurveLevels& c, const std::vector<int32_t>& serial, int points, int n, int end,
                         float aveLim, float worstLim) {
    PairMatchResult res;
    std::vector<int> rem(static_cast<size_t>(n) + 2, 0);
    for (int k = 1; k <= n; ++k) rem[static_cast<size_t>(k)] = k;
    int r = n;
    do {
        std::vector<float> ave(static_cast<size_t>(n) + 2, 0.0f), worst(static_cast<size_t>(n) + 2, 0.0f);
        for (int k = 2; k <= r; ++k) {
            float sum = 0.0f;
            for (int p = 1; p <= points; ++p) {
                const float d = std::fabs(c(p, rem[1]) - c(p, rem[static_cast<size_t>(k)]));
                if (d > worst[static_cast<size_t>(k)]) worst[static_cast<size_t>(k)] = d;
                sum += d;
            }
            ave[static_cast<size_t>(k)] = sum / static_cast<float>(points);
        }
        float best = 1000000.0f;
        int place = 0;
        for (int k = 2; k <= r; ++k)
            if (ave[static_cast<size_t>(k)] < best) best = ave[static_cast<size_t>(k)], place = k;
        PairMatchCycle cycle;
        cycle.firstUnit = static_cast<int16_t>(rem[1]);
        cycle.firstSerial = serial[static_cast<size_t>(rem[1])];
        cycle.average = best;
        cycle.worst = worst[static_cast<size_t>(place)];
        if (aveLim < best || worstLim < cycle.worst) {
            ++r;
            place = 1;
        } else {
            cycle.partnerUnit = static_cast<int16_t>(rem[static_cast<size_t>(place)]);
            ++res.pairs;
        }
        res.cycles.push_back(cycle);
        int to = 1;
        for (int k = 2; k <= r; ++k)
            if (k != place) rem[static_cast<size_t>(to++)] = rem[static_cast<size_t>(k)];
        r -= 2;
    } while (end <= r - 2);
    return res;
}

TEST(PairMatchRunLimits, ALargeBatchGivesWhatAPlaceByPlaceLoopGives) {
    // Levels on a coarse grid, so that equal averages, passes and failures all occur.
    const int n = 61;
    const int points = 37;
    CurveLevels c;
    c.resize(n);
    std::vector<int32_t> serial{0};
    uint32_t seed = 12345;
    for (int u = 1; u <= n; ++u) {
        serial.push_back(1000 + u);
        const float base = static_cast<float>((u * 7) % 5) * 0.25f;
        for (int p = 1; p <= points; ++p) {
            seed = seed * 1103515245u + 12345u;
            c(p, u) = base + static_cast<float>((seed >> 16) % 9) * 0.0625f;
        }
    }
    size_t failed = 0;
    for (const auto& [end, ave, worst] : {std::tuple{0, 0.38f, 1.44f}, std::tuple{10, 0.3f, 0.6f}, std::tuple{3, 0.2f, 9.9f}}) {
        const PairMatchResult got = pairMatchRun(c, serial, points, n, end, ave, worst);
        const PairMatchResult want = plainRun(c, serial, points, n, end, ave, worst);
        ASSERT_EQ(got.cycles.size(), want.cycles.size());
        EXPECT_EQ(got.pairs, want.pairs);
        EXPECT_GT(got.pairs, 0);
        failed += got.cycles.size() - static_cast<size_t>(got.pairs);
        for (size_t i = 0; i < got.cycles.size(); ++i) {
            EXPECT_EQ(got.cycles[i].firstUnit, want.cycles[i].firstUnit) << i;
            EXPECT_EQ(got.cycles[i].partnerUnit, want.cycles[i].partnerUnit) << i;
            EXPECT_EQ(got.cycles[i].average, want.cycles[i].average) << i;
            EXPECT_EQ(got.cycles[i].worst, want.cycles[i].worst) << i;
        }
    }
    EXPECT_GT(failed, 0u);
}
}
