#include "platform/vb/Conversions.h"
#include "platform/vb/DateTime.h"
#include "platform/vb/Format.h"
#include "platform/vb/VbError.h"
#include "tests/support/StationTest.h"

namespace {
// Computed while the program starts, before any test runs.
const double kAtStartUp = vbDateSerial(2026, 12, 7);
}

class DateTime : public StationTest {};

TEST_F(DateTime, DatesComputedAtStartUpAreRight) { EXPECT_EQ(kAtStartUp, 46363.0); }

TEST_F(DateTime, DaysCountFrom30December1899BothWays) {
    EXPECT_EQ(vbDateSerial(1899, 12, 30), 0.0);
    EXPECT_EQ(vbDateSerial(1899, 12, 29), -1.0);
    EXPECT_EQ(vbDateSerial(2000, 1, 1), 36526.0);
    EXPECT_EQ(vbDateSerial(2026, 12, 7), 46363.0);
    EXPECT_EQ(vbDateTimeFromDate(0), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(vbDateTimeFromDate(46363), QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
    EXPECT_EQ(vbDateTimeFromDate(46363.75), QDateTime(QDate(2026, 12, 7), QTime(18, 0)));
    EXPECT_DOUBLE_EQ(vbDateFromDateTime(QDateTime(QDate(2026, 12, 7), QTime(12, 0))), 46363.5);
    EXPECT_DOUBLE_EQ(vbDateFromDateTime(QDateTime(QDate(1899, 12, 30), QTime(6, 0))), 0.25);
    const QDateTime dt(QDate(2024, 2, 29), QTime(23, 59, 59, 250));
    EXPECT_EQ(vbDateTimeFromDateExact(vbDateFromDateTime(dt)), dt);
}

TEST_F(DateTime, TimeFractionsAndRounding) {
    EXPECT_DOUBLE_EQ(vbTimeSerial(6, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(vbTimeSerial(0, 0, 1), 1.0 / 86400.0);
    EXPECT_DOUBLE_EQ(vbTimeSerial(23, 59, 60), 1.0);
    const double day = vbDateSerial(2026, 12, 7);
    // Shown dates round to the nearest second; the exact form keeps milliseconds.
    EXPECT_EQ(vbDateTimeFromDate(day + 0.4 / 86400).time(), QTime(0, 0, 0));
    EXPECT_EQ(vbDateTimeFromDate(day + 0.6 / 86400).time(), QTime(0, 0, 1));
    EXPECT_EQ(vbDateTimeFromDateExact(day + 0.5 / 86400).time(), QTime(0, 0, 0, 500));
    EXPECT_EQ(vbDateTimeFromDate(day + 0.9999999), QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
    EXPECT_EQ(vbDateTimeFromDateExact(day + 0.99999999999), QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
}

TEST_F(DateTime, TextInTheLocalesForms) {
    const double day = vbDateSerial(2026, 12, 7);
    const double t = vbTimeSerial(10, 58, 46);
    double d = -1;
    ASSERT_TRUE(parseVbDateText(QStringLiteral("07/12/2026"), d));
    EXPECT_EQ(d, day);
    ASSERT_TRUE(parseVbDateText(QStringLiteral(" 07/12/2026 10:58:46 "), d));
    EXPECT_NEAR(d, day + t, 1e-9);
    ASSERT_TRUE(parseVbDateText(QStringLiteral("07/12/2026 10:58"), d));
    EXPECT_NEAR(d, day + vbTimeSerial(10, 58, 0), 1e-9);
    ASSERT_TRUE(parseVbDateText(QStringLiteral("10:58:46"), d));
    EXPECT_NEAR(d, t, 1e-9);
    EXPECT_FALSE(parseVbDateText(QStringLiteral("31/02/2026"), d));
    EXPECT_FALSE(parseVbDateText(QStringLiteral("tomorrow"), d));
    // The general text reads back as the same date.
    ASSERT_TRUE(parseVbDateText(vbGeneralDateText(day + t), d));
    EXPECT_NEAR(d, day + t, 1e-9);

    setLocale(QLocale(QLocale::German, QLocale::Germany));
    // Short dates show four-digit years, as the station's platform wrote them.
    EXPECT_EQ(vbGeneralDateText(day + t), QStringLiteral("07.12.2026 10:58:46"));
    EXPECT_EQ(FormatDate(day, QStringLiteral("Short Date")), QStringLiteral("07.12.2026"));
    EXPECT_EQ(FormatDate(day, QStringLiteral("ddddd")), QStringLiteral("07.12.2026"));
    ASSERT_TRUE(parseVbDateText(QStringLiteral("07.12.2026 10:58:46"), d));
    EXPECT_NEAR(d, day + t, 1e-9);
    // Two-digit years: 00-29 this century, 30-99 the last.
    ASSERT_TRUE(parseVbDateText(QStringLiteral("07.12.26"), d));
    EXPECT_EQ(d, day);
    ASSERT_TRUE(parseVbDateText(QStringLiteral("07.12.26 10:58:46"), d));
    EXPECT_NEAR(d, day + t, 1e-9);
    ASSERT_TRUE(parseVbDateText(QStringLiteral("01.01.30"), d));
    EXPECT_EQ(d, vbDateSerial(1930, 1, 1));
    ASSERT_TRUE(parseVbDateText(QStringLiteral("31.12.99"), d));
    EXPECT_EQ(d, vbDateSerial(1999, 12, 31));

    setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatDate(day, QStringLiteral("Short Date")), QStringLiteral("12/7/2026"));
    EXPECT_EQ(vbGeneralDateText(day + t), QStringLiteral("12/7/2026 10:58:46 AM"));
    ASSERT_TRUE(parseVbDateText(QStringLiteral("12/7/2026"), d));
    EXPECT_EQ(d, day);
    ASSERT_TRUE(parseVbDateText(QStringLiteral("12/7/26"), d));
    EXPECT_EQ(d, day);
}

// A date outside the calendar is refused where it is made (Overflow), never
// carried on to a formatting that cannot hold it.
TEST_F(DateTime, DatesOutsideTheCalendarOverflow) {
    for (const char* text : {"1e300", "-1e300", "2958466", "-657436"}) {
        SCOPED_TRACE(text);
        try {
            CDate(Variant(QString::fromLatin1(text)));
            ADD_FAILURE() << "accepted";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number, vberr::kOverflow);
        }
    }
    EXPECT_THROW(CDate(Variant(1e300)), VbError);
    EXPECT_THROW(vbGeneralDateText(1e300), VbError);
    // Its edges still hold: 31 December 9999 23:59:59 and 1 January 100.
    EXPECT_EQ(vbDateTimeFromDate(CDate(Variant(2958465.99998))).date(), QDate(9999, 12, 31));
    EXPECT_EQ(vbDateTimeFromDate(CDate(Variant(-657434.0))).date(), QDate(100, 1, 1));
    EXPECT_EQ(Format(Variant::date(46363.5), QStringLiteral("yyyy-mm-dd hh:nn")), QStringLiteral("2026-12-07 12:00"));
}
