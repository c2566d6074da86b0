// The interval split into the three boxes and summed back from them.
#include "engineering/SeqCaliTime.h"
#include <gtest/gtest.h>

namespace {
struct SplitCase {
    double days;
    int32_t d, h, m;
};
class SeqCaliSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SeqCaliSplit, GivesWholeDaysHoursAndMinutes) {
    const SplitCase& c = GetParam();
    const SeqCaliParts p = seqCaliSplit(c.days);
    EXPECT_EQ(p.days, c.d);
    EXPECT_EQ(p.hours, c.h);
    EXPECT_EQ(p.minutes, c.m);
}

INSTANTIATE_TEST_SUITE_P(Table, SeqCaliSplit,
                         ::testing::Values(SplitCase{1.0 + 2.0 / 24, 1, 2, 0}, SplitCase{1.5, 1, 12, 0},
                                           SplitCase{0.0, 0, 0, 0}, SplitCase{100.0, 100, 0, 0},
                                           SplitCase{1.0 + 12.0 / 24 + 30.0 / 1440, 1, 12, 30},
                                           SplitCase{99.0 + 23.0 / 24 + 59.0 / 1440, 99, 23, 59}));

TEST(SeqCaliTime, EveryIntervalTheBoxesHoldComesBackAsTyped) {
    int wrong = 0;
    for (int d = 0; d <= 99; ++d)
        for (int h = 0; h <= 23; ++h)
            for (int m = 0; m <= 59; ++m) {
                const SeqCaliParts p = seqCaliSplit(seqCaliDays(QString::number(d), QString::number(h), QString::number(m)));
                if (p.days != d || p.hours != h || p.minutes != m) ++wrong;
            }
    EXPECT_EQ(wrong, 0);
}

TEST(SeqCaliTime, BoxesAreReadAsTheirLeadingWholeNumber) {
    EXPECT_DOUBLE_EQ(seqCaliDays(QStringLiteral("01"), QStringLiteral("12"), QStringLiteral("30")), 1.0 + 0.5 + 30.0 / 1440);
    EXPECT_DOUBLE_EQ(seqCaliDays(QString(), QStringLiteral("x"), QStringLiteral("2.5min")), 2.0 / 1440);   // half to even
    EXPECT_DOUBLE_EQ(seqCaliDays(QStringLiteral("3.5"), QString(), QString()), 4.0);
}
}   // namespace
