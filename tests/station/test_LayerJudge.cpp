// Judging a response by its limit layers, case by case on a 40-point sweep of
// 100-10,000 Hz: which unit passes, which block is recorded as the worst, and
// which layers cannot be judged at all.
#include "audio/SweepScale.h"
#include "common/modProcessNumberLo.h"
#include "platform/vb/VbError.h"
#include "station/LayerJudge.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <map>

namespace {
using namespace layerjudge;

const Sweep kSweep{100, 10000, 40};

// The frequency the test editor stores for a point.
int32_t hz(int iPoint) {
    return static_cast<int32_t>(std::lround(sweepscale::frequency(kSweep.lLo, kSweep.lHi, kSweep.nPoints,
                                                                  static_cast<int16_t>(iPoint))));
}
ResponseLayer layer(int iLo, int iHi, int16_t iBlock, float iLim, int iMLo = 0, int iMHi = 0) {
    ResponseLayer l;
    l.On = true;
    l.fLo = hz(iLo);
    l.fHi = hz(iHi);
    l.fMLo = iMLo ? hz(iMLo) : 0;
    l.fMHi = iMHi ? hz(iMHi) : 0;
    l.Pt = iBlock;
    l.Lim = iLim;
    return l;
}
// The linear deviations of a response that matches the reference except at the given points (dB).
std::vector<float> deviations(const std::map<int, float>& iOff) {
    std::vector<float> lin(kSweep.nPoints + 1, 0.0f);
    for (int p = 1; p <= kSweep.nPoints; ++p) lin[p] = linearDeviation(iOff.count(p) ? iOff.at(p) : 0.0f);
    return lin;
}
Layers only(std::initializer_list<std::pair<int, ResponseLayer>> iLayers) {
    Layers all;
    for (const auto& [n, l] : iLayers) all[n - 1] = l;
    return all;
}

TEST(LayerJudge, PassFailAndTheWorstBlock) {
    // Single-point blocks, so a block's level is its point's deviation.
    const ResponseLayer low = layer(1, 20, 1, 1.0f);
    const ResponseLayer high = layer(21, 40, 1, 1.0f);
    struct Case {
        const char* what;
        std::map<int, float> off;
        Layers layers;
        bool pass;
        int16_t lyr;
        int16_t block;
        float dev;
        float largest;
    } cases[] = {
        {"all 0 dB", {}, only({{1, low}}), true, 0, 0, 0.0f, 0.0f},
        {"1.04 over 1.0 passes but is the worst", {{5, 1.04f}}, only({{1, low}}), true, 1, 5, 1.04f, 1.04f},
        {"1.06 over 1.0 fails", {{5, 1.06f}}, only({{1, low}}), false, 1, 5, 1.06f, 1.06f},
        {"a negative deviation counts by size", {{7, -1.5f}}, only({{1, low}}), false, 1, 7, 1.5f, 1.5f},
        {"0.3 then 0.2", {{3, 1.3f}, {30, 1.2f}}, only({{1, low}, {2, high}}), false, 1, 3, 1.3f, 1.3f},
        {"0.2 then 0.3", {{3, 1.2f}, {30, 1.3f}}, only({{1, low}, {2, high}}), false, 2, 10, 1.3f, 1.3f},
        {"equal excess keeps the lower layer", {{3, 1.3f}, {30, 1.3f}}, only({{2, low}, {5, high}}), false, 2, 3, 1.3f,
         1.3f},
        {"the first of equal blocks", {{4, 2.0f}, {9, 2.0f}}, only({{1, low}}), false, 1, 4, 2.0f, 2.0f},
        {"a clean unit keeps its largest level", {{12, 0.7f}, {33, 0.4f}}, only({{1, low}, {2, high}}), true, 0, 0,
         0.0f, 0.7f},
        {"layers off", {{5, 6.0f}}, Layers{}, true, 0, 0, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const Judgement j = judge(kSweep, c.layers, deviations(c.off));
        EXPECT_EQ(j.bPass, c.pass) << c.what;
        EXPECT_EQ(j.nWorstLyr, c.lyr) << c.what;
        EXPECT_EQ(j.nWorstBlock, c.block) << c.what;
        EXPECT_FLOAT_EQ(j.fWorstDev, c.dev) << c.what;
        EXPECT_FLOAT_EQ(j.fLargestDev, c.largest) << c.what;
    }
    // A point that is no number never passes: the judging stops on it.
    EXPECT_THROW(judge(kSweep, only({{1, low}}), deviations({{6, std::nanf("")}})), VbError);
}

TEST(LayerJudge, ABlockExactlyAtItsLimitIsNeitherRecordedNorFailed) {
    const std::vector<float> lin = deviations({{5, 2.5f}});
    const float level = blockLevel(lin, 5, 1);
    const Judgement j = judge(kSweep, only({{1, layer(1, 20, 1, level)}}), lin);
    EXPECT_TRUE(j.bPass);
    EXPECT_EQ(j.nWorstLyr, 0);
    EXPECT_EQ(j.fLargestDev, level);
    EXPECT_TRUE(overLimit(1.0500001f, 1.0f));
    EXPECT_FALSE(overLimit(1.0499999f, 1.0f));
}

TEST(LayerJudge, BlocksAverageTheirPointsLinearly) {
    // Two points at +6 and 0 dB: the mean of 2x and 1x is 1.5x, 3.52 dB.
    const std::vector<float> lin = deviations({{2, 6.0206f}});
    EXPECT_NEAR(blockLevel(lin, 2, 2), 3.5218f, 1e-3);
    EXPECT_EQ(blockLevel(lin, 5, 3), 0.0f);
    std::vector<float> levels;
    EXPECT_EQ(layerBlockLevels(kSweep, layer(1, 10, 3, 1.0f), 1, lin, levels), 8);   // starts 1..8
    EXPECT_NEAR(levels[1], levels[2], 1e-6);
    EXPECT_EQ(levels[3], 0.0f);
}

// A block's level is the station's own 20 log10 of its mean, to the last bit: a
// level right at a limit falls as every other level of the station does.
TEST(LayerJudge, BlockLevelsAreTheStationsOwnTwentyLogTenToTheLastBit) {
    int compared = 0;
    for (int i = 0; i < 2000; ++i) {
        // Deviations from -12 to +12 dB in uneven steps, blocks of 1 to 5 points.
        std::map<int, float> off;
        for (int p = 1; p <= 5; ++p) off[p] = static_cast<float>(std::fmod(i * 0.0137 + p * 1.31, 24.0) - 12.0);
        const std::vector<float> lin = deviations(off);
        const int block = 1 + i % 5;
        float sum = 0.0f;
        for (int p = 1; p <= block; ++p) sum += lin[p];
        bool err = false;
        const float expected = gfPN20Lg10(sum / (block * kLinearScale), err);
        ASSERT_FALSE(err);
        EXPECT_EQ(blockLevel(lin, 1, block), expected) << i;
        ++compared;
    }
    EXPECT_EQ(compared, 2000);
}

TEST(LayerJudge, BothHoleEdgesAreJudgedAndTheHoleIsNot) {
    // Band 1 is points 5..15, the hole 16..24, band 2 25..35.
    const ResponseLayer holed = layer(5, 35, 3, 1.0f, 15, 25);
    struct Case {
        int point;
        bool pass;
    } cases[] = {{16, true}, {20, true}, {24, true}, {15, false}, {25, false}, {5, false}, {35, false}, {4, true}};
    for (const Case& c : cases)
        EXPECT_EQ(judge(kSweep, only({{1, holed}}), deviations({{c.point, 9.0f}})).bPass, c.pass) << c.point;

    const LayerBlocks b = layerBlocks(kSweep, holed, 1);
    EXPECT_EQ(b.band1Count, 9);   // starts 5..13
    EXPECT_EQ(b.band2Count, 9);   // starts 25..33
    // Block numbers run on from band 1 into band 2.
    EXPECT_EQ(b.start(1), 5);
    EXPECT_EQ(b.start(9), 13);
    EXPECT_EQ(b.start(10), 25);
    EXPECT_EQ(b.start(18), 33);
    const Judgement j = judge(kSweep, only({{1, holed}}), deviations({{27, 9.0f}}));
    EXPECT_EQ(j.nWorstBlock, 10);   // the first block holding point 27 starts at 25
    EXPECT_EQ(b.start(j.nWorstBlock), 25);

    // Without a hole there is no band 2: a block number beyond the layer's count
    // (a test changed since the unit was judged) counts on in its band, past the
    // sweep's end where the point scale refuses it, never from point 1.
    const LayerBlocks plain = layerBlocks(kSweep, layer(30, 40, 3, 1.0f), 1);
    EXPECT_EQ(plain.count(), 9);
    EXPECT_EQ(plain.start(9), 38);
    EXPECT_EQ(plain.start(12), 41);
}

TEST(LayerJudge, TheLowestHoleStartTheEditorOffersLeavesOneBlockBelowTheHole) {
    // Band start 5, block 4: the editor offers hole starts down to point 8.
    const ResponseLayer holed = layer(5, 30, 4, 1.0f, 8, 20);
    const LayerBlocks b = layerBlocks(kSweep, holed, 3);
    EXPECT_EQ(b.band1Count, 1);
    EXPECT_EQ(b.start(1), 5);
    // What lies below the hole is judged: a bad unit there fails.
    EXPECT_FALSE(judge(kSweep, only({{3, holed}}), deviations({{6, 9.0f}})).bPass);
}

TEST(LayerJudge, LayersThatCannotBeJudgedAreErrorsNamingTheLayer) {
    const std::vector<float> lin = deviations({});
    struct Case {
        const char* what;
        Sweep sweep;
        ResponseLayer layer;
    } cases[] = {
        {"block wider than the band", kSweep, layer(1, 5, 6, 1.0f)},
        {"block wider than band 2", kSweep, layer(1, 30, 3, 1.0f, 20, 29)},
        {"a point above the sweep", kSweep, [] { ResponseLayer l = layer(1, 40, 1, 1.0f); l.fHi = 20000; return l; }()},
        {"a point below the sweep", kSweep, [] { ResponseLayer l = layer(1, 40, 1, 1.0f); l.fLo = 20; return l; }()},
        {"more than 100 points", Sweep{100, 10000, 101}, layer(1, 40, 1, 1.0f)},
    };
    for (const Case& c : cases) {
        std::vector<float> big(102, 4096.0f);
        try {
            judge(c.sweep, only({{4, c.layer}}), c.sweep.nPoints > 100 ? big : lin);
            ADD_FAILURE() << c.what << ": judged";
        } catch (const VbError& e) {
            EXPECT_TRUE(e.description.startsWith(QStringLiteral("Layer 4: "))) << c.what;
        }
    }
}
}   // namespace
