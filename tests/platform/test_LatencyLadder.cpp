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

// The backend's decision each time it uses a card again, over a scripted run
// of one card: its stream's lost blocks so far at each use. Blocks lost at the
// top step keep the card, and a quiet stretch from the last of them brings it
// down a step as from any other step.
TEST(LatencyLadder, TheBackendBringsACardDownFromTheTopAfterAQuietStretch) {
    LatencyLadder l;
    sound::StreamLossWatch card;
    card.opened(0);
    struct Use {
        double at;      // seconds
        int lost;       // the open stream's lost blocks so far
        bool reopened;  // opened again at a new step
        double step;    // the step it then runs at
    } const uses[] = {
        {5, 2, true, 0.06},    // lost at 30 ms
        {8, 1, true, 0.1},     // lost at 60 ms too: the top
        {20, 3, false, 0.1},   // lost at the top: kept, quiet from here
        {45, 3, false, 0.1},
        {49.5, 3, false, 0.1},
        {50, 3, true, 0.06},   // 30 s quiet since the last loss
        {200, 0, false, 0.06}, // never below the step that lost last
    };
    for (const Use& u : uses) {
        EXPECT_EQ(card.reopen(l, u.lost, u.at), u.reopened) << u.at;
        EXPECT_EQ(l.seconds(), u.step) << u.at;
        if (u.reopened) card.opened(u.at);
    }
}
