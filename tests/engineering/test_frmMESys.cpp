// The system settings window as an engineer uses it: editing, saving to the
// settings file and the per-user calibration, calibrating through the jig, and
// the closing question.
#include "audio/modVOut.h"
#include "common/frmInputNumber.h"
#include "common/modVarSystemParams.h"
#include "engineering/frmMESys.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Settings.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"
#include "tests/support/DialogTest.h"
#include "tests/support/MainWindowRig.h"
#include <QDir>
#include <QFile>

namespace {
class SysWindowTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        addSequence(QStringLiteral("S1"), {QStringLiteral("Pol")});
        addSequence(QStringLiteral("S2"), {QStringLiteral("Pol")});
        addTest(QStringLiteral("Pol"), QStringLiteral("Polarity"));
        exec(QStringLiteral("UPDATE vexo_seq SET Last_Cali = 45000"));
        installJig();
    }
    void TearDown() override {
        endOfScript();
        answer({vbNo});
        unload<frmMESys>();
        MainWindowRig::TearDown();
    }
    // The main window reads the settings as it starts; iSettings then stands
    // for what a station has stored.
    frmMESys& open(const std::function<void()>& iSettings = {}) {
        start();
        if (iSettings) iSettings();
        clearBoxes();
        frmMESys& s = form<frmMESys>();
        s.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&s));
        return s;
    }
    static void press(Form& iWindow, Qt::Key iKey, Qt::KeyboardModifiers iMods = Qt::ControlModifier) {
        iWindow.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&iWindow));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &iWindow, iKey, iMods);
    }
    static void exec(const QString& iSql) { OpenDatabase(QStringLiteral("Vexo_Seq.mdb")).Execute(iSql); }
    static QList<double> lastCali() {
        QList<double> out;
        auto rs = OpenDatabase(QStringLiteral("Vexo_Seq.mdb")).OpenRecordset(QStringLiteral("vexo_seq"));
        for (; !rs->EOF_(); rs->MoveNext()) out << CDate(rs->field(QStringLiteral("Last_Cali")));
        return out;
    }
    QByteArray settingsFile() const { return readHomeFile(QStringLiteral("Vexo_Sys.txt")); }
    static QString userSetting(const QString& iKey) { return GetSetting(QStringLiteral("Pelmo"), appinfo::title(), iKey); }
    QStringList prompts() const {
        QStringList out;
        for (const MsgBoxCall& b : boxes()) out << b.prompt;
        return out;
    }
};

TEST_F(SysWindowTest, ClosingAsksOnlyAfterAnEditAndAPortChoiceAloneIsNoEdit) {
    frmMESys& s = open();
    EXPECT_EQ(s.Caption(), "System Maintenance");
    EXPECT_FALSE(form<frmVexo>().cmdSupervisor->Enabled());
    EXPECT_FALSE(s.mnuFileReset->Enabled());
    const QByteArray before = settingsFile();
    s.mnuFileExit->fireClick();
    EXPECT_FALSE(isLoaded<frmMESys>());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(form<frmVexo>().cmdSupervisor->Enabled());

    // Ticking and unticking is an edit: closing asks; No leaves the file as it was.
    frmMESys& s2 = open();
    drive::click(s2.chkAudioPrompts);
    drive::click(s2.chkAudioPrompts);
    EXPECT_TRUE(s2.mnuFileReset->Enabled());
    answer({vbNo});
    s2.mnuFileExit->fireClick();
    EXPECT_EQ(prompts(), QStringList{"Save the changes to the system parameters?"});
    EXPECT_EQ(boxes()[0].title, "System Parameters");
    EXPECT_FALSE(isLoaded<frmMESys>());

    // Another port only: no question, nothing saved.
    clearBoxes();
    frmMESys& s3 = open();
    s3.cboDigPort->SetFocus();
    drive::key(Qt::Key_End);
    ASSERT_EQ(s3.cboDigPort->Text(), "2");
    s3.mnuFileExit->fireClick();
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(gnDigPort, 0);
    EXPECT_EQ(settingsFile(), before);
}

