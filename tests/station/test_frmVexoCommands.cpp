// The engineer's way into the station from the main window: the log-in that
// switches production and engineer mode, the Window menu, the Engineer button
// and the double-clicks, driven with keys and the mouse on the demo station.
#include "common/frmPassword.h"
#include "common/modVarSystemParams.h"
#include "engineering/frmMESeq.h"
#include "engineering/frmMESys.h"
#include "test_editor/frmMETest.h"
#include "tests/support/MainWindowRig.h"
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
    drive::click(f.cmdEngineer);
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
