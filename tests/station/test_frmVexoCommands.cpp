// The engineer's way into the station from the main window: the log-in that
// switches production and engineer mode, the Window menu, the Engineer button
// and the double-clicks, driven with keys and the mouse on the demo station.
#include "common/frmPassword.h"
#include "common/modVarSystemParams.h"
#include "engineering/frmMESeq.h"
#include "engineering/frmMESys.h"
#include "test_editor/frmMETest.h"
#include "common/frmAbout.h"
#include "platform/os/Settings.h"
#include "platform/os/Shell.h"
#include "platform/ui/Printer.h"
#include "tests/support/MainWindowRig.h"
#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace {
class EngineerLogInTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
        addSequence(QStringLiteral("Bookshelf"), {demostation::kPolarityTest});
        installJig();
    }
    void TearDown() override {
        endOfScript();
        unload<frmMESeq>();
        unload<frmMESys>();
        unload<frmMETest>();
        MainWindowRig::TearDown();
    }
    frmVexo& startWith(const QString& iPassword) {
        frmVexo& f = start();
        clearBoxes();
        gsPasswordEng = iPassword;
        return f;
    }
    // A key on the main window, as the operator presses it there.
    static void press(frmVexo& f, Qt::Key iKey, Qt::KeyboardModifiers iMods = Qt::ControlModifier) {
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, iKey, iMods);
    }
    // The password typed into the dialog when it is shown; counts the dialogs.
    void typePassword(const QString& iTyped) {
        expectModal<frmPassword>([this, iTyped](frmPassword& p) {
            ++mAsked;
            EXPECT_EQ(p.Caption(), "Engineer");
            drive::type(iTyped);
            drive::key(Qt::Key_Return);
        });
    }
    static bool engineerMode(frmVexo& f) { return !f.dcboOperator->Visible(); }
    int mAsked = 0;
};
}

TEST_F(EngineerLogInTest, ALogInOpensTheEditorsAndTheNextOneReturnsToProduction) {
    frmVexo& f = startWith(QStringLiteral("Secret"));
    ASSERT_FALSE(f.mnuWindowCloseAllEngineer->Enabled());

    // Ctrl+E: the password, then the test editor in engineer mode.
    typePassword(QStringLiteral("secret"));
    press(f, Qt::Key_E);
    EXPECT_EQ(mAsked, 1);
    ASSERT_TRUE(isLoaded<frmMETest>());
    EXPECT_TRUE(form<frmMETest>().isVisible());
    EXPECT_TRUE(f.gbTraboMETestLoaded);
    EXPECT_TRUE(engineerMode(f));
    EXPECT_TRUE(f.mnuWindowCloseAllEngineer->Enabled());
    EXPECT_FALSE(f.cmdSupervisor->Enabled());

    // Logged in: Ctrl+Q opens the sequence editor without asking.
    press(f, Qt::Key_Q);
    EXPECT_EQ(mAsked, 1);
    ASSERT_TRUE(isLoaded<frmMESeq>());
    EXPECT_TRUE(form<frmMESeq>().isVisible());
    EXPECT_TRUE(engineerMode(f));

    // The Engineer button hands the selected sequence to the editor, still without asking.
    drive::click(f.cmdMoreStuff);
    choose(f.dcboSeq, QStringLiteral("Bookshelf"));
    drive::click(f.cmdEngineer);
    EXPECT_EQ(mAsked, 1);
    EXPECT_EQ(form<frmMESeq>().dcboSeq->Text(), "Bookshelf");
    EXPECT_TRUE(engineerMode(f));

    // Ctrl+G closes them all; engineer mode stays until the next log-in.
    press(f, Qt::Key_G);
    EXPECT_FALSE(isLoaded<frmMESeq>());
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_FALSE(f.gbTraboMESeqLoaded || f.gbTraboMETestLoaded || f.gbTraboMESysLoaded);
    EXPECT_TRUE(f.cmdSupervisor->Enabled());
    EXPECT_TRUE(f.mnuWindowCloseAllEngineer->Enabled());
    EXPECT_TRUE(engineerMode(f));

    // The next log-in asks again and switches back to production.
    typePassword(QStringLiteral("SECRET"));
    press(f, Qt::Key_E);
    EXPECT_EQ(mAsked, 2);
    EXPECT_TRUE(isLoaded<frmMETest>());
    EXPECT_FALSE(engineerMode(f));
    EXPECT_TRUE(boxes().isEmpty()) << boxes().value(0).prompt.toStdString();
}

