// The reference curve's cells in a calibration row: written with the user
// locale's decimal character, read back under any locale, always six wide.
#include "station/CalibrationMath.h"
#include "tests/support/StationTest.h"
#include <cmath>
#include <limits>

namespace {
using namespace calibrationmath;

class CalibrationMathTest : public StationTest {};

TEST_F(CalibrationMathTest, CellsFollowTheLocaleAndReadBackUnderEither) {
    struct Case {
        float level;
        const char* gb;
        const char* de;
    } cases[] = {
        {-3.5f, "-03.50", "-03,50"}, {3.5f, " 03.50", " 03,50"}, {0.0f, " 00.00", " 00,00"},
        {-12.34f, "-12.34", "-12,34"}, {99.99f, " 99.99", " 99,99"}, {-0.004f, "-00.00", "-00,00"},
    };
    for (const Case& c : cases) {
        setLocale(QLocale(QStringLiteral("en_GB")));
        EXPECT_EQ(encodeCell(c.level), QString::fromLatin1(c.gb)) << c.level;
        EXPECT_NEAR(decodeCell(QString::fromLatin1(c.de)), c.level, 0.005) << c.de;
        setLocale(QLocale(QStringLiteral("de_DE")));
        EXPECT_EQ(encodeCell(c.level), QString::fromLatin1(c.de)) << c.level;
        EXPECT_NEAR(decodeCell(QString::fromLatin1(c.gb)), c.level, 0.005) << c.gb;
    }
    EXPECT_THROW(decodeCell(QStringLiteral("  ab  ")), VbError);
    EXPECT_THROW(decodeCell(QString()), VbError);
}

TEST_F(CalibrationMathTest, AFullCurveRoundTripsThroughItsFourFields) {
    for (const char* name : {"en_GB", "de_DE"}) {
        setLocale(QLocale(QString::fromLatin1(name)));
        std::vector<float> curve(101, 0.0f);
        for (int p = 1; p <= 100; ++p) curve[p] = -30.0f + 0.37f * p;
        std::vector<float> back(101, 7.0f);
        for (int q = 1; q <= kFields; ++q) {
            const QString field = encodeField(curve, q);
            EXPECT_EQ(field.size(), 150) << name << q;
            decodeField(field, q, back);
        }
        EXPECT_EQ(back[0], 7.0f);
        for (int p = 1; p <= 100; ++p) EXPECT_NEAR(back[p], curve[p], 0.005) << name << " point " << p;
    }
}

TEST_F(CalibrationMathTest, AWildValueIsClampedAndLeavesTheOtherCellsInPlace) {
    setLocale(QLocale(QStringLiteral("en_GB")));
    std::vector<float> curve(101, -1.0f);
    curve[3] = 150.0f;
    curve[4] = -250.0f;
    curve[5] = std::numeric_limits<float>::quiet_NaN();
    curve[6] = 99.996f;   // rounds past the cell's width without the clamp
    const QString field = encodeField(curve, 1);
    ASSERT_EQ(field.size(), 150);
    EXPECT_EQ(field.mid(12, 24), QStringLiteral(" 99.99-99.99-99.99 99.99"));
    std::vector<float> back(101, 0.0f);
    decodeField(field, 1, back);
    EXPECT_FLOAT_EQ(back[2], -1.0f);
    EXPECT_FLOAT_EQ(back[7], -1.0f);
    EXPECT_FLOAT_EQ(back[25], -1.0f);
}
}   // namespace
