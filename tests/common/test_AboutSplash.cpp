// The splash and the About window as the user meets them: the version texts,
// closing the splash, the bug-report consent, the bulletin offer counted over
// closings, the reports e-mailed to the maker and the system-information tool
// named by the machine's settings.
#include "common/frmAbout.h"
#include "common/frmMultiLineText.h"
#include "common/frmSplash.h"
#include "platform/os/Settings.h"
#include "platform/ui/FormRegistry.h"
#include "tests/support/DialogTest.h"
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

namespace {
class AboutTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        qputenv("VEXO_MACHINE_SETTINGS", homeFile(QStringLiteral("machine.ini")).toLocal8Bit());
        // A capture script stands in for the system's mail program; one message after another.
        writeHomeFile(QStringLiteral("sendmail"),
                      QStringLiteral("#!/bin/sh\ncat >> '%1'\necho '=====' >> '%1'\n").arg(mailFile()).toUtf8());
        QFile::setPermissions(homeFile(QStringLiteral("sendmail")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("VEXO_SENDMAIL", homeFile(QStringLiteral("sendmail")).toLocal8Bit());
        gsProductNameVersion = QStringLiteral("Vexo v1.000");
    }
    void TearDown() override {
        endOfScript();
        unload<frmAbout>();
        unload<frmSplash>();
        qunsetenv("VEXO_MACHINE_SETTINGS");
        qunsetenv("VEXO_SENDMAIL");
        DialogTest::TearDown();
    }
    QString mailFile() const { return homeFile(QStringLiteral("mail.out")); }
    QList<QByteArray> mails() const {
        QList<QByteArray> out;
        const QByteArray all = readHomeFile(QStringLiteral("mail.out"));
        for (qsizetype from = 0, end; (end = all.indexOf("=====\n", from)) >= 0; from = end + 6)
            out << all.mid(from, end - from);
        return out;
    }
    // Opens the About window from a Help menu and closes it with its close box;
    // iAnswer answers the box its closing or its button may ask.
    void openAndClose(const std::function<void(frmAbout&)>& iMeanwhile = {}, int iAnswer = 0) {
        expectModal<frmAbout>([&](frmAbout& f) {
            if (iMeanwhile) iMeanwhile(f);
            f.close();
        });
        if (iAnswer != 0) answer({iAnswer});
        form<frmAbout>().Show(vbModal);
        EXPECT_FALSE(isLoaded<frmAbout>());
        unload<frmAbout>();
    }
    frmAbout& showAbout() {
        frmAbout& f = form<frmAbout>();
        EXPECT_TRUE(drive::showActive(f));
        return f;
    }
    QString flimboxCount() const { return userSetting(QStringLiteral("nAboutFlimboxCount")); }
    // A tool that leaves a mark when it runs.
    QString tool(const QString& iName, const QString& iMark) const {
        writeHomeFile(iName, QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(homeFile(iMark)).toUtf8());
        QFile::setPermissions(homeFile(iName), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return homeFile(iName);
    }
};

const QString kFlimboxQuestion = QStringLiteral(
    "Would you like to subscribe to Pelmo's free Flimbox?\r\n\r\nIt's sent by email about once a month.");

TEST_F(AboutTest, SplashComposesTheVersionTextAndIsPaintedAtOnce) {
    gsProductNameVersion.clear();
    frmSplash& s = form<frmSplash>();
    EXPECT_EQ(gsProductNameVersion, "Vexo v1.000");
    EXPECT_EQ(s.lblProductName->Caption(), "Vexo v1.000");
    EXPECT_EQ(s.lblCopyright->Caption(), "(c) 2026 Pelmo. All rights reserved.");
    EXPECT_EQ(s.lblComments->Caption(), "Production-line loudspeaker test station");
    EXPECT_EQ(s.lblWarning->Caption(),
              "Warning: This programme may be harmful to management consultants and accountants");
    EXPECT_EQ(s.ScaleWidth(), 5400);
    EXPECT_EQ(s.ScaleHeight(), 3030);
    // On the screen before anything lets window events run: start-up goes on busy.
    ASSERT_TRUE(s.isVisible());
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(s.winId()).toImage();
    const QColor background = s.palette().color(QPalette::Window);
    int ink = 0;
    for (int y = 0; y < shown.height(); y += 2)
        for (int x = 0; x < shown.width(); x += 2) ink += shown.pixelColor(x, y) != background;
    EXPECT_GT(ink, 100);
}

TEST_F(AboutTest, SplashClosesOnACharacterKeyButNotOnAClick) {
    frmSplash& s = form<frmSplash>();
    ASSERT_TRUE(drive::showActive(s));
    drive::click(s.lblWarning);
    drive::click(&s, QPoint(5, 5));
    drive::key(Qt::Key_Shift);
    drive::key(Qt::Key_F1);
    EXPECT_TRUE(isLoaded<frmSplash>());
    EXPECT_TRUE(s.isVisible());
    drive::type(QStringLiteral("q"));
    EXPECT_FALSE(isLoaded<frmSplash>());
    EXPECT_FALSE(s.isVisible());
}

TEST_F(AboutTest, AboutShowsTheVersionAndTheBugReportConsentWhichTheBoxWrites) {
    frmAbout& f = showAbout();
    EXPECT_EQ(f.Caption(), "About Vexo");
    EXPECT_EQ(f.lblNameVersion->Caption(), "Vexo v1.000");
    EXPECT_EQ(f.lblCopyright->Caption(), "(c) 2026 Pelmo. All rights reserved.");
    EXPECT_EQ(f.lblEMail->Caption(), "vexo@pelmo.example");
    // No setting: ticked.
    EXPECT_EQ(f.chkSendBugReports->Value(), vbChecked);
    drive::click(f.chkSendBugReports);
    EXPECT_EQ(userSetting(QStringLiteral("SendBugReports")), "0");
    f.close();
    unload<frmAbout>();

    frmAbout& again = showAbout();
    EXPECT_EQ(again.chkSendBugReports->Value(), vbUnchecked);
    drive::click(again.chkSendBugReports);
    EXPECT_EQ(userSetting(QStringLiteral("SendBugReports")), "1");
}

// The window closes as any window does, by its close box, and by Escape; either
// is a closing that the bulletin offer counts.
TEST_F(AboutTest, EscapeClosesTheWindowAsItsCloseBoxDoes) {
    bool closeBox = false, open = false, closed = false;
    expectModal<frmAbout>([&](frmAbout& f) {
        closeBox = f.windowFlags().testFlag(Qt::WindowCloseButtonHint) || !f.windowFlags().testFlag(Qt::CustomizeWindowHint);
        open = f.isVisible();
        drive::key(Qt::Key_Escape);
        closed = !isLoaded<frmAbout>() && !f.isVisible();
    });
    form<frmAbout>().Show(vbModal);
    EXPECT_TRUE(closeBox);
    EXPECT_TRUE(open);
    EXPECT_TRUE(closed);
    EXPECT_EQ(flimboxCount(), "1");
    unload<frmAbout>();
}

TEST_F(AboutTest, TheFifthClosingOffersTheBulletinOnceAndLaterClosingsNever) {
    for (int closing = 1; closing <= 4; ++closing) {
        openAndClose();
        EXPECT_EQ(flimboxCount(), QString::number(closing));
    }
    EXPECT_TRUE(boxes().isEmpty());
    openAndClose({}, vbNo);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, kFlimboxQuestion);
    EXPECT_EQ(boxes()[0].title, "Flimbox");
    EXPECT_EQ(boxes()[0].answers, (QList<int>{vbYes, vbNo}));
    EXPECT_EQ(flimboxCount(), "6");
    openAndClose();
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_EQ(flimboxCount(), "6");
    EXPECT_TRUE(mails().isEmpty());
}

TEST_F(AboutTest, YesToTheBulletinSubscribesAndStopsTheCount) {
    // Asked by its button on the first opening: Yes subscribes.
    openAndClose([](frmAbout& f) { drive::click(f.cmdFlimbox); }, vbYes);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(flimboxCount(), "6");
    ASSERT_EQ(mails().size(), 1);
    EXPECT_TRUE(mails()[0].contains("To: vexo-flimbox@pelmo.example\n"));
    EXPECT_TRUE(mails()[0].contains("Subject: Flimbox List Vexo v1.000\n"));
    EXPECT_TRUE(mails()[0].contains("\nPlease add me to the Pelmo Flimbox list.  Thank you."));
    for (int closing = 2; closing <= 6; ++closing) openAndClose();
    EXPECT_EQ(boxes().size(), 1);

    // Yes to the question of the fifth closing subscribes as well.
    saveUserSetting(QStringLiteral("nAboutFlimboxCount"), QStringLiteral("4"));
    openAndClose({}, vbYes);
    EXPECT_EQ(boxes().size(), 2);
    EXPECT_EQ(mails().size(), 2);
    EXPECT_EQ(flimboxCount(), "6");
}

TEST_F(AboutTest, SoundBoardReportSendsTheTextTheSoundCheckStored) {
    // The sound check writes the report at start-up, before any About window exists.
    gsAboutWaveMixerInfoLong = QStringLiteral("Wave Out: Jig (0)\r\nInfo on Mixer 0 follows\r\n\tMaster Volume 40\r\n");
    ASSERT_FALSE(isLoaded<frmAbout>());
    frmAbout& f = showAbout();
    drive::click(f.cmdEMailSoundboardReport);
    ASSERT_EQ(mails().size(), 1);
    EXPECT_TRUE(mails()[0].contains("To: vexo-soundboard@pelmo.example\n"));
    EXPECT_TRUE(mails()[0].contains("Subject: Soundboard Report Vexo v1.000\n"));
    EXPECT_TRUE(mails()[0].contains("\nWave Out: Jig (0)\nInfo on Mixer 0 follows\n\tMaster Volume 40\n"));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(AboutTest, EMailLinkSendsTheTypedMessageAndNothingWhenItIsEmpty) {
    frmAbout& f = showAbout();
    QString caption;
    QString typed = QStringLiteral("The station in bay 3 beeps twice.");
    expectModal<frmMultiLineText>([&](frmMultiLineText& m) {
        caption = m.Caption();
        drive::type(typed);
        drive::click(m.cmdOK);
    });
    drive::click(f.lblEMail);
    EXPECT_EQ(caption, "EMail to Pelmo");
    ASSERT_EQ(mails().size(), 1);
    EXPECT_TRUE(mails()[0].contains("To: vexo@pelmo.example\n"));
    EXPECT_TRUE(mails()[0].contains("\nThe station in bay 3 beeps twice."));

    typed = QStringLiteral("   ");
    expectModal<frmMultiLineText>([&](frmMultiLineText& m) {
        drive::type(typed);
        drive::click(m.cmdOK);
    });
    drive::click(f.lblEMail);
    EXPECT_EQ(mails().size(), 1);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(AboutTest, SystemInfoRunsTheToolTheMachineSettingsNameInTheirOrder) {
    frmAbout& f = showAbout();
    const auto unavailable = [&] {
        clearBoxes();
        answer({vbOK});
        drive::click(f.cmdSysInfo);
        return boxes().size() == 1 && boxes()[0].prompt == "System Information Is Unavailable" &&
               boxes()[0].icon == vbExclamation && boxes()[0].title == "Vexo v1.000";
    };
    // No machine settings at all.
    EXPECT_TRUE(unavailable());

    // The tool's own path comes first, even with a tools folder named too.
    const QString pathTool = tool(QStringLiteral("hardinfo"), QStringLiteral("ran-path"));
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("tools")));
    tool(QStringLiteral("tools/MSINFO32.EXE"), QStringLiteral("ran-folder"));
    writeHomeFile(QStringLiteral("machine.ini"),
                  QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=%1\n"
                                 "[SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=%2\n")
                      .arg(pathTool, homeFile(QStringLiteral("tools")))
                      .toUtf8());
    clearBoxes();
    drive::click(f.cmdSysInfo);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(homeFile(QStringLiteral("ran-path"))), 20000);
    EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("ran-folder"))));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(f.isVisible());

    // An empty path, or none, leaves it to the tool in the folder (here quoted, with a
    // trailing backslash).
    for (const QString& first : {QStringLiteral("PATH=\n"), QStringLiteral("")}) {
        QFile::remove(homeFile(QStringLiteral("ran-folder")));
        writeHomeFile(QStringLiteral("machine.ini"),
                      (QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n") + first +
                       QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=\"%1\\\"\n")
                           .arg(homeFile(QStringLiteral("tools"))))
                          .toUtf8());
        clearBoxes();
        drive::click(f.cmdSysInfo);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(homeFile(QStringLiteral("ran-folder"))), 20000);
        EXPECT_TRUE(boxes().isEmpty());
    }

    // The folder without the tool in it.
    QFile::remove(homeFile(QStringLiteral("tools/MSINFO32.EXE")));
    EXPECT_TRUE(unavailable());
}
}
