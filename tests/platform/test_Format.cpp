#include "platform/vb/DateTime.h"
#include "platform/vb/Format.h"
#include "tests/support/StationTest.h"

namespace {
const QLocale kGerman(QLocale::German, QLocale::Germany);
// 2026-12-07 (a Monday) 10:58:46.
const double kMonday = vbDateSerial(2026, 12, 7) + vbTimeSerial(10, 58, 46);
}

class FormatNumbers : public StationTest {};

TEST_F(FormatNumbers, DecimalsRoundHalvesAwayFromZeroInDecimalForm) {
    EXPECT_EQ(Format(0.125, "0.00"), QStringLiteral("0.13"));
    EXPECT_EQ(Format(2.675, "0.00"), QStringLiteral("2.68"));   // 2.67499999... in binary
    EXPECT_EQ(Format(1.005, "0.00"), QStringLiteral("1.01"));
    EXPECT_EQ(Format(-0.125, "0.00"), QStringLiteral("-0.13"));
    EXPECT_EQ(Format(-0.001, "0.00"), QStringLiteral("0.00"));
    EXPECT_EQ(Format(9.999, "0.00"), QStringLiteral("10.00"));
    EXPECT_EQ(Format(0.5, "0"), QStringLiteral("1"));
    EXPECT_EQ(Format(-0.5, "0"), QStringLiteral("-1"));
    EXPECT_EQ(Format(0.125f, "0.00"), QStringLiteral("0.13"));
}