TEST_F(EngineerLogInTest, AWrongPasswordOpensNothingAndChangesNothing) {
    frmVexo& f = startWith(QStringLiteral("Secret"));
    typePassword(QStringLiteral("guess"));
    answer({vbOK});   // "Invalid Password!"
    press(f, Qt::Key_Y);
    EXPECT_EQ(mAsked, 1);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Invalid Password!");
    EXPECT_FALSE(isLoaded<frmMESys>());
    EXPECT_FALSE(f.gbTraboMESysLoaded);
    EXPECT_FALSE(engineerMode(f));
    EXPECT_FALSE(f.mnuWindowCloseAllEngineer->Enabled());

    // The Engineer button likewise.
    drive::click(f.cmdMoreStuff);
    typePassword(QStringLiteral("guess"));
    answer({vbOK});
    drive::click(f.cmdEngineer);
    EXPECT_EQ(boxes().size(), 2);
    EXPECT_FALSE(isLoaded<frmMESeq>());
    EXPECT_FALSE(engineerMode(f));
}

TEST_F(EngineerLogInTest, AnEmptyPasswordGrantsWithoutAskingAndStillSwitchesTheMode) {
    frmVexo& f = startWith(QString());
    press(f, Qt::Key_Y);
    EXPECT_EQ(mAsked, 0);
    EXPECT_TRUE(isLoaded<frmMESys>());
    EXPECT_TRUE(f.gbTraboMESysLoaded);
    EXPECT_TRUE(engineerMode(f));
    // Closing the window by its close box re-enables the main window's commands.
    form<frmMESys>().close();
    EXPECT_FALSE(f.gbTraboMESysLoaded);
    EXPECT_TRUE(f.cmdSupervisor->Enabled());

    press(f, Qt::Key_Y);
    EXPECT_FALSE(engineerMode(f));
    EXPECT_EQ(mAsked, 0);
}

TEST_F(EngineerLogInTest, DoubleClicksOnTheGraphsAndTheSequenceBoxOpenTheirEditors) {
    frmVexo& f = startWith(QString());
    QTest::mouseDClick(f.picResponse, Qt::LeftButton);
    EXPECT_TRUE(isLoaded<frmMETest>());
    EXPECT_TRUE(engineerMode(f));
    unload<frmMETest>();

    // Every window closed: each opening logs in again and switches the mode.
    QTest::mouseDClick(f.picPolarity, Qt::LeftButton);
    EXPECT_TRUE(isLoaded<frmMETest>());
    EXPECT_FALSE(engineerMode(f));
    unload<frmMETest>();

    QTest::mouseDClick(f.dcboSeq->lineEdit(), Qt::LeftButton);
    EXPECT_TRUE(isLoaded<frmMESeq>());
    EXPECT_TRUE(f.gbTraboMESeqLoaded);
    EXPECT_TRUE(engineerMode(f));
}

// The operator's menus, keys and the flash of a result, on the shown window.
namespace {
class OperatorCommandsTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
        addOperator(QStringLiteral("Alice"));
        for (const char* n : {"Near", "Far"})
            seed::add(seed::ResponseTest{.name = QString::fromLatin1(n), .fLo = 100, .fHi = 10000, .points = 40,
                                         .layers = {seed::Layer{.fLo = 100, .fHi = 10000, .pt = 2, .lim = 1.0f}}});
        addSequence(QStringLiteral("Two"), {QStringLiteral("Near"), demostation::kPolarityTest, QStringLiteral("Far")});
        addSequence(QStringLiteral("One"), {QStringLiteral("Near")});
        Printer.setRecording(true);
    }
    void TearDown() override {
        endOfScript();
        Printer.setRecording(false);
        qunsetenv("VEXO_PRINT_TO");
        setShellOpenHandler(nullptr);
        unload<frmAbout>();
        MainWindowRig::TearDown();
    }
    // A key on the control that has the focus, as the operator presses it.
    static void press(frmVexo& f, Qt::Key iKey, Qt::KeyboardModifiers iMods = Qt::ControlModifier) {
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, iKey, iMods);
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    // The names written on the response graph since it was last cleared.
    static QList<QPair<QString, int32_t>> names(frmVexo& f, const QString& iName) {
        QList<QPair<QString, int32_t>> out;
        for (const auto& t : texts(*f.picResponse))
            if (t.first == iName) out << t;
        return out;
    }
};
}   // namespace

