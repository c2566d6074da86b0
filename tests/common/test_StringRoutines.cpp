#include "common/modFileName.h"
#include "common/modMsgBox.h"
#include "common/modStringEncryptDecrypt.h"
#include "common/modStringParse.h"
#include "common/modStringTextWidthPad.h"
#include "platform/vb/Strings.h"
#include "tests/support/StationTest.h"

namespace {
class StringRoutines : public StationTest {};

// A measuring object with fixed character widths, as a window's font would give.
class FakeMeasure : public TextMeasure {
public:
    explicit FakeMeasure(double iCharWidth, double iBlankWidth) : mChar(iCharWidth), mBlank(iBlankWidth) {}
    double TextWidth(const QString& iText) const override {
        double w = 0;
        for (QChar c : iText) w += c == QLatin1Char(' ') ? mBlank : mChar;
        return w;
    }

private:
    double mChar, mBlank;
};
}

TEST_F(StringRoutines, ParseWalksFieldsAndMarksTheEnd) {
    bool err = false;
    int16_t pos = 1;
    EXPECT_EQ(gsStringParse("65 66", " ", pos, err), "65");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(gsStringParse("65 66", " ", pos, err), "");   // no blank follows the last field
    EXPECT_EQ(pos, 4);
    pos = 6;
    EXPECT_EQ(gsStringParse("65 66", " ", pos, err), Chr(0));
    EXPECT_EQ(pos, 6);
    pos = -3;   // below 1 starts at the beginning
    EXPECT_EQ(gsStringParse("65 66", " ", pos, err), "65");
    EXPECT_EQ(pos, 4);

    // A CR LF pair is stepped over whole; lines come out one by one.
    pos = 1;
    const QString lines = QStringLiteral("one\r\ntwo\r\n");
    EXPECT_EQ(gsStringParse(lines, "\r\n", pos, err), "one");
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(gsStringParse(lines, "\r\n", pos, err), "two");
    EXPECT_EQ(pos, 11);
    EXPECT_EQ(gsStringParse(lines, "\r\n", pos, err), Chr(0));

    // Delimiters are tried in the order given, not by where they occur.
    pos = 1;
    EXPECT_EQ(gsStringParse("a,b;c", ";,", pos, err), "a,b");
    EXPECT_EQ(pos, 6);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(StringRoutines, ScrambleRoundTripsAndRefusesControlCodes) {
    bool err = false;
    const QString password = QStringLiteral("Secret-Pw 42 ~é");
    const QString scrambled = gsStringEncryptDecrypt(password, err);
    EXPECT_NE(scrambled, password);
    EXPECT_EQ(gsStringEncryptDecrypt(scrambled, err), password);
    EXPECT_TRUE(boxes().isEmpty());

    // Code 141 would turn into a carriage return.
    answer({vbOK});
    EXPECT_EQ(gsStringEncryptDecrypt(QStringLiteral("ab") + Chr(141), err), "");
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Invalid character ASCII(13) in input string!");
    EXPECT_EQ(boxes()[0].title, "modStringEncryptDecrypt.gsStringEncryptDecrypt");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_FALSE(err);
}

TEST_F(StringRoutines, TextWidthPadAppendsBlanksUntilWideEnough) {
    bool err = false;
    const FakeMeasure measure(100, 40);
    EXPECT_EQ(gsStringTextWidthPad(measure, "ab", 250, err), "ab  ");   // 200, 240, 280
    EXPECT_EQ(gsStringTextWidthPad(measure, "ab", 200, err), "ab");
    // A font whose blank has no width must not hang the caller.
    const FakeMeasure noBlank(100, 0);
    EXPECT_EQ(gsStringTextWidthPad(noBlank, "ab", 500, err), "ab ");
    EXPECT_FALSE(err);
}

TEST_F(StringRoutines, FileSpecSplitsAndCompresses) {
    bool err = false;
    EXPECT_EQ(gsFileSpecPath("C:\\Vexo\\Target\\flat.txt", err), "C:\\Vexo\\Target\\");
    EXPECT_EQ(gsFileSpecFile("C:\\Vexo\\Target\\flat.txt", err), "flat.txt");
    EXPECT_EQ(gsFileSpecFile("flat.txt", err), "flat.txt");
    EXPECT_EQ(gsFileSpecPath("/home/op/flat.txt", err), "/home/op/");
    EXPECT_EQ(gsFileSpecFile("/home/op/flat.txt", err), "flat.txt");

    const QString twenty = QStringLiteral("C:\\Vexo\\tgts\\abc.txt");
    ASSERT_EQ(twenty.size(), 20);
    EXPECT_EQ(gsFileSpecCompress(twenty, 28, err), twenty);

    const QString sixty = QStringLiteral("C:\\") + QString(46, QLatin1Char('d')) + QStringLiteral("\\target.crv");
    ASSERT_EQ(sixty.size(), 60);
    EXPECT_EQ(gsFileSpecCompress(sixty, 28, err), "...\\target.crv");

    // Dropping the drive is enough (29 characters, 27 without it).
    EXPECT_EQ(gsFileSpecCompress(QStringLiteral("D:\\Vexo\\Targets\\flat_2600.txt"), 28, err),
              "\\Vexo\\Targets\\flat_2600.txt");
    // A file name too long for "...\" stands alone.
    const QString name = QString(25, QLatin1Char('n'));
    EXPECT_EQ(gsFileSpecCompress(QStringLiteral("C:\\Vexo\\Targets\\") + name, 28, err), name);
    EXPECT_EQ(gsFileSpecCompress(QStringLiteral("/home/operator/vexo/targets/flat.txt"), 28, err), ".../flat.txt");
    EXPECT_FALSE(err);
}

TEST_F(StringRoutines, ReadyMadeMessageBoxes) {
    bool err = false;
    gMsgBoxNotYet("Export", err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Available soon but, regrettably, not yet");
    EXPECT_EQ(boxes()[0].title, "Export");
    EXPECT_EQ(boxes()[0].icon, 0);
    EXPECT_EQ(boxes()[0].answers, QList<int>{vbOK});

    answer({vbYes, vbNo});
    EXPECT_TRUE(gbMsgBoxYesNo("Delete the log?", "Log", err));
    EXPECT_FALSE(gbMsgBoxYesNo("Delete the log?", "Log", err));
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_EQ(boxes()[1].prompt, "Delete the log?");
    EXPECT_EQ(boxes()[1].title, "Log ... ");
    EXPECT_EQ(boxes()[1].icon, vbQuestion);
    EXPECT_EQ(boxes()[1].answers, (QList<int>{vbYes, vbNo}));
    EXPECT_FALSE(err);
}
