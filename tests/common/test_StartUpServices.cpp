// Start-up texts, the region check, numbers stored as text, help, waiting and
// the clock label.
#include "common/modGeneral.h"
#include "common/modTimeDate.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/os/Shell.h"
#include "platform/vb/DateTime.h"
#include "platform/ui/TimerControl.h"
#include "tests/support/StationTest.h"
#include <QLabel>

namespace {
using StartUpTest = StationTest;

TEST_F(StartUpTest, RegionCheckFirstRunChangedRegionAndSaveAtShutdown) {
    bool err = false;
    gGStartUpSetStuff(err);
    EXPECT_FALSE(err);
    EXPECT_FALSE(gbUserRegionChanged);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(gsUserRegionCode, "GB");
    EXPECT_EQ(gsMainCaption, "Vexo v1.000");
    EXPECT_TRUE(gsOSVersion.startsWith("Linux v")) << qPrintable(gsOSVersion);
    EXPECT_TRUE(gsOSVersion.contains(" Build ")) << qPrintable(gsOSVersion);

    gGetLocaleInfoSaveUserRegion(err);
    EXPECT_EQ(userSetting(QStringLiteral("UserRegion")), "GB");

    setLocale(QLocale(QLocale::German, QLocale::Germany));
    answer({vbOK});
    gGStartUpSetStuff(err);
    EXPECT_TRUE(gbUserRegionChanged);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Your region setting has changed\r\n\r\nResetting start up defaults");
    EXPECT_EQ(boxes()[0].title, "Vexo v1.000");
    gGetLocaleInfoSaveUserRegion(err);
    EXPECT_EQ(userSetting(QStringLiteral("UserRegion")), "DE");
    gGStartUpSetStuff(err);
    EXPECT_FALSE(gbUserRegionChanged);
}

TEST_F(StartUpTest, NumbersStoredAsTextFollowTheLocalesDecimalCharacter) {
    bool err = false;
    EXPECT_EQ(gsGCheckUpdateDecimalChar(QStringLiteral("1,25"), err), "1.25");
    saveUserSetting(QStringLiteral("fVOutSoundboard"), QStringLiteral("1,98"));
    EXPECT_EQ(gsGGetSettingValidNumber(QStringLiteral("fVOutSoundboard"), 1.0f, err), "1.98");
    saveUserSetting(QStringLiteral("junk"), QStringLiteral("abc"));
    EXPECT_EQ(gsGGetSettingValidNumber(QStringLiteral("junk"), 0.38f, err), "0.38");
    EXPECT_EQ(gsGGetSettingValidNumber(QStringLiteral("missing"), 2.5f, err), "2.5");

    setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(gsGetLocaleInfoUserDecimalChar(err), ",");
    EXPECT_EQ(gsGCheckUpdateDecimalChar(QStringLiteral("1.25"), err), "1,25");
    saveUserSetting(QStringLiteral("fVOutAmp"), QStringLiteral("40.5"));
    EXPECT_EQ(gsGGetSettingValidNumber(QStringLiteral("fVOutAmp"), 1.0f, err), "40,5");
    EXPECT_EQ(gsGGetSettingValidNumber(QStringLiteral("junk"), 0.38f, err), "0,38");
    EXPECT_TRUE(gbGTextValidSingle(QStringLiteral("0,5"), err));
    EXPECT_FALSE(gbGTextValidSingle(QStringLiteral("x1"), err));
    EXPECT_FALSE(gbGTextValidSingle(QString(), err));
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(StartUpTest, TrimmingAndCharacterCodes) {
    bool err = false;
    const QString messy = QString(QChar(0)) + QChar(0) + QStringLiteral("  ab ") + QChar(0);
    EXPECT_EQ(gsGTrim(messy, err), "ab");
    EXPECT_FALSE(gbGLenTrim(QString(QChar(0)) + QStringLiteral("   "), err));
    EXPECT_TRUE(gbGLenTrim(QStringLiteral(" x "), err));
    EXPECT_EQ(gsGStringLeftStrip(QStringLiteral("000120"), QStringLiteral("0"), err), "120");
    EXPECT_EQ(gnGAscii(QString(), err), 0);
    EXPECT_EQ(gnGAscii(QStringLiteral("A"), err), 65);
    EXPECT_EQ(gnGAscii(QString::fromUtf8("\xe2\x82\xac"), err), 128);
}

TEST_F(StartUpTest, HelpOpensTheHelpFileOrReportsTheShellsRefusal) {
    QUrl opened;
    setShellOpenHandler([&](const QUrl& u) { opened = u; return true; });
    bool err = false;
    answer({vbIgnore});
    gGShowHelp(0, err);   // no Vexo.chm yet
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Source: modGeneral.gGShowHelp.10\r\n\r\nError 2 has occurred with ShellExecute");
    EXPECT_EQ(boxes()[0].defaultAnswer, vbIgnore);

    writeHomeFile(QStringLiteral("Vexo.chm"), "help");
    gGShowHelp(0, err);
    EXPECT_EQ(opened.toLocalFile(), homeFile(QStringLiteral("Vexo.chm")));
    EXPECT_EQ(boxes().size(), 1);

    setShellOpenHandler([](const QUrl&) { return false; });
    answer({vbAbort, vbNo});
    gGShowHelp(0, err);
    EXPECT_TRUE(err);
    EXPECT_TRUE(boxes()[1].prompt.endsWith("Error 31 has occurred with ShellExecute"));
    setShellOpenHandler(nullptr);
}

TEST_F(StartUpTest, PauseWaitsOnTheStationClock) {
    bool err = false;
    const int64_t t0 = vclock::ticks();
    gGPause(1500, err);
    EXPECT_EQ(vclock::ticks() - t0, 1500);
    EXPECT_FALSE(err);
}

TEST_F(StartUpTest, ClockLabelTurnsOverOnTheWholeMinute) {
    setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 58, 46, 123)));
    QLabel label;
    QWidget host;
    TimerControl timer(&host, QStringLiteral("tmrClock"));
    bool err = false;
    gTimeDateShow(&label, &timer, err);
    EXPECT_FALSE(err);
    EXPECT_EQ(timer.interval(), 13877);
    EXPECT_TRUE(timer.running());
    EXPECT_EQ(label.text(), "10:58 Mon 07-Dec-26");

    setNow(QDateTime(QDate(2026, 12, 8), QTime(11, 0, 0)));
    gTimeDateShow(&label, &timer, err);
    EXPECT_EQ(timer.interval(), 60000);
    EXPECT_EQ(label.text(), "11:00 Tue 08-Dec-26");
}

