#include "platform/vb/Locale.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/DateTime.h"
#include "platform/vb/VbError.h"
#include "tests/support/StationTest.h"
#include <cmath>
#include <limits>

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
}

class Conversions : public StationTest {};

TEST_F(Conversions, WholeNumbersRoundHalvesToEven) {
    EXPECT_EQ(CInt(0.5), 0);
    EXPECT_EQ(CInt(1.5), 2);
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-0.5), 0);
    EXPECT_EQ(CInt(-1.5), -2);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(2.4999), 2);
    EXPECT_EQ(CInt(2.5001), 3);
    EXPECT_EQ(CLng(100000.5), 100000);
    EXPECT_EQ(CLng(100001.5), 100002);
    EXPECT_EQ(CLng(-7.5), -8);
}

TEST_F(Conversions, ResultsOutsideTheTypeOverflow) {
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(errorOf([] { CInt(32767.5); }), vberr::kOverflow);
    EXPECT_EQ(CInt(-32768.5), -32768);
    EXPECT_EQ(errorOf([] { CInt(-32768.6); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([] { CInt(std::nan("")); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([] { CInt(std::numeric_limits<double>::infinity()); }), vberr::kOverflow);
    EXPECT_EQ(CLng(-2147483648.5), INT32_MIN);
    EXPECT_EQ(errorOf([] { CLng(2147483647.5); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([] { CSng(1e39); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([] { checkedInt(32768); }), vberr::kOverflow);
    EXPECT_EQ(checkedInt(-32768), -32768);
    EXPECT_EQ(errorOf([] { checkedLong(2147483648LL); }), vberr::kOverflow);

    try {
        CInt(40000.0);
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 6);
        EXPECT_EQ(e.description, QStringLiteral("Overflow"));
        EXPECT_STREQ(e.what(), "Error 6: Overflow");
    }
}

TEST_F(Conversions, VariantsConvertOrRaiseTheRunTimesErrors) {
    EXPECT_EQ(errorOf([] { CInt(Variant::null()); }), vberr::kInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { CStr(Variant::null()); }), vberr::kInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { CDbl(Variant::null()); }), vberr::kInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { CInt(Variant("abc")); }), vberr::kTypeMismatch);
    EXPECT_EQ(errorOf([] { CLng(Variant("")); }), vberr::kTypeMismatch);
    EXPECT_EQ(errorOf([] { CInt(Variant("40000")); }), vberr::kOverflow);
    EXPECT_EQ(CInt(Variant()), 0);
    EXPECT_EQ(CInt(Variant(" 12 ")), 12);
    EXPECT_EQ(CInt(Variant("2.5")), 2);
    EXPECT_EQ(CInt(Variant(true)), -1);
    EXPECT_EQ(CLng(Variant(int16_t(-5))), -5);
    EXPECT_EQ(CLng(Variant(3.5)), 4);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1E-05")), 1e-5);
    EXPECT_FLOAT_EQ(CSng(Variant(0.25f)), 0.25f);
}

TEST_F(Conversions, BooleansFromTextAndNumbers) {
    EXPECT_TRUE(CBool(Variant("True")));
    EXPECT_FALSE(CBool(Variant("False")));
    EXPECT_TRUE(CBool(Variant("true")));
    EXPECT_FALSE(CBool(Variant("0")));
    EXPECT_TRUE(CBool(Variant("-1")));
    EXPECT_TRUE(CBool(Variant(0.1)));
    EXPECT_FALSE(CBool(Variant()));
    EXPECT_EQ(errorOf([] { CBool(Variant("yes")); }), vberr::kTypeMismatch);
    EXPECT_EQ(errorOf([] { CBool(Variant::null()); }), vberr::kInvalidUseOfNull);
}

TEST_F(Conversions, NumberTextIsReadInTheUsersLocale) {
    EXPECT_DOUBLE_EQ(CDbl(Variant("1.5")), 1.5);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1,234.5")), 1234.5);

    setLocale(kGerman);
    EXPECT_FLOAT_EQ(CSng(Variant("1,5")), 1.5f);
    EXPECT_DOUBLE_EQ(CDbl(Variant("-0,25")), -0.25);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1.234,5")), 1234.5);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1,5E+07")), 1.5e7);
    // "." groups thousands here: a text that is no valid grouping is no number,
    // rather than 1.5 beside "1.500" meaning 1500.
    EXPECT_DOUBLE_EQ(CDbl(Variant("1.500")), 1500.0);
    EXPECT_EQ(errorOf([] { CDbl(Variant("1.5")); }), vberr::kTypeMismatch);
    EXPECT_EQ(userlocale::decimalChar(), QStringLiteral(","));
    EXPECT_EQ(userlocale::regionCode(), QStringLiteral("DE"));
}

// The number a text starts with: Val reads "." only; ValUser also takes the
// user's decimal character. The same text reads the same in every window.
TEST_F(Conversions, TheNumberATextStartsWith) {
    struct Case {
        const char* text;
        double val;        // Val, in any locale
        double valUser;    // ValUser where the decimal character is ","
    };
    const Case cases[] = {
        {"0.38", 0.38, 0.38},   {"0,38", 0.0, 0.38},     {"  12abc", 12.0, 12.0}, {"\t\n7", 7.0, 7.0},
        {"", 0.0, 0.0},         {"abc", 0.0, 0.0},       {"-1.5", -1.5, -1.5},    {"+2", 2.0, 2.0},
        {".5", 0.5, 0.5},       {"5.", 5.0, 5.0},        {"1e2", 100.0, 100.0},   {"1.5E-3V", 0.0015, 0.0015},
        {"1e", 1.0, 1.0},       {"1e+", 1.0, 1.0},       {"39", 39.0, 39.0},      {"1.2.3", 1.2, 1.2},
        {"- 1", 0.0, 0.0},      {"1 2", 1.0, 1.0},       {"9e999", 0.0, 0.0},     {"\xd9\xa3", 0.0, 0.0},
        {"&H1F", 31.0, 31.0},   {"&hff", 255.0, 255.0},  {"&HFFFF", -1.0, -1.0},  {"&H8000", -32768.0, -32768.0},
        {"&H10000", 65536.0, 65536.0}, {"&HFFFFFFFF", -1.0, -1.0}, {"&H100000000", 0.0, 0.0},
        {"&O17", 15.0, 15.0},   {"&O8", 0.0, 0.0},       {"&X1", 0.0, 0.0},       {"&H", 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
        EXPECT_DOUBLE_EQ(Val(text), c.val);
        EXPECT_DOUBLE_EQ(ValUser(text), c.val);   // "." is the decimal character here
        setLocale(kGerman);
        EXPECT_DOUBLE_EQ(Val(text), c.val);
        EXPECT_DOUBLE_EQ(ValUser(text), c.valUser);
    }
}

TEST_F(Conversions, GeneralTextOfNumbers) {
    EXPECT_EQ(CStr(0.38f), QStringLiteral("0.38"));
    EXPECT_EQ(CStr(1234567.f), QStringLiteral("1234567"));
    EXPECT_EQ(CStr(12345678.f), QStringLiteral("1.234568E+07"));
    EXPECT_EQ(CStr(0.00001f), QStringLiteral("1E-05"));
    EXPECT_EQ(CStr(-2.5f), QStringLiteral("-2.5"));
    EXPECT_EQ(CStr(0.0f), QStringLiteral("0"));
    EXPECT_EQ(CStr(-0.0), QStringLiteral("0"));
    EXPECT_EQ(CStr(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(CStr(1.0 / 3.0), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(CStr(int32_t(-70000)), QStringLiteral("-70000"));
    EXPECT_EQ(CStr(true), QStringLiteral("True"));
    EXPECT_EQ(CStr(Variant(false)), QStringLiteral("False"));
    EXPECT_EQ(CStr(Variant(int16_t(7))), QStringLiteral("7"));
    EXPECT_EQ(CStr(Variant(0.38f)), QStringLiteral("0.38"));
    EXPECT_EQ(CStr(Variant()), QString());
    EXPECT_EQ(CStr(Variant::date(vbDateSerial(2026, 12, 7))), QStringLiteral("07/12/2026"));
    // Written and read back, the general text keeps the value.
    EXPECT_FLOAT_EQ(CSng(Variant(CStr(12345678.f))), 12345680.f);

    setLocale(kGerman);
    EXPECT_EQ(CStr(0.38f), QStringLiteral("0,38"));
    EXPECT_EQ(CStr(12345678.f), QStringLiteral("1,234568E+07"));
    EXPECT_EQ(generalNumberText(0.38, 7, QStringLiteral(".")), QStringLiteral("0.38"));
}

TEST_F(Conversions, IntegerDivisionAndTruncation) {
    EXPECT_EQ(IntDiv(7, 2), 3);
    EXPECT_EQ(IntDiv(-7, 2), -3);
    EXPECT_EQ(IntDiv(7, -2), -3);
    EXPECT_EQ(IntDiv(7.5, 2), 4);    // 8 \ 2
    EXPECT_EQ(IntDiv(2.5, 1.5), 1);  // 2 \ 2
    EXPECT_EQ(errorOf([] { IntDiv(5, 0); }), vberr::kDivisionByZero);
    EXPECT_EQ(errorOf([] { IntDiv(5, 0.4); }), vberr::kDivisionByZero);
    EXPECT_EQ(errorOf([] { IntDiv(-2147483648.0, -1); }), vberr::kOverflow);
    EXPECT_EQ(Int(-2.5), -3.0);
    EXPECT_EQ(Fix(-2.5), -2.0);
    EXPECT_EQ(Int(2.5), 2.0);
}

TEST_F(Conversions, DatesFromTextAndNumbers) {
    const double day = vbDateSerial(2026, 12, 7);
    EXPECT_DOUBLE_EQ(CDate(Variant("07/12/2026")), day);
    EXPECT_NEAR(CDate(Variant("07/12/2026 10:58:46")), day + vbTimeSerial(10, 58, 46), 1e-9);
    EXPECT_DOUBLE_EQ(CDate(Variant("46363.5")), 46363.5);
    EXPECT_DOUBLE_EQ(CDate(Variant(46363.25)), 46363.25);
    EXPECT_EQ(errorOf([] { CDate(Variant("someday")); }), vberr::kTypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant::null()); }), vberr::kInvalidUseOfNull);
}

TEST(VbErrorState, ErrKeepsTheLastErrorUntilCleared) {
    try {
        vbRaise(vberr::kUserBase + 512, QStringLiteral("Wave device not found"), 2);
    } catch (const VbError& e) {
        Err().set(e);
    }
    EXPECT_EQ(Err().Number, vberr::kUserBase + 512);
    EXPECT_EQ(Err().Description, QStringLiteral("Wave device not found"));
    EXPECT_EQ(Err().LastDllError, 2);
    Err().Clear();
    EXPECT_EQ(Err().Number, 0);
    EXPECT_TRUE(Err().Description.isEmpty());
    EXPECT_EQ(vbErrorText(62), QStringLiteral("Input past end of file"));
    EXPECT_EQ(vbErrorText(12345), QStringLiteral("Application-defined or object-defined error"));
}

TEST(VariantValue, SameAsComparesTypeAndValue) {
    EXPECT_TRUE(Variant::null().sameAs(Variant::null()));
    EXPECT_FALSE(Variant::null().sameAs(Variant()));
    EXPECT_FALSE(Variant(int16_t(1)).sameAs(Variant(int32_t(1))));
    EXPECT_TRUE(Variant(2.5).sameAs(Variant(2.5)));
    EXPECT_FALSE(Variant("abc").sameAs(Variant("ABC")));
    EXPECT_TRUE(Variant(true).isNumeric());
    EXPECT_FALSE(Variant("1").isNumeric());
    EXPECT_EQ(Variant(true).number(), -1.0);
}
