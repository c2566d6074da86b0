// Target curve files as an engineer writes them: read, extended to the sweep
// range on straight lines in linear hertz, and the files refused with both
// arrays left empty; numbers with "." in any locale.
#include "audio/modFileResponseCurveRead.h"
#include "tests/support/StationTest.h"

namespace {
class CurveFile : public StationTest {
protected:
    int16_t read(const QByteArray& iText, float iLo = 45, float iHi = 18000) {
        writeHomeFile("Target.Dat", iText);
        return gFileResponseCurveRead(homeFile("Target.Dat"), iLo, iHi, freq, level, error);
    }
    QString suffix() const { return " in file '" + homeFile("Target.Dat") + "'"; }
    void expectEmpty() {
        EXPECT_TRUE(error);
        EXPECT_EQ(freq, std::vector<float>(1, 0.0f));
        EXPECT_EQ(level, std::vector<float>(1, 0.0f));
    }
    std::vector<float> freq{0, 1, 2};
    std::vector<float> level{0, 1, 2};
    bool error = false;
};
}

TEST_F(CurveFile, ThreePointsAreExtendedToTheSweepRange) {
    EXPECT_EQ(read(".Target for model A\r\n.a comment\r\n100,0\r\n\r\n1000,-1\r\n10000,-3\r\n"), 0);
    ASSERT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    ASSERT_EQ(freq.size(), 6u);
    ASSERT_EQ(level.size(), 6u);
    const float f[] = {45, 100, 1000, 10000, 18000};
    const float l[] = {0.0611f, 0, -1, -3, -4.7778f};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(freq[i + 1], f[i]);
        EXPECT_NEAR(level[i + 1], l[i], 0.0001) << f[i] << " Hz";
    }
    // A curve that already reaches the range gains nothing.
    read("45,1\n18000,2\n20000,3\n");
    ASSERT_FALSE(error);
    EXPECT_EQ(freq, (std::vector<float>{0, 45, 18000, 20000}));
    EXPECT_EQ(level, (std::vector<float>{0, 1, 2, 3}));
}

TEST_F(CurveFile, FilesThatAreNoCurveLeaveBothArraysEmpty) {
    answer({vbOK});
    read(".Target for model A\r\n100,0\r\n100,-1\r\n");
    expectEmpty();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "100 <= 100" + suffix() + " - Data invalid");
    EXPECT_EQ(boxes()[0].title, "Target for model A");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);

    error = false;
    answer({vbOK});
    read(".only a comment\r\n.another\r\n1000,-2\r\n.and one more\r\n");
    expectEmpty();
    EXPECT_EQ(boxes()[1].prompt, "Only one point" + suffix());

    error = false;
    answer({vbOK});
    gFileResponseCurveRead(homeFile("Missing.Dat"), 45, 18000, freq, level, error);
    expectEmpty();
    EXPECT_EQ(boxes()[2].prompt, "No data in file '" + homeFile("Missing.Dat") + "'");
    EXPECT_EQ(boxes()[2].title, "modFileResponseCurveRead.gFileResponseCurveRead");

    // A line without a comma, or with no number, is a run-time error for the handler.
    for (const char* text : {"100,0\n1000\n", "100,0\n1000,loud\n", "\n100,0\n1000,-1\n"}) {
        error = false;
        clearBoxes();
        answer({vbAbort, vbNo});
        read(text);
        expectEmpty();
        ASSERT_FALSE(boxes().isEmpty()) << text;
        EXPECT_TRUE(boxes()[0].prompt.contains("Type mismatch")) << text;
    }

    // A first frequency of zero or below (it has no logarithm): refused, naming the file.
    for (const char* text : {".T\r\n0,-3\r\n100,0\r\n", ".T\r\n-50,-3\r\n100,0\r\n"}) {
        error = false;
        clearBoxes();
        answer({vbOK});
        read(text);
        expectEmpty();
        ASSERT_EQ(boxes().size(), 1) << text;
        EXPECT_TRUE(boxes()[0].prompt.endsWith(" <= 0" + suffix() + " - Data invalid")) << text;
    }
}

TEST_F(CurveFile, AFullStopIsTheDecimalPointInEveryLocale) {
    // Where the comma is the decimal character, "." reads as a decimal point
    // all the same (not as the group separator that would make -2.5 into -25).
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    read("100,-2.5\n1000,1.25\n");
    ASSERT_FALSE(error);
    EXPECT_FLOAT_EQ(level[2], -2.5f);
    EXPECT_FLOAT_EQ(level[3], 1.25f);
    read("100,-2.500\n1000,0\n");
    EXPECT_FLOAT_EQ(level[2], -2.5f);

    // A locale whose decimal character is neither: both are read.
    const QLocale arabic(QLocale::Arabic, QLocale::Egypt);
    const QString dec = arabic.decimalPoint();
    ASSERT_NE(dec, ".");
    ASSERT_NE(dec, ",");
    setLocale(arabic);
    read(("100,-2" + dec + "5\n1000,1.25\n").toUtf8());
    ASSERT_FALSE(error);
    EXPECT_FLOAT_EQ(level[2], -2.5f);
    EXPECT_FLOAT_EQ(level[3], 1.25f);
}