TEST_F(StartUpTest, MinutesAndSecondsTexts) {
    bool err = false;
    const double t = (2 * 60 + 5.5) / 86400.0;
    EXPECT_EQ(gsTimeDateMinsSecs(t, QStringLiteral("mm"), 1, err), "02:05.5");
    EXPECT_EQ(gsTimeDateMinsSecs(t, QStringLiteral("mm"), 0, err), "02:06");
    const double clock = (10 * 3600 + 58 * 60 + 46.123) / 86400.0;
    const QString s = gsTimeDateMinsSecs(clock, QStringLiteral("00"), 3, err);
    EXPECT_TRUE(s.startsWith("00:46.12")) << qPrintable(s);
    // Minutes and seconds come from one rounded value.
    EXPECT_EQ(gsTimeDateMinsSecs((2 * 60 + 59.7) / 86400.0, QStringLiteral("mm"), 1, err), "02:59.7");
    EXPECT_EQ(gsTimeDateMinsSecs((2 * 60 + 59.97) / 86400.0, QStringLiteral("mm"), 1, err), "03:00.0");
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(gsTimeDateMinsSecs(t, QStringLiteral("mm"), 1, err), "02:05,5");
    EXPECT_FALSE(err);
}

TEST_F(StartUpTest, CalibrationDateText) {
    bool err = false;
    const QDateTime when(QDate(2026, 3, 9), QTime(7, 5, 0));
    EXPECT_EQ(gsTimeDateShortTimeMediumDate(vbDateFromDateTime(when), err), "07:05 09-Mar-26");
}
}
