// The microphone level search as a pure function: a model unit gives the peak
// for each volume, the search's sweeps and its end are checked.
#include "common/RespScaleSearch.h"
#include "common/modProcessNumberLo.h"
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {
// A unit whose level follows the volume in amplitude, 0 dB at ifFullAt, with an
// optional clipping ceiling; silence at volume 0.
struct Unit {
    double fullAt = 32767;
    double ceiling = 1e9;
    float operator()(int32_t v) const {
        if (v <= 0) return -99.0f;
        return float(std::min(ceiling, 20.0 * std::log10(v / fullAt)));
    }
};

struct SearchRun {
    RespScaleOutcome outcome;
    std::vector<int32_t> volumes;   // the volume of each sweep
};

template <class Peak>
SearchRun search(int32_t iStart, Peak iPeak) {
    SearchRun r;
    auto sweep = [&](int32_t v, float& peak) {
        r.volumes.push_back(v);
        peak = iPeak(v);
        return true;
    };
    auto line = [](float x1, float y1, float x2, float y2, float v, bool& e) {
        return gfPnStraightLine(x1, y1, x2, y2, v, true, e);
    };
    r.outcome = respScaleSearch(iStart, sweep, line);
    return r;
}

// A table of fixed peaks by sweep number.
struct Scripted {
    std::vector<float> peaks;
    mutable size_t next = 0;
    float operator()(int32_t) const { return peaks.at(std::min(next++, peaks.size() - 1)); }
};
}

TEST(RespScaleSearch, PeaksInsideTheWindowEndAtOnceBothEdgesIncluded) {
    for (float peak : {-3.5f, -6.0f, -2.0f, -4.0f}) {
        const SearchRun r = search(20000, Scripted{{peak}});
        EXPECT_EQ(r.outcome.end, RespScaleEnd::InWindow) << peak;
        EXPECT_EQ(r.outcome.sweeps, 1) << peak;
        EXPECT_EQ(r.outcome.volume, 20000) << peak;
        EXPECT_FALSE(r.outcome.gaveUp());
    }
    // Just outside on either side: another sweep.
    for (float peak : {-6.01f, -1.99f}) EXPECT_EQ(search(20000, Scripted{{peak, -4.0f}}).outcome.sweeps, 2) << peak;
}

TEST(RespScaleSearch, AUnitFollowingTheVolumeLandsInTheWindowQuickly) {
    // Quiet, loud (not clipped) and nearly right units from a middle start.
    for (double fullAt : {45000.0, 60000.0, 25000.0, 12000.0, 30000.0}) {
        const Unit unit{fullAt};
        const SearchRun r = search(32767, unit);
        EXPECT_EQ(r.outcome.end, RespScaleEnd::InWindow) << fullAt;
        EXPECT_LE(r.outcome.sweeps, 3) << fullAt;
        const float peak = unit(r.outcome.volume);
        EXPECT_GE(peak, -6.0f);
        EXPECT_LE(peak, -2.0f);
    }
}

TEST(RespScaleSearch, TooQuietEvenAtTheTopEndsAfterTwoSweepsThere) {
    const SearchRun r = search(32767, Unit{500000.0});
    EXPECT_EQ(r.volumes, (std::vector<int32_t>{32767, 65535, 65535}));
    EXPECT_EQ(r.outcome.end, RespScaleEnd::AtBound);
    EXPECT_EQ(r.outcome.volume, 65535);
    EXPECT_FALSE(r.outcome.gaveUp());
    // Started at the top: the second sweep there ends it.
    EXPECT_EQ(search(65535, Unit{500000.0}).volumes, (std::vector<int32_t>{65535, 65535}));
}

TEST(RespScaleSearch, AFarTooLoudUnitStepsToThirtyThousandItself) {
    // From the top, the line reads a volume more than 30000 below: 30000 is taken.
    const SearchRun r = search(65535, Unit{2000.0});
    ASSERT_GE(r.volumes.size(), 2u);
    EXPECT_EQ(r.volumes[1], 30000);
    EXPECT_EQ(r.outcome.end, RespScaleEnd::InWindow);
    // A quiet unit may move up by more than 30000 at once.
    const SearchRun up = search(1000, Unit{60000.0});
    ASSERT_GE(up.volumes.size(), 2u);
    EXPECT_GT(up.volumes[1] - 1000, 30000);
}

