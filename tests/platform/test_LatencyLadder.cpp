// The latency a real card's stream asks for, over a run: up a step after lost
// blocks, down again after a quiet stretch, never below the step that lost
// last, and a step that keeps losing tried again less and less often.
#include "platform/sound/LatencyLadder.h"
#include <gtest/gtest.h>

using sound::LatencyLadder;

namespace {
constexpr double kQuiet = LatencyLadder::kQuietSeconds;

// One busy moment during calibration costs the loop's extra latency for a
// while, not for the rest of the run.
TEST(LatencyLadder, ComesBackDownAfterAQuietStretch) {
    LatencyLadder l;
    EXPECT_EQ(l.seconds(), 0.03);
    EXPECT_FALSE(l.mayComeDown(1e9));   // nothing lost: already the lowest
    ASSERT_TRUE(l.lost());
    EXPECT_EQ(l.seconds(), 0.06);
    EXPECT_FALSE(l.mayComeDown(kQuiet - 1));
    ASSERT_TRUE(l.mayComeDown(kQuiet));
    l.comeDown();
    EXPECT_EQ(l.seconds(), 0.03);
    EXPECT_FALSE(l.mayComeDown(1e9));
}

TEST(LatencyLadder, NeverComesBelowTheStepThatLostLast) {
    LatencyLadder l;
    ASSERT_TRUE(l.lost());   // 30 ms lost
    ASSERT_TRUE(l.lost());   // 60 ms lost too
    EXPECT_EQ(l.step(), 2);
    EXPECT_TRUE(l.top());
    EXPECT_FALSE(l.lost());  // nothing above the host's own figure
    ASSERT_TRUE(l.mayComeDown(kQuiet));
    l.comeDown();
    EXPECT_EQ(l.seconds(), 0.06);
    EXPECT_FALSE(l.mayComeDown(1e9));
    l.comeDown();            // asked anyway: stays
    EXPECT_EQ(l.seconds(), 0.06);
}

// A host that cannot keep up at a step is not reopened there every stretch:
// each loss after coming down doubles the wait, up to sixteen times.
TEST(LatencyLadder, AStepThatLosesAgainWaitsLongerEachTime) {
    LatencyLadder l;
    const double expected[] = {kQuiet, 2 * kQuiet, 4 * kQuiet, 8 * kQuiet, 16 * kQuiet, 16 * kQuiet, 16 * kQuiet};
    for (double wait : expected) {
        ASSERT_TRUE(l.lost());
        EXPECT_EQ(l.quietNeeded(), wait);
        EXPECT_FALSE(l.mayComeDown(wait - 1));
        ASSERT_TRUE(l.mayComeDown(wait));
        l.comeDown();
    }
    // A loss at a step risen to (not come down to) starts the count afresh.
    ASSERT_TRUE(l.lost());
    ASSERT_TRUE(l.lost());
    EXPECT_EQ(l.quietNeeded(), kQuiet);
}
}
