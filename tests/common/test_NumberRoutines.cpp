#include "common/modArrayLongMaxEntryLen.h"
#include "common/modArraySingleMaxPtr.h"
#include "common/modArraySingleSearchPtr.h"
#include "common/modDoDelay.h"
#include "common/modLog10.h"
#include "common/modNumberEngineering.h"
#include "common/modProcessNumberLo.h"
#include "common/modRandomInteger.h"
#include "platform/os/Clock.h"
#include "tests/support/StationTest.h"
#include <cfloat>
#include <set>

namespace {
class NumberRoutines : public StationTest {};
}

TEST_F(NumberRoutines, EngineeringPrefixes) {
    bool err = false;
    EXPECT_EQ(gsNumberEngineering(0.005f, err), "5 (m");
    EXPECT_EQ(gsNumberEngineering(0.5f, err), "0.5 (");
    EXPECT_EQ(gsNumberEngineering(0.01f, err), "0.01 (");
    EXPECT_EQ(gsNumberEngineering(1e-5f, err), "0.01 (m");
    EXPECT_EQ(gsNumberEngineering(2.5e-6f, err), "2.5 (u");
    EXPECT_EQ(gsNumberEngineering(3e-9f, err), "3 (n");
    EXPECT_EQ(gsNumberEngineering(4e-12f, err), "4 (p");
    EXPECT_EQ(gsNumberEngineering(0.0f, err), "0 (p");
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(gsNumberEngineering(0.0025f, err), "2,5 (m");
    EXPECT_FALSE(err);
}

TEST_F(NumberRoutines, LogarithmsAndTheirRefusal) {
    bool err = false;
    EXPECT_FLOAT_EQ(gfLog10(10.0f, err), 1.0f);
    EXPECT_FLOAT_EQ(gfLog10(1000.0f, err), 3.0f);
    EXPECT_FLOAT_EQ(gfPN20Lg10(0.1f, err), -20.0f);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());

    answer({vbOK});
    EXPECT_EQ(gfLog10(-2.5f, err), 0.0f);
    EXPECT_TRUE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "fIn(-2.5) <= 0");
    EXPECT_EQ(boxes()[0].title, "modLog10.gfLog10");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);

    err = false;
    answer({vbOK});
    EXPECT_EQ(gfPN20Lg10(0.0f, err), 0.0f);
    EXPECT_TRUE(err);
    EXPECT_EQ(boxes().size(), 2);
}

TEST_F(NumberRoutines, StraightLine) {
    bool err = false;
    EXPECT_FLOAT_EQ(gfPnStraightLine(1, 10, 3, 30, 2, false, err), 20.0f);
    EXPECT_FLOAT_EQ(gfPnStraightLine(1, 10, 3, 30, 20, true, err), 2.0f);
    EXPECT_EQ(gfPnStraightLine(2, 10, 2, 30, 7, false, err), 30.0f);
    EXPECT_EQ(gfPnStraightLine(2, 10, 2, 30, 7, true, err), 2.0f);
    EXPECT_EQ(gfPnStraightLine(1, 10, 3, 10, 7, true, err), 3.0f);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());

    answer({vbOK});
    EXPECT_EQ(gfPnStraightLine(3.5f, 10, 1, 30, 2, false, err), 3.5f);
    EXPECT_TRUE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "ifX1 (3.5) > ifX2 (1)");
    EXPECT_EQ(boxes()[0].title, "modProcessNumberLo.gfPnStraightLine");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
}

TEST_F(NumberRoutines, ArrayMaxAndSearch) {
    bool err = false;
    const std::vector<float> levels{-3, 7, 2, 7, -1};
    EXPECT_EQ(glArraySingleMaxPtr(levels, 0, 0, err), 1);
    EXPECT_EQ(glArraySingleMaxPtr(levels, 2, 0, err), 3);
    EXPECT_EQ(glArraySingleMaxPtr(levels, 3, 2, err), 0);   // empty range
    // Counted from 1: the unused element 0 is never the maximum.
    const std::vector<float> fromOne{0, -5, -2, -9};
    EXPECT_EQ(glArraySingleMaxPtr(fromOne, 1, 0, 0, err), 2);
    EXPECT_EQ(glArraySingleMaxPtr(std::vector<float>{-FLT_MAX, -FLT_MAX}, 0, 0, err), 0);

    // 1, 2, 3, 4 with bounds 1 to 4.
    const std::vector<float> v{0, 1, 2, 3, 4};
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 4, 2.5f, false, +1, err), 3);
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 4, 2.5f, false, -1, err), 1);
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 4, 2.5f, false, 0, err), -1);
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 2, 2.5f, false, +1, err), -1);   // stops at the end index
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 1, 0.5f, false, +1, err), -1);   // no search at the lower bound
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 1, 2.5f, true, -1, err), 2);
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 1, 2.5f, true, +1, err), 4);
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 4, 2.5f, true, +1, err), -1);    // no search at the upper bound
    EXPECT_EQ(glArraySingleSearchPtr(std::vector<float>{10, 20, 30}, 2, 15.0f, false, +1, err), 1);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());

    answer({vbOK});
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 4, 2.5f, false, 2, err), -1);
    EXPECT_FALSE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "inMatchCode (2) out of range (-1, 0, +1)");
    EXPECT_EQ(boxes()[0].title, "modArraySingleSearchPtr.glArrayNumberSearch");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);

    // An end index past the array is a run-time error, not a read beyond it.
    answer({vbAbort, vbNo});
    EXPECT_EQ(glArraySingleSearchPtr(v, 1, 9, 99.0f, false, +1, err), -1);
    EXPECT_TRUE(err);
    EXPECT_TRUE(boxes()[1].prompt.endsWith("Subscript out of range"));
}

TEST_F(NumberRoutines, LongestNumberText) {
    bool err = false;
    EXPECT_EQ(gnArrayLongMaxEntryLen({0, 17, 123456, 99999}, err), 6);
    EXPECT_EQ(gnArrayLongMaxEntryLen({-70, -5}, err), 2);
    EXPECT_FALSE(err);
}

TEST_F(NumberRoutines, RandomIntegerStaysInRange) {
    bool err = false;
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const int16_t n = gnRandomInteger(-2, 3, err);
        ASSERT_GE(n, -2);
        ASSERT_LE(n, 3);
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_FALSE(err);
}

TEST_F(NumberRoutines, DelayWaitsWholeMillisecondsUpTo16Bits) {
    bool err = false;
    const int64_t start = vclock::ticks();
    gDoDelay(1.2345f, err);
    EXPECT_EQ(vclock::ticks() - start, 1234);   // 1234.5 rounds to even
    gDoDelay(0.0f, err);
    gDoDelay(-1.0f, err);
    EXPECT_EQ(vclock::ticks() - start, 1234);
    gDoDelay(32.767f, err);
    EXPECT_EQ(vclock::ticks() - start, 1234 + 32767);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());

    answer({vbAbort, vbNo});
    gDoDelay(40.0f, err);
    EXPECT_TRUE(err);
    EXPECT_EQ(vclock::ticks() - start, 1234 + 32767);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_EQ(boxes()[0].title, "Error!");
    EXPECT_EQ(boxes()[0].prompt, "Source: modDoDelay.gDoDelay.10\r\n\r\nOverflow");
}
