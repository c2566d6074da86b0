// The layer rules by tables on the 45 Hz to 18 kHz, 40-point sweep a new test has.
#include "audio/SweepScale.h"
#include "test_editor/LayerRules.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {
const LayerRules kRules(45, 18000, 40);

QString f(int16_t p) { return QString::number(std::lround(sweepscale::frequency(45, 18000, 40, p))); }
QStringList points(bool iZero, int16_t iHigh, int16_t iLow) {
    QStringList out;
    if (iZero) out << QStringLiteral("0");
    for (int16_t p = iHigh; p >= iLow; --p) out << f(p);
    return out;
}
QStringList entries(const LayerRules::List& iList) {
    QStringList out;
    EXPECT_TRUE(kRules.entries(iList, out));
    return out;
}
}

TEST(LayerRulesTest, ListsRunDownInFrequencyAndKeepBlockPointsInEveryPart) {
    struct Case {
        const char* what;
        LayerRules::List list;
        QStringList expected;
    };
    const Case cases[] = {
        {"hole start, band 5..20, block 4", kRules.holeStartList(5, 20, 4), points(true, 16, 8)},
        {"hole end, band 5..20, block 4", kRules.holeEndList(5, 20, 4), points(true, 17, 9)},
        {"band end from point 1, block 4", kRules.bandEndList(1, 4), points(false, 40, 4)},
        {"band start to point N, block 4", kRules.bandStartList(40, 4), points(false, 37, 1)},
        {"band end of a full-width block", kRules.bandEndList(1, 40), points(false, 40, 40)},
        {"hole start of a band too short", kRules.holeStartList(5, 11, 4), QStringList{QStringLiteral("0")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(entries(c.list), c.expected);
    }
    // A point beyond the sweep is refused, not made up.
    QStringList out;
    EXPECT_FALSE(kRules.entries({false, 41, 39}, out));
}

TEST(LayerRulesTest, AHoleNeedsMoreThanTwiceTheBlock) {
    struct Case {
        int16_t count;
        int32_t block;
        bool permitted;
    };
    for (const Case& c : {Case{8, 4, false}, Case{9, 4, true}, Case{2, 1, false}, Case{3, 1, true}, Case{40, 20, false}}) {
        SCOPED_TRACE(testing::Message() << c.count << " points, block " << c.block);
        EXPECT_EQ(LayerRules::holePermitted(c.count, c.block), c.permitted);
    }
    EXPECT_EQ(LayerRules::bandCount(5, 20), 16);
}

TEST(LayerRulesTest, NudgesMoveTheHoleToTheFirstPointThatKeepsItValid) {
    // Lower part too short: the hole start goes to band start + Block - 1,
    // the hole end one above a hole start; upper part likewise from the end.
    EXPECT_EQ(LayerRules::holeUpTarget(5, 4), 8);
    EXPECT_EQ(LayerRules::holeEndAbove(8), 9);
    EXPECT_EQ(LayerRules::holeDownTarget(20, 4), 17);
    EXPECT_EQ(LayerRules::holeStartBelow(17), 16);
    // The targets are the ends of the hole lists.
    EXPECT_EQ(entries(kRules.holeStartList(5, 20, 4)).last(), f(LayerRules::holeUpTarget(5, 4)));
    EXPECT_EQ(entries(kRules.holeEndList(5, 20, 4))[1], f(LayerRules::holeDownTarget(20, 4)));
}

TEST(LayerRulesTest, SnappingTakesTheNearerPointInsideTheSweep) {
    const LayerRules twenty(45, 18000, 20);
    auto fp = [](int16_t p) { return int32_t(std::lround(sweepscale::frequency(45, 18000, 20, p))); };
    struct Case {
        const char* what;
        int32_t in;
        int32_t out;
    };
    const Case cases[] = {
        {"below the low frequency", 20, 45},
        {"above the high frequency", 20000, 18000},
        {"on a point", fp(7), fp(7)},
        {"just above a point", fp(7) + 1, fp(7)},
        {"just below the next point", fp(8) - 1, fp(8)},
        {"no hole", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int32_t snapped = -1;
        EXPECT_TRUE(twenty.snap(c.in, snapped));
        EXPECT_EQ(snapped, c.out);
    }
}