TEST_F(SysWindowTest, SaveStoresTheNameAndPasswordsScrambledAndTheLabelFollows) {
    frmMESys& s = open();
    retype(*s.txtStation, QStringLiteral("LINE 3"));
    retype(*s.txtPasswordEng, QStringLiteral("eng1"));
    EXPECT_EQ(s.txtPasswordEng->PasswordChar(), "");   // in clear while it has the focus
    retype(*s.txtPasswordSuper, QStringLiteral("sup1"));
    EXPECT_EQ(s.txtPasswordEng->PasswordChar(), "*");
    s.cboDigPort->SetFocus();
    drive::key(Qt::Key_Down);
    ASSERT_EQ(s.cboDigPort->Text(), "1");
    answer({vbOK});   // no digital board on port 1
    press(s, Qt::Key_S);

    const auto scrambled = [](const char* iText) {
        QByteArray b(iText);
        for (char& c : b) c = static_cast<char>(c ^ 0x80);
        return b;
    };
    const QByteArray want = "LINE 3\r\n" + scrambled("eng1") + "\r\n" + scrambled("sup1") +
                            "\r\nTrue\r\nTrue\r\n\r\n0\r\n0\r\n \r\n1\r\nTrue\r\n";
    EXPECT_EQ(settingsFile(), want);
    EXPECT_EQ(gsPasswordEng, "eng1");
    EXPECT_EQ(gnDigPort, 1);
    EXPECT_EQ(form<frmVexo>().lblStation->Caption(), "Station:  LINE 3");
    // The digital board is looked for on the new port; saving keeps the changed mark.
    EXPECT_TRUE(prompts().contains(QStringLiteral("Digital I/O not found on port 1"))) << prompts().join('|').toStdString();
    EXPECT_TRUE(s.mnuFileReset->Enabled());
    clearBoxes();
    answer({vbNo});
    s.mnuFileExit->fireClick();
    EXPECT_EQ(prompts(), QStringList{"Save the changes to the system parameters?"});
}

// On a full disk File > Save says so, naming the settings file and the cause:
// the file keeps its bytes and so the passwords in it, the window its edits,
// and once there is room the same Save stores them.
TEST_F(SysWindowTest, SaveOnAFullDiskKeepsTheSettingsFileAndSaysWhy) {
    frmMESys& s = open();
    retype(*s.txtStation, QStringLiteral("LINE 7"));
    retype(*s.txtPasswordEng, QStringLiteral("eng7"));
    const QByteArray before = settingsFile();
    ASSERT_FALSE(before.isEmpty());
    answer({vbAbort, vbNo});
    {
        FileSizeLimit disk(16);
        press(s, Qt::Key_S);
    }
    EXPECT_EQ(prompts(), (QStringList{"Source: modVarSystemParams.gVarSystemParamsWrite.10\r\n\r\n"
                                      "Path/File access error (Vexo_Sys.txt): File too large",
                                      "Would you like to email Pelmo a bug report?"}));
    EXPECT_EQ(settingsFile(), before);
    EXPECT_EQ(filesStartingWith(home(), QStringLiteral(".Vexo_Sys")), QStringList());
    EXPECT_TRUE(s.mnuFileReset->Enabled());
    EXPECT_EQ(s.txtStation->Text(), "LINE 7");

    clearBoxes();
    press(s, Qt::Key_S);
    EXPECT_TRUE(settingsFile().startsWith("LINE 7\r\n\xE5\xEE\xE7\xB7\r\n")) << settingsFile().toStdString();
    EXPECT_FALSE(prompts().join('|').contains(QStringLiteral("error"))) << prompts().join('|').toStdString();
}

// The drive calibration Save keeps in the per-user settings meets a full disk
// the same way: that file keeps its bytes, the box names it and the cause.
TEST_F(SysWindowTest, SaveOnAFullDiskKeepsTheUserSettingsAndSaysWhy) {
    // The choices and the calibration as a station in use has them stored.
    frmMESys& s = open([] {
        saveUserSetting(QStringLiteral("dcboOperator"), QStringLiteral("Alice"));
        saveUserSetting(QStringLiteral("dcboSeq"), QStringLiteral("S2"));
        saveUserSetting(QStringLiteral("frmMESeq.Left"), QStringLiteral("1200"));
        saveUserSetting(QStringLiteral("frmMESeq.Top"), QStringLiteral("900"));
    });
    retype(*s.txtVOutSoundboard, QStringLiteral("2"));
    press(s, Qt::Key_S);
    clearBoxes();
    retype(*s.txtVOutSoundboard, QStringLiteral("2.5"));
    const QString ini = QDir(settingsFolder()).filePath(QStringLiteral("Pelmo.ini"));
    const auto iniBytes = [&ini] {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = iniBytes();
    // Room for the station settings file, not for the per-user one.
    const qint64 room = settingsFile().size() + 64;
    ASSERT_GT(before.size(), room + 16) << before.toStdString();
    answer({vbAbort, vbNo});
    {
        FileSizeLimit disk(room);
        press(s, Qt::Key_S);
    }
    EXPECT_EQ(prompts(), (QStringList{QStringLiteral("Source: modVOut.gVOutSave.10\r\n\r\nPath/File access error: "
                                                     "the settings file '") +
                                          ini + QStringLiteral("' could not be written: File too large"),
                                      QStringLiteral("Would you like to email Pelmo a bug report?")}));
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(filesStartingWith(settingsFolder(), QStringLiteral(".Pelmo")), QStringList());

    clearBoxes();
    press(s, Qt::Key_S);
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutSoundboard")), "2.5");
}

TEST_F(SysWindowTest, CalibratingTheBoardShowsTheReadingForcesRecalibrationAndSaves) {
    frmMESys& s = open();
    ASSERT_TRUE(s.cmdVOutSoundboardCalibrate->Enabled());
    answer({vbOK});
    expectModal<frmInputNumber>([](frmInputNumber& f) {
        retype(*f.txtNumber, QStringLiteral("2.5"));
        drive::click(f.cmdOK);
    });
    drive::click(s.cmdVOutSoundboardCalibrate);
    EXPECT_EQ(s.txtVOutSoundboard->Text(), "2.5");
    EXPECT_EQ(lastCali(), (QList<double>{0.0, 0.0}));
    EXPECT_TRUE(s.mnuFileReset->Enabled());
    press(s, Qt::Key_S);
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutSoundboard")), "2.5");

    // Cancel at the meter notice changes nothing.
    exec(QStringLiteral("UPDATE vexo_seq SET Last_Cali = 45000"));
    answer({vbCancel});
    drive::click(s.cmdVOutAmpCalibrate);
    EXPECT_EQ(lastCali(), (QList<double>{45000.0, 45000.0}));
}

TEST_F(SysWindowTest, VoltagesReadInTheUsersFormAndANonNumberIsRefusedByName) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    frmMESys& s = open();
    retype(*s.txtVOutSoundboard, QStringLiteral("1,5"));
    press(s, Qt::Key_S);
    EXPECT_FLOAT_EQ(gfVOutSoundboard, 1.5f);
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutSoundboard")), "1,5");

    const QByteArray before = settingsFile();
    retype(*s.txtStation, QStringLiteral("X"));
    retype(*s.txtVOutAmp, QStringLiteral(","));
    clearBoxes();
    answer({vbOK});
    press(s, Qt::Key_S);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "The amplifier voltage ',' is not a number");
    EXPECT_EQ(boxes()[0].title, "System Parameters");
    EXPECT_EQ(settingsFile(), before);
    EXPECT_NE(gsStationName, "X");
    // Yes at closing with the refusal keeps the window open.
    answer({vbYes, vbOK});
    s.mnuFileExit->fireClick();
    EXPECT_TRUE(isLoaded<frmMESys>());
    EXPECT_EQ(prompts().last(), "The amplifier voltage ',' is not a number");
}