TEST(RespScaleSearch, APeakThatDoesNotFollowTheVolumeEndsWithTheWarning) {
    // Clipped input: the same peak at every volume.
    const SearchRun clipped = search(32767, Scripted{{0.0f}});
    EXPECT_EQ(clipped.outcome.end, RespScaleEnd::NoChange);
    EXPECT_LE(clipped.outcome.sweeps, 3);
    EXPECT_TRUE(clipped.outcome.gaveUp());
    EXPECT_EQ(clipped.outcome.volume, clipped.volumes.back());
    // A capture volume with no effect, too loud: it ends off the bounds.
    const SearchRun stuck = search(32767, Scripted{{3.0f}});
    EXPECT_EQ(stuck.outcome.end, RespScaleEnd::NoChange);
    EXPECT_LE(stuck.outcome.sweeps, 3);
    // The same too quiet runs to the top and ends there as at a bound.
    const SearchRun quiet = search(32767, Scripted{{-20.0f}});
    EXPECT_EQ(quiet.outcome.end, RespScaleEnd::AtBound);
    EXPECT_EQ(quiet.outcome.volume, 65535);
    // Peaks that wander without settling stop at the sweep limit.
    const SearchRun wander = search(32767, [n = 0](int32_t) mutable { return (n++ % 2) ? -30.0f : 6.0f; });
    EXPECT_EQ(wander.outcome.sweeps, kRespScaleSweepLimit);
    EXPECT_EQ(wander.outcome.end, RespScaleEnd::SweepLimit);
    EXPECT_TRUE(wander.outcome.gaveUp());
}

TEST(RespScaleSearch, AFailedSweepEndsTheSearchAsAnError) {
    int calls = 0;
    auto sweep = [&](int32_t, float& peak) {
        peak = -20.0f;
        return ++calls < 2;
    };
    auto line = [](float x1, float y1, float x2, float y2, float v, bool& e) {
        return gfPnStraightLine(x1, y1, x2, y2, v, true, e);
    };
    const RespScaleOutcome out = respScaleSearch(32767, sweep, line);
    EXPECT_EQ(out.end, RespScaleEnd::Error);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(out.gaveUp());
}

TEST(RespScaleSearch, NextVolumeClampsARunawayLineAndRoundsHalvesToEven) {
    auto line = [](float x1, float y1, float x2, float y2, float v, bool& e) {
        return gfPnStraightLine(x1, y1, x2, y2, v, true, e);
    };
    bool e = false;
    // A nearly flat line reads far beyond 32 bits: the top of the scale.
    EXPECT_EQ(glRespScaleNextVolume(30000, -40.0f, 30001, -39.9999f, line, e), 65535);
    // Falling the wrong way: the bottom.
    EXPECT_EQ(glRespScaleNextVolume(30000, -40.0f, 40000, -41.0f, line, e), 0);
    // The points are used in the order of their volumes whichever came first.
    const int32_t a = glRespScaleNextVolume(40000, -10.0f, 20000, -14.0f, line, e);
    const int32_t b = glRespScaleNextVolume(20000, -14.0f, 40000, -10.0f, line, e);
    EXPECT_EQ(a, b);
    // Between two real sweeps the line is read at -4 dB: halfway reads whole.
    EXPECT_EQ(glRespScaleNextVolume(10000, -8.0f, 12000, -7.0f, line, e), 18000);
    // A line reading x.5 rounds to the even whole number.
    EXPECT_EQ(glRespScaleNextVolume(10000, -9.0f, 10001, -7.0f, line, e), 10002);
    EXPECT_EQ(glRespScaleNextVolume(10002, -9.0f, 10003, -7.0f, line, e), 10004);
    EXPECT_FALSE(e);
}

TEST(RespScaleSearch, StartVolume) {
    // Below the control's step count the card cannot tell it from 0: 32767.
    EXPECT_EQ(glRespScaleStartVolume(0, 64), 32767);
    EXPECT_EQ(glRespScaleStartVolume(63, 64), 32767);
    EXPECT_EQ(glRespScaleStartVolume(64, 64), 64);
    EXPECT_EQ(glRespScaleStartVolume(50000, 64), 50000);
}
