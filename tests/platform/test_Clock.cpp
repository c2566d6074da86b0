#include "platform/os/Clock.h"
#include "platform/vb/DateTime.h"
#include "tests/support/StationTest.h"
#include <QTimer>

class Clock : public StationTest {};

TEST_F(Clock, VirtualTimeMovesOnlyWhenTheStationWaits) {
    ASSERT_TRUE(vclock::isVirtual());
    const int64_t t0 = vclock::ticks();
    const QDateTime start = vclock::now();
    EXPECT_EQ(start, QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    EXPECT_EQ(vclock::ticks(), t0);

    vclock::busyWait(250);
    EXPECT_EQ(vclock::ticks(), t0 + 250);
    vclock::poll();
    EXPECT_EQ(vclock::ticks(), t0 + 250 + vclock::kPollStepMs);
    vclock::busyWaitUntil(t0);   // already passed: no change
    EXPECT_EQ(vclock::ticks(), t0 + 250 + vclock::kPollStepMs);
    vclock::busyWaitUntil(t0 + 10000);
    EXPECT_EQ(vclock::ticks(), t0 + 10000);
    vclock::advance(50000);
    EXPECT_EQ(vclock::now(), start.addMSecs(60000));
    EXPECT_DOUBLE_EQ(vclock::nowDays(), vbDateSerial(2026, 12, 7) + vbTimeSerial(10, 1, 0));
}

TEST_F(Clock, PollRunsQueuedEventsBusyWaitDoesNot) {
    int fired = 0;
    QTimer::singleShot(0, [&] { ++fired; });
    vclock::busyWait(100);
    EXPECT_EQ(fired, 0);
    vclock::poll();
    EXPECT_EQ(fired, 1);
}

TEST_F(Clock, TickCountWrapsAsSigned32Bit) {
    const QDateTime start(QDate(2026, 12, 7), QTime(10, 0));
    vclock::setVirtual(start, INT32_MAX);
    EXPECT_EQ(vclock::tickCount(), INT32_MAX);
    vclock::busyWait(1);
    EXPECT_EQ(vclock::tickCount(), INT32_MIN);
    EXPECT_EQ(vclock::ticks(), int64_t(INT32_MAX) + 1);   // the 64-bit count does not wrap
    vclock::setVirtual(start, (int64_t(1) << 32) + 5);
    EXPECT_EQ(vclock::tickCount(), 5);
    vclock::setVirtual(start, (int64_t(1) << 32) - 1);
    EXPECT_EQ(vclock::tickCount(), -1);
    // The difference of two counts across the wrap is still the time between them.
    const int32_t before = vclock::tickCount();
    vclock::busyWait(10);
    EXPECT_EQ(static_cast<int32_t>(static_cast<uint32_t>(vclock::tickCount()) - static_cast<uint32_t>(before)), 10);
}

TEST_F(Clock, RealClockRunsOnItsOwn) {
    vclock::setReal();
    EXPECT_FALSE(vclock::isVirtual());
    const int64_t t0 = vclock::ticks();
    EXPECT_GE(t0, 1000000);
    vclock::busyWait(3);
    EXPECT_GE(vclock::ticks(), t0 + 3);
    vclock::advance(100000);   // no effect on real time
    EXPECT_LT(vclock::ticks(), t0 + 100000);
    EXPECT_LE(qAbs(vclock::now().secsTo(QDateTime::currentDateTime())), 5);
}