TEST_F(SysWindowTest, AVoltageTakesOneDecimalCharacterStepsBy10mVAndIsNotCheckedOnLeaving) {
    frmMESys& s = open();
    retype(*s.txtVOutAmp, QStringLiteral("1x.5.-"));
    EXPECT_EQ(s.txtVOutAmp->Text(), "1.5");
    drive::key(Qt::Key_Up);
    drive::key(Qt::Key_Up);
    drive::key(Qt::Key_Down);
    EXPECT_EQ(s.txtVOutAmp->Text(), "1.51");
    retype(*s.txtVOutAmp, QStringLiteral("120.5"));
    s.txtStation->SetFocus();
    EXPECT_TRUE(s.txtStation->hasFocus());
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();
    EXPECT_EQ(s.txtVOutAmp->Text(), "120.5");
}

TEST_F(SysWindowTest, APortTheListLacksIsKeptAndAPasswordTheFileCannotHoldKeepsTheWindow) {
    frmMESys& s = open([] { gnDigPort = 5; });
    EXPECT_EQ(s.cboDigPort->ListIndex(), -1);
    retype(*s.txtStation, QStringLiteral("LINE 5"));
    press(s, Qt::Key_S);
    EXPECT_EQ(gnDigPort, 5);
    EXPECT_TRUE(settingsFile().contains("\r\n5\r\n"));

    retype(*s.txtPasswordEng, QString());
    for (const QChar c : QStringLiteral("\u0160a"))
        QTest::sendKeyEvent(QTest::Click, drive::focus(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    ASSERT_EQ(s.txtPasswordEng->Text(), "\u0160a");
    answer({vbYes, vbOK});
    s.mnuFileExit->fireClick();
    EXPECT_TRUE(isLoaded<frmMESys>());
    EXPECT_TRUE(prompts().last().startsWith(QStringLiteral("The engineer password contains"))) << prompts().join('|').toStdString();
    EXPECT_FALSE(settingsFile().contains("\r\n\xE1"));
}

TEST_F(SysWindowTest, ResetShowsTheStoredPolarityAgain) {
    frmMESys& s = open([] { gbVOutPositivePolarity = false; });
    EXPECT_EQ(s.chkVOutReversedPolarity->Value(), vbChecked);
    s.mnuFileExit->fireClick();
    frmMESys& s2 = open([] { gbVOutPositivePolarity = true; });
    EXPECT_EQ(s2.chkVOutReversedPolarity->Value(), vbUnchecked);
    drive::click(s2.chkVOutReversedPolarity);
    ASSERT_TRUE(s2.mnuFileReset->Enabled());
    press(s2, Qt::Key_R);
    EXPECT_EQ(s2.chkVOutReversedPolarity->Value(), vbUnchecked);
    EXPECT_FALSE(s2.mnuFileReset->Enabled());
    EXPECT_TRUE(gbVOutPositivePolarity);
}
}
