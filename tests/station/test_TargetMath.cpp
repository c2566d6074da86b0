// The target curve's arithmetic: frequencies held within the file, the
// normalising offset, each point's correction, and the shift of the top.
#include "station/TargetMath.h"
#include <gtest/gtest.h>

namespace {
TEST(TargetMath, FrequenciesBeyondTheFileTakeItsEnds) {
    const std::vector<float> file{0.0f, 20.0f, 1000.0f, 20000.0f};
    struct Case {
        float f;
        float held;
    } cases[] = {
        {20.0f, 20.0f}, {19.99f, 20.0f}, {500.0f, 500.0f}, {20000.0f, 20000.0f},
        {20000.004f, 20000.0f},   // the last sweep point of 20-20,000 Hz at 100 points
        {25000.0f, 20000.0f},
    };
    for (const Case& c : cases) EXPECT_EQ(targetClampFrequency(file, c.f), c.held) << c.f;
}

TEST(TargetMath, OffsetCorrectionAndTopShift) {
    struct Offset {
        float middle;
        float offset;
    } offsets[] = {{0.0f, -6.0f}, {-10.0f, 4.0f}, {3.5f, -9.5f}};
    for (const Offset& c : offsets) EXPECT_FLOAT_EQ(targetOffset(c.middle), c.offset) << c.middle;

    struct Point {
        float level;
        float offset;
        float reference;
        float correction;
        float drawn;
    } points[] = {
        {0.0f, -6.0f, 0.0f, -6.0f, -6.0f},
        {0.0f, -6.0f, -20.0f, 14.0f, -6.0f},
        {-2.0f, 4.0f, -15.5f, 17.5f, 2.0f},
    };
    for (const Point& c : points) {
        const TargetPoint t = targetPoint(c.level, c.offset, c.reference);
        EXPECT_FLOAT_EQ(t.fCorrection, c.correction) << c.level << " " << c.reference;
        EXPECT_FLOAT_EQ(t.fRef2Target, c.drawn) << c.level << " " << c.reference;
    }

    struct Top {
        float top;
        float shift;
    } tops[] = {{2.0f, -4.0f}, {0.5f, -2.5f}, {0.0f, 0.0f}, {-1.0f, 0.0f}, {-6.0f, 0.0f}};
    for (const Top& c : tops) EXPECT_FLOAT_EQ(targetTopShift(c.top), c.shift) << c.top;
}
}   // namespace