TEST_F(FormatNumbers, DigitPlaceholders) {
    EXPECT_EQ(Format(7, "00"), QStringLiteral("07"));
    EXPECT_EQ(Format(7.5, "00"), QStringLiteral("08"));
    EXPECT_EQ(Format(123, "00"), QStringLiteral("123"));
    EXPECT_EQ(Format(5, "000"), QStringLiteral("005"));
    EXPECT_EQ(Format(12.3456789, "00000.000000"), QStringLiteral("00012.345679"));
    EXPECT_EQ(Format(46.123f, QStringLiteral("00.") + QString(3, QLatin1Char('0'))), QStringLiteral("46.123"));
    EXPECT_EQ(Format(0.5, "#.##"), QStringLiteral(".5"));
    EXPECT_EQ(Format(2.0, "0.##"), QStringLiteral("2."));
    EXPECT_EQ(Format(0.256, "0.0%"), QStringLiteral("25.6%"));
    EXPECT_EQ(Format(0.256f, "0.0%"), QStringLiteral("25.6%"));
    EXPECT_EQ(Format(12.5, "0.0\" dB\""), QStringLiteral("12.5 dB"));
    EXPECT_EQ(Format(1234567.891, "#,##0.00"), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(Format(-1234.5, "#,##0.00"), QStringLiteral("-1,234.50"));
    EXPECT_EQ(Format(0.5, "#,##0.00"), QStringLiteral("0.50"));
    EXPECT_EQ(Format(999.999, "#,##0.00"), QStringLiteral("1,000.00"));
}

TEST_F(FormatNumbers, SectionsAndNamedForms) {
    EXPECT_EQ(Format(-1.5, "0.00;(0.00)"), QStringLiteral("(1.50)"));
    EXPECT_EQ(Format(1.5, "0.00;(0.00)"), QStringLiteral("1.50"));
    EXPECT_EQ(Format(0.0, "0.0;-0.0;\"nil\""), QStringLiteral("nil"));
    EXPECT_EQ(Format(1234.5, "Fixed"), QStringLiteral("1234.50"));
    EXPECT_EQ(Format(1234.5, "Standard"), QStringLiteral("1,234.50"));
    EXPECT_EQ(Format(0.256, "Percent"), QStringLiteral("25.60%"));
    EXPECT_EQ(Format(0.38f, "General Number"), QStringLiteral("0.38"));
    EXPECT_EQ(Format(-1.0, "True/False"), QStringLiteral("True"));
    EXPECT_EQ(Format(0.0, "Yes/No"), QStringLiteral("No"));
    EXPECT_EQ(Format(1.0, "On/Off"), QStringLiteral("On"));
    EXPECT_EQ(Format(Variant(1234.5), "Standard"), QStringLiteral("1,234.50"));
    EXPECT_EQ(Format(1.5, QString()), QStringLiteral("1.5"));
}

TEST_F(FormatNumbers, VariantsFormatByTheirType) {
    EXPECT_EQ(Format(Variant::null(), "0.00"), QString());
    EXPECT_EQ(Format(Variant(), "0.00"), QString());
    EXPECT_EQ(Format(Variant("2.5"), "0.00"), QStringLiteral("2.50"));
    EXPECT_EQ(Format(Variant("n/a"), "0.00"), QStringLiteral("n/a"));
    EXPECT_EQ(Format(Variant(true)), QStringLiteral("True"));
    EXPECT_EQ(Format(Variant(int16_t(7)), "000"), QStringLiteral("007"));
    EXPECT_EQ(Format(Variant(0.38f)), QStringLiteral("0.38"));
    // A date under a number pattern is its number of days.
    EXPECT_EQ(Format(Variant::date(46363.5), "0.00"), QStringLiteral("46363.50"));
    EXPECT_EQ(Format(Variant::date(46363.5)), QStringLiteral("07/12/2026 12:00:00"));
}

TEST_F(FormatNumbers, GermanLocaleSeparators) {
    setLocale(kGerman);
    EXPECT_EQ(Format(2.5, "0.00"), QStringLiteral("2,50"));
    EXPECT_EQ(Format(1234567.891, "#,##0.00"), QStringLiteral("1.234.567,89"));
    EXPECT_EQ(Format(0.256, "0.0%"), QStringLiteral("25,6%"));
    EXPECT_EQ(Format(Variant("2,5"), "0.0"), QStringLiteral("2,5"));
}

class FormatDates : public StationTest {};

TEST_F(FormatDates, TimePatternsRoundToTheNearestSecond) {
    const float f = static_cast<float>(vbTimeSerial(0, 2, 5) + 0.5 / 86400.0);
    EXPECT_EQ(Format(f, "h:mm:ss"), QStringLiteral("0:02:06"));
    EXPECT_EQ(Format(static_cast<float>(vbTimeSerial(0, 2, 5) + 0.4 / 86400.0), "h:mm:ss"),
              QStringLiteral("0:02:05"));
    EXPECT_EQ(FormatDate(kMonday, "h:00:ss"), QStringLiteral("10:00:46"));
    EXPECT_EQ(FormatDate(kMonday, "hh:nn:ss"), QStringLiteral("10:58:46"));
    // m is minutes only directly after h: before s it is still the month.
    EXPECT_EQ(FormatDate(kMonday, "mm:ss"), QStringLiteral("12:46"));
    EXPECT_EQ(FormatDate(kMonday, "HH:MM DD MMM"), QStringLiteral("10:58 07 Dec"));
    EXPECT_EQ(FormatDate(vbTimeSerial(22, 5, 0), "h:mm AM/PM"), QStringLiteral("10:05 PM"));
    EXPECT_EQ(FormatDate(vbTimeSerial(0, 5, 0), "h:mm a/p"), QStringLiteral("12:05 a"));
    // Just under midnight rounds into the next day.
    EXPECT_EQ(FormatDate(vbDateSerial(2026, 12, 7) + 0.9999999, "dd hh:nn:ss"), QStringLiteral("08 00:00:00"));
}

TEST_F(FormatDates, DatePatternsAndNamedForms) {
    EXPECT_EQ(FormatDate(kMonday, "ddd"), QStringLiteral("Mon"));
    EXPECT_EQ(FormatDate(kMonday, "dddd"), QStringLiteral("Monday"));
    EXPECT_EQ(FormatDate(kMonday, "Medium Date"), QStringLiteral("07-Dec-26"));
    EXPECT_EQ(FormatDate(kMonday, "Short Time"), QStringLiteral("10:58"));
    EXPECT_EQ(FormatDate(kMonday, "Long Time"), QStringLiteral("10:58:46"));
    EXPECT_EQ(FormatDate(kMonday, "Short Date"), QStringLiteral("07/12/2026"));
    EXPECT_EQ(FormatDate(kMonday, "General Date"), QStringLiteral("07/12/2026 10:58:46"));
    EXPECT_EQ(FormatDate(vbDateSerial(2026, 12, 7), "General Date"), QStringLiteral("07/12/2026"));
    EXPECT_EQ(FormatDate(vbTimeSerial(10, 58, 46), "General Date"), QStringLiteral("10:58:46"));
    EXPECT_EQ(FormatDate(kMonday, "yyyy-mm-dd hh:mm:ss"), QStringLiteral("2026-12-07 10:58:46"));
    EXPECT_EQ(FormatDate(kMonday, "d/m/yy"), QStringLiteral("7/12/26"));
    EXPECT_EQ(FormatDate(kMonday, "mmmm yyyy"), QStringLiteral("December 2026"));
    EXPECT_EQ(FormatDate(kMonday, "\"Day\" y, \\q q"), QStringLiteral("Day 341, q 4"));
    EXPECT_EQ(FormatDate(kMonday, "w"), QStringLiteral("2"));   // Sunday is 1
    EXPECT_EQ(Format(kMonday, "ddd"), QStringLiteral("Mon"));
    EXPECT_EQ(Format(Variant::date(kMonday), "Medium Date"), QStringLiteral("07-Dec-26"));

    setLocale(kGerman);
    EXPECT_EQ(FormatDate(kMonday, "dd/mm/yyyy"), QStringLiteral("07.12.2026"));
    EXPECT_EQ(FormatDate(kMonday, "dddd"), QStringLiteral("Montag"));
}
