// The frame every test-type window shares, driven from the type window: its
// menus forward to the editor, the two windows minimise and close together.
#include "tests/support/TestEditorRig.h"
#include "station/frmVexo.h"

namespace {
class TypeFormTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("R1"), .fLo = 100, .fHi = 10000,
                                     .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
        seed::add(seed::PlainTest{.name = QStringLiteral("Dist"), .type = QStringLiteral("Ext Dist"), .fLo = 20, .fHi = 60});
        completeTests();
    }
    // A shortcut pressed in a type window.
    static void ctrlIn(Form& ioWindow, Qt::Key iKey) {
        EXPECT_TRUE(drive::showActive(ioWindow));
        drive::key(iKey, Qt::ControlModifier);
    }
};
}

TEST_F(TypeFormTest, SaveFromTheTypeWindowWritesTheEditorsEditAndCaptionFollowsTheTest) {
    frmMETest& t = open();
    frmMETestResponse& r = form<frmMETestResponse>();
    EXPECT_EQ(r.Caption(), "R1");
    retype(*t.txtDelay, QStringLiteral("0.3"));
    ctrlIn(r, Qt::Key_S);
    EXPECT_EQ(saveQuestions(), 0);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("R1"), QStringLiteral("Delay_s"))), 0.3f);
    EXPECT_FALSE(t.mnuFileReset->Enabled());
}

TEST_F(TypeFormTest, MinimisingEitherWindowMinimisesBoth) {
    frmMETest& t = open();
    frmMETestResponse& r = form<frmMETestResponse>();
    r.setWindowState(vbMinimized);
    EXPECT_EQ(t.WindowState(), vbMinimized);
    r.setWindowState(vbNormal);
    EXPECT_EQ(t.WindowState(), vbNormal);
    t.setWindowState(vbMinimized);
    EXPECT_EQ(r.WindowState(), vbMinimized);
    t.setWindowState(vbNormal);
    EXPECT_EQ(r.WindowState(), vbNormal);
    EXPECT_FALSE(t.gbFormResizing);
}

TEST_F(TypeFormTest, ExitClosesBothWindowsOnceWhicheverTypeWindowItIs) {
    frmMETest& t = open();
    frmVexo& main = form<frmVexo>();
    EXPECT_FALSE(main.cmdSupervisor->isEnabled());
    // The response window's Exit closes itself and with it the editor.
    ctrlIn(form<frmMETestResponse>(), Qt::Key_X);
    EXPECT_FALSE(isLoaded<frmMETestResponse>());
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_TRUE(main.cmdSupervisor->isEnabled());
    EXPECT_FALSE(main.gbTraboMETestLoaded);
    Q_UNUSED(t);

    // The distortion window's Exit closes the editor, which saves where it was.
    frmMETest& again = form<frmMETest>();
    EXPECT_TRUE(drive::showActive(again));
    pick(again, QStringLiteral("Dist"));
    ASSERT_TRUE(isLoaded<frmMETestExtDistortion>());
    ctrlIn(form<frmMETestExtDistortion>(), Qt::Key_X);
    EXPECT_FALSE(isLoaded<frmMETestExtDistortion>());
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_TRUE(main.cmdSupervisor->isEnabled());
    EXPECT_EQ(form<frmMETest>().dcboTest->Text(), "Dist");
}