TEST_F(OperatorCommandsTest, FileMenuShortcutsMoveTheFocusPrintAndExit) {
    installJig();
    frmVexo& f = start();
    ASSERT_TRUE(f.mnuFilePrint->Enabled());

    press(f, Qt::Key_M);
    EXPECT_TRUE(f.dcboSeq->isAncestorOf(focused()) || focused() == f.dcboSeq);
    press(f, Qt::Key_O);
    EXPECT_TRUE(f.dcboOperator->isAncestorOf(focused()) || focused() == f.dcboOperator);

    // Ctrl+P: the window's image as it stands, the byline below it, one document.
    press(f, Qt::Key_P);
    ASSERT_EQ(Printer.printedDocuments().size(), 1);
    const PrintedPage& page = Printer.printedDocuments().at(0).at(0);
    ASSERT_FALSE(page.isEmpty());
    const PrintOp& picture = page.at(0);
    ASSERT_EQ(picture.kind, PrintOpKind::Picture);
    EXPECT_EQ(picture.y1, 900);
    EXPECT_EQ(picture.picture.width(), f.grab().toImage().width());
    EXPECT_NEAR(picture.x2 - picture.x1, f.width() * 15.0, 1.0);
    QStringList byline;
    for (const PrintOp& op : page)
        if (op.kind == PrintOpKind::Text && !op.text.isEmpty()) byline << op.text;
    ASSERT_FALSE(byline.isEmpty());
    for (const PrintOp& op : page)
        if (op.kind == PrintOpKind::Text) { EXPECT_GE(op.y1, picture.y2); }

    // Ctrl+X: the window's unload step, which keeps the operator's choices.
    choose(f.dcboSeq, QStringLiteral("One"));
    press(f, Qt::Key_X);
    EXPECT_FALSE(isLoaded<frmVexo>());
    EXPECT_EQ(userSetting(QStringLiteral("dcboSeq"), QString()), "One");
}

// Exit on a full disk: the choices cannot be kept, which the error box says
// naming the per-user settings file and the cause, and the station still ends,
// with that file as it was.
TEST_F(OperatorCommandsTest, ExitOnAFullDiskSaysTheChoicesWereNotKeptAndStillEnds) {
    const QString ini = QDir(settingsFolder()).filePath(QStringLiteral("Pelmo.ini"));
    allowErrors({QStringLiteral("Path/File access error: the settings file '") + ini +
                 QStringLiteral("' could not be written: File too large")});
    installJig();
    frmVexo& f = start();
    choose(f.dcboSeq, QStringLiteral("One"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    clearBoxes();
    {
        FileSizeLimit disk(before.size() / 2);
        press(f, Qt::Key_X);
    }
    EXPECT_FALSE(isLoaded<frmVexo>());
    ASSERT_FALSE(boxes().isEmpty());
    QStringList shown;
    for (const MsgBoxCall& b : boxes()) shown << b.prompt;
    EXPECT_TRUE(shown.contains(QStringLiteral("Source: frmVexo.Form_Unload.10\r\n\r\n"
                                              "Path/File access error: the settings file '") +
                               ini + QStringLiteral("' could not be written: File too large")))
        << shown.join('|').toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_NE(userSetting(QStringLiteral("dcboSeq"), QString()), "One");
}

// The window printed to a file on a full disk: the last print there stays as
// it was, and the box names the file and the cause; with room again the same
// print replaces it.
TEST_F(OperatorCommandsTest, APrintToAFileOnAFullDiskKeepsTheLastOneAndSaysWhy) {
    const QByteArray last = "%PDF-1.4 the last report\n";
    writeHomeFile(QStringLiteral("report.pdf"), last);
    const QString report = homeFile(QStringLiteral("report.pdf"));
    Printer.setRecording(false);
    qputenv("VEXO_PRINT_TO", report.toLocal8Bit());
    installJig();
    frmVexo& f = start();
    ASSERT_TRUE(f.mnuFilePrint->Enabled());
    clearBoxes();
    answer({vbAbort, vbNo});
    {
        FileSizeLimit disk(4096);
        press(f, Qt::Key_P);
    }
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[0].prompt,
              QStringLiteral("Source: modFormPrint.gFormPrintBylineEndDoc.20\r\n\r\nPrinter error: ") + report +
                  QStringLiteral(": File too large"));
    EXPECT_EQ(boxes()[1].prompt, "Would you like to email Pelmo a bug report?");
    EXPECT_EQ(readHomeFile(QStringLiteral("report.pdf")), last);
    EXPECT_EQ(filesStartingWith(home(), QStringLiteral(".report")), QStringList());

    clearBoxes();
    press(f, Qt::Key_P);
    EXPECT_TRUE(boxes().isEmpty()) << boxes().value(0).prompt.toStdString();
    const QByteArray printed = readHomeFile(QStringLiteral("report.pdf"));
    EXPECT_TRUE(printed.startsWith("%PDF-") && printed.size() > 4096) << printed.size();
}

TEST_F(OperatorCommandsTest, HelpAboutAndTheDisabledReport) {
    installJig();
    writeHomeFile(QStringLiteral("Vexo.chm"), "help");
    QList<QUrl> opened;
    setShellOpenHandler([&](const QUrl& u) { opened << u; return true; });
    frmVexo& f = start();

    press(f, Qt::Key_F1, Qt::NoModifier);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0).toLocalFile(), homeFile(QStringLiteral("Vexo.chm")));

    int abouts = 0;
    expectModal<frmAbout>([&](frmAbout& a) {
        ++abouts;
        a.Hide();
    });
    f.mnuHelpAboutVexo->fireClick();
    EXPECT_EQ(abouts, 1);

    // More Stuff shows the Report button, which is never offered.
    drive::click(f.cmdMoreStuff);
    EXPECT_TRUE(f.cmdReport->Visible());
    EXPECT_FALSE(f.cmdReport->Enabled());
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(OperatorCommandsTest, TheTKeyTypesOnlyInTheSequenceBox) {
    installJig();
    frmVexo& f = start();
    choose(f.dcboOperator, QStringLiteral("Alice"));
    // In the operator box T is the Test key: the name stays as chosen.
    f.dcboOperator->SetFocusIfAble();
    answer({vbYes, vbYes});   // the sequence is calibrated first
    press(f, Qt::Key_T, Qt::NoModifier);
    EXPECT_EQ(f.dcboOperator->Text(), "Alice");
    // In the sequence box it is a letter like any other.
    f.dcboSeq->SetFocusIfAble();
    press(f, Qt::Key_T, Qt::NoModifier);
    EXPECT_TRUE(f.dcboSeq->Text().contains(QLatin1Char('t'), Qt::CaseInsensitive));
}

