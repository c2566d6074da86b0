// How much of a tone a level reading takes: whole cycles of at least 1,000
// samples, and the settling skip before them.
#include "audio/LevelReading.h"
#include "platform/vb/VbError.h"
#include <gtest/gtest.h>

using namespace levelreading;

TEST(LevelReading, WholeCyclesOfAtLeastAThousandSamples) {
    struct Case {
        float freq;
        int32_t rate;
        int32_t samples;
    };
    const Case cases[] = {
        {1000.0f, 44100, 1014},   // 23 cycles of 44.1 samples
        {441.0f, 44100, 1000},    // exactly 10 cycles
        {30.0f, 44100, 1470},     // one cycle
        {20.0f, 44100, 2205},
        {10.0f, 44100, 4410},
        {44.1f, 44100, 1000},     // one cycle of exactly 1,000 samples
        {45.0f, 44100, 1960},     // one cycle is 980: two
        {200.0f, 44100, 1102},    // 5 cycles of 220.5, halves to even
        {20000.0f, 96000, 1003},  // 209 cycles of 4.8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.freq << " Hz at " << c.rate);
        EXPECT_EQ(glWholeCycleSamples(c.freq, c.rate), c.samples);
    }
}

TEST(LevelReading, TheSkipIsFiveMillisecondsOrTwoCycles) {
    EXPECT_EQ(glSettleSamples(1000.0f, 44100), 220);   // 5 ms
    EXPECT_EQ(glSettleSamples(390.0f, 44100), 226);    // two cycles, just over 5 ms
    EXPECT_EQ(glSettleSamples(61.0f, 44100), 1446);
    EXPECT_EQ(glSettleSamples(10.0f, 44100), 8820);
    EXPECT_THROW(glSettleSamples(0.0f, 44100), VbError);
    EXPECT_THROW(glWholeCycleSamples(-5.0f, 44100), VbError);
    EXPECT_THROW(glWholeCycleSamples(100.0f, 0), VbError);
}