TEST_F(OperatorCommandsTest, WithOneResponseTestNoNameBlinksAndAPassStaysShown) {
    installJig();
    frmVexo& f = start();
    // With one response test no name is drawn; a PASS does not blink.
    choose(f.dcboSeq, QStringLiteral("One"));
    const bool cardShown = f.lblCard->Visible();
    f.lblPassFail->setCaption(QStringLiteral("PASS"));
    f.lblPassFail->setVisible(true);
    f.picResponse->clearOps();
    for (int tick = 0; tick < 4; ++tick) f.tmrFlash->Timer();
    EXPECT_TRUE(f.lblPassFail->Visible());
    EXPECT_TRUE(names(f, QStringLiteral("Near")).isEmpty());
    // A card label without a warning does not blink.
    EXPECT_EQ(f.lblCard->Visible(), cardShown);
}

TEST_F(OperatorCommandsTest, AFailedSoundCheckBlinksTheCardLabel) {
    sound::JigConfig config = sound::JigConfig::standard();
    config.inputs.clear();
    installJig(config);
    answer({vbOK});
    frmVexo& f = start();
    QStringList notices;
    for (const MsgBoxCall& b : boxes()) notices << b.prompt;
    EXPECT_EQ(notices, QStringList{QStringLiteral("Wave input device not found or error")});
    ASSERT_EQ(f.lblCard->Caption(), "Wave device not found");
    ASSERT_TRUE(f.tmrFlash->Enabled());
    ASSERT_FALSE(f.cmdTest->Enabled());
    QList<bool> shown;
    for (int tick = 0; tick < 3; ++tick) {
        f.tmrFlash->Timer();
        shown << f.lblCard->Visible();
    }
    EXPECT_EQ(shown, (QList<bool>{false, true, false}));
}

namespace {
// The recordings the jig made: each unit run records its tests.
int plays(sound::JigBackend& ioJig) {
    int n = 0;
    for (const sound::JigEvent& e : ioJig.events())
        if (e.what.startsWith(QLatin1String("waveInStart"))) ++n;
    return n;
}
}   // namespace

TEST_F(OperatorCommandsTest, TCtrlTAndAltTEachTestOnceAndTTypesInTheSequenceBox) {
    installJig();
    addSequence(QStringLiteral("Polarity"), {demostation::kPolarityTest});
    frmVexo& f = start();
    choose(f.dcboOperator, QStringLiteral("Alice"));
    choose(f.dcboSeq, QStringLiteral("Polarity"));
    clearBoxes();

    // One unit with the Test button: what one run plays.
    int before = plays(jig());
    drive::click(f.cmdTest);
    const int one = plays(jig()) - before;
    ASSERT_GT(one, 0);

    struct Way {
        const char* name;
        std::function<void()> press;
    } ways[] = {
        {"T on the Test button", [&] { f.cmdTest->SetFocusIfAble(); press(f, Qt::Key_T, Qt::NoModifier); }},
        {"Shift+T in the operator box", [&] { f.dcboOperator->SetFocusIfAble(); press(f, Qt::Key_T, Qt::ShiftModifier); }},
        {"Ctrl+T", [&] { press(f, Qt::Key_T); }},
        {"Alt+T", [&] { press(f, Qt::Key_T, Qt::AltModifier); }},
    };
    for (const Way& w : ways) {
        before = plays(jig());
        w.press();
        EXPECT_EQ(plays(jig()) - before, one) << w.name;
    }
    EXPECT_EQ(f.dcboOperator->Text(), "Alice");

    // In the sequence box T is a letter like any other.
    before = plays(jig());
    f.dcboSeq->SetFocusIfAble();
    press(f, Qt::Key_T, Qt::NoModifier);
    EXPECT_EQ(plays(jig()), before);
}

TEST_F(OperatorCommandsTest, WithoutASoundDeviceTheTestKeysDoNothing) {
    sound::JigConfig config = sound::JigConfig::standard();
    config.inputs.clear();
    installJig(config);
    addSequence(QStringLiteral("Polarity"), {demostation::kPolarityTest});
    answer({vbOK});   // "Wave input device not found or error"
    frmVexo& f = start();
    choose(f.dcboSeq, QStringLiteral("Polarity"));
    clearBoxes();
    const int before = plays(jig());
    f.cmdMoreStuff->SetFocusIfAble();
    press(f, Qt::Key_T, Qt::NoModifier);
    press(f, Qt::Key_T);
    f.mnuFileTestUnit->fireClick();
    EXPECT_EQ(plays(jig()), before);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(OperatorCommandsTest, AfterAFailedUnitTheLastResponseNameBlinksInItsResultColour) {
    installJig();
    addSequence(QStringLiteral("Pair"), {demostation::kResponseTest, demostation::kPolarityTest, demostation::kResponseTest});
    frmVexo& f = start();
    choose(f.dcboSeq, QStringLiteral("Pair"));
    // The first Test calibrates the new sequence on the standard unit.
    answer({vbYes, vbYes, vbYes, vbYes});
    drive::click(f.cmdTest);
    clearBoxes();
    jig().setUnit(sound::UnitModel::peakPlus3dB());
    answer({vbNo});
    drive::click(f.cmdTest);
    ASSERT_EQ(f.lblPassFail->Caption(), "FAIL");
    ASSERT_TRUE(f.tmrFlash->Enabled());
    f.picResponse->clearOps();
    QList<bool> shown;
    for (int tick = 0; tick < 4; ++tick) {
        f.tmrFlash->Timer();
        shown << f.lblPassFail->Visible();
    }
    EXPECT_EQ(shown, (QList<bool>{false, true, false, true}));
    EXPECT_EQ(names(f, demostation::kResponseTest),
              (QList<QPair<QString, int32_t>>{{demostation::kResponseTest, 255},
                                              {demostation::kResponseTest, 0},
                                              {demostation::kResponseTest, 255},
                                              {demostation::kResponseTest, 0}}));
}

// Cancel at an editor's save question stops Close All Engineer and Exit
// quietly: no error box, and every window stays open.
TEST_F(EngineerLogInTest, CancelAtASaveQuestionStopsCloseAllAndExitQuietly) {
    frmVexo& f = startWith(QString());
    press(f, Qt::Key_E);
    ASSERT_TRUE(isLoaded<frmMETest>());
    frmMETest& editor = form<frmMETest>();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    retype(*editor.txtDelay, QStringLiteral("0.5"));
    for (Qt::Key key : {Qt::Key_G, Qt::Key_X}) {
        clearBoxes();
        answer({vbCancel});
        press(f, key);
        ASSERT_EQ(boxes().size(), 1) << boxes().value(1).prompt.toStdString();
        EXPECT_TRUE(boxes().at(0).prompt.startsWith(QStringLiteral("Save changes to the test "))) << key;
        EXPECT_TRUE(isLoaded<frmVexo>()) << key;
        EXPECT_TRUE(isLoaded<frmMETest>()) << key;
        EXPECT_TRUE(f.gbTraboMETestLoaded) << key;
    }
    // Close All Engineer again, and No drops the edit: the editor closes.
    clearBoxes();
    answer({vbNo});
    press(f, Qt::Key_G);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes().at(0).prompt.startsWith(QStringLiteral("Save changes to the test ")));
    EXPECT_FALSE(isLoaded<frmMETest>());
}
