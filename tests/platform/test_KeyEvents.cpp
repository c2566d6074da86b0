// Keys on the layer: key preview, codes and shift mask, replaceable and
// consumable KeyPress, held keys, menu shortcuts before a box's own keys, Esc
// and Enter, Tab order and access keys.
#include "platform/ui/FormRegistry.h"
#include <QAction>
#include "tests/support/WindowDriver.h"
#include "tests/platform/frmExample.h"
#include "tests/support/StationTest.h"

namespace {
// Two boxes whose key events, and the window's, are written to a log.
class frmKeys : public Form {
public:
    frmKeys() : Form(QStringLiteral("frmKeys")) {
        setClientSize(3000, 1200);
        setKeyPreview(true);
        txtA = new TextBox(this, QStringLiteral("txtA"), 120, 120, 2700, 285);
        txtB = new TextBox(this, QStringLiteral("txtB"), 120, 600, 2700, 285);
        KeyDown = [this](int16_t& KeyCode, int16_t Shift) { down(QStringLiteral("Form"), formDown, KeyCode, Shift); };
        KeyPress = [this](int16_t& KeyAscii) { press(QStringLiteral("Form"), formPress, KeyAscii); };
        KeyUp = [this](int16_t& KeyCode, int16_t Shift) { log << QStringLiteral("Form_KeyUp %1 %2").arg(KeyCode).arg(Shift); };
        txtA->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { down(QStringLiteral("txtA"), nullptr, KeyCode, Shift); };
        txtA->KeyPress = [this](int16_t& KeyAscii) { press(QStringLiteral("txtA"), nullptr, KeyAscii); };
        txtA->KeyUp = [this](int16_t& KeyCode, int16_t Shift) { log << QStringLiteral("txtA_KeyUp %1 %2").arg(KeyCode).arg(Shift); };
    }
    TextBox* txtA;
    TextBox* txtB;
    std::function<void(int16_t&, int16_t)> formDown;
    std::function<void(int16_t&)> formPress;
    QStringList log;

    QStringList only(const QString& iPrefix) const { return log.filter(iPrefix); }

private:
    void down(const QString& iWho, const std::function<void(int16_t&, int16_t)>& iThen, int16_t& ioCode, int16_t iShift) {
        log << iWho + QStringLiteral("_KeyDown %1 %2").arg(ioCode).arg(iShift);
        if (iThen) iThen(ioCode, iShift);
    }
    void press(const QString& iWho, const std::function<void(int16_t&)>& iThen, int16_t& ioAscii) {
        log << iWho + QStringLiteral("_KeyPress %1").arg(ioAscii);
        if (iThen) iThen(ioAscii);
    }
};

class KeyTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        ASSERT_TRUE(drive::showActive(f));
        f.txtA->SetFocus();
    }
    void TearDown() override {
        endOfScript();
        unload<frmKeys>();
        unload<frmExample>();
        StationTest::TearDown();
    }
    frmKeys& f = form<frmKeys>();
};

TEST_F(KeyTest, TheWindowSeesEachKeyBeforeTheBoxWithCodesAndShiftMask) {
    QTest::keyClick(drive::focus(), 'A', Qt::ShiftModifier);
    EXPECT_EQ(f.log, (QStringList{"Form_KeyDown 16 1", "txtA_KeyDown 16 1", "Form_KeyDown 65 1", "txtA_KeyDown 65 1",
                                  "Form_KeyPress 65", "txtA_KeyPress 65", "Form_KeyUp 65 1", "txtA_KeyUp 65 1",
                                  "Form_KeyUp 16 0", "txtA_KeyUp 16 0"}));
    EXPECT_EQ(f.txtA->Text(), "A");

    const std::pair<Qt::Key, int> codes[] = {{Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
                                             {Qt::Key_Home, 36},   {Qt::Key_Left, 37},     {Qt::Key_Up, 38},
                                             {Qt::Key_Right, 39},  {Qt::Key_Down, 40},     {Qt::Key_Delete, 46},
                                             {Qt::Key_F1, 112},    {Qt::Key_F12, 123},     {Qt::Key_Z, 90}};
    for (const auto& [key, code] : codes) {
        f.log.clear();
        drive::key(key);
        EXPECT_EQ(f.only(QStringLiteral("Form_KeyDown")), QStringList{QStringLiteral("Form_KeyDown %1 0").arg(code)});
    }
    f.log.clear();
    drive::key(Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(f.log.contains(QStringLiteral("Form_KeyDown 116 6")));
}

TEST_F(KeyTest, ControlCharactersArriveAsKeyPressAndNavigationKeysDoNot) {
    const std::pair<std::pair<Qt::Key, Qt::KeyboardModifiers>, int> typed[] = {
        {{Qt::Key_C, Qt::ControlModifier}, 3},  {{Qt::Key_V, Qt::ControlModifier}, 22},
        {{Qt::Key_X, Qt::ControlModifier}, 24}, {{Qt::Key_Return, Qt::NoModifier}, 13},
        {{Qt::Key_Enter, Qt::KeypadModifier}, 13}, {{Qt::Key_Backspace, Qt::NoModifier}, 8},
        {{Qt::Key_Escape, Qt::NoModifier}, 27}};
    for (const auto& [key, code] : typed) {
        f.log.clear();
        drive::key(key.first, key.second);
        EXPECT_EQ(f.only(QStringLiteral("txtA_KeyPress")), QStringList{QStringLiteral("txtA_KeyPress %1").arg(code)});
    }
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Up, Qt::Key_F1, Qt::Key_Home}) {
        f.log.clear();
        drive::key(key);
        EXPECT_TRUE(f.only(QStringLiteral("KeyPress")).isEmpty());
    }
    f.log.clear();
    drive::key(Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(f.only(QStringLiteral("KeyPress")).isEmpty());
}

TEST_F(KeyTest, AConsumedKeyNeverReachesTheBoxAndAReplacedCharacterIsTypedInstead) {
    f.txtA->setText(QStringLiteral("abc"));
    f.txtA->setSelStart(0);
    f.formDown = [](int16_t& KeyCode, int16_t) {
        if (KeyCode == 46) KeyCode = 0;   // the window keeps Delete for itself
    };
    f.formPress = [](int16_t& KeyAscii) {
        if (KeyAscii == 'x') KeyAscii = 0;
        if (KeyAscii == ',') KeyAscii = '.';
    };
    drive::key(Qt::Key_Delete);
    EXPECT_EQ(f.txtA->Text(), "abc");
    EXPECT_FALSE(f.log.contains(QStringLiteral("txtA_KeyDown 46 0")));

    f.txtA->setText(QString());
    f.log.clear();
    drive::type(QStringLiteral("1x,5"));
    EXPECT_EQ(f.txtA->Text(), "1.5");
    EXPECT_FALSE(f.log.contains(QStringLiteral("txtA_KeyPress 120")));
    EXPECT_TRUE(f.log.contains(QStringLiteral("txtA_KeyPress 46")));

    // A key whose KeyDown was consumed still types its character.
    f.formDown = [](int16_t& KeyCode, int16_t) { KeyCode = 0; };
    drive::type(QStringLiteral("7"));
    EXPECT_EQ(f.txtA->Text(), "1.57");
}

TEST_F(KeyTest, AHeldKeyRepeatsKeyDownButGivesOneKeyUp) {
    drive::hold(Qt::Key_Up, 3);
    EXPECT_EQ(f.only(QStringLiteral("txtA_KeyDown")).size(), 4);
    EXPECT_EQ(f.only(QStringLiteral("txtA_KeyUp")), QStringList{QStringLiteral("txtA_KeyUp 38 0")});
}

TEST_F(KeyTest, EscAndEnterDoOnlyWhatTheWindowsHandlersSay) {
    drive::key(Qt::Key_Escape);
    drive::key(Qt::Key_Return);
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(isLoaded<frmKeys>());

    frmExample& e = form<frmExample>();
    ASSERT_TRUE(drive::showActive(e));
    e.txtName->SetFocus();
    drive::key(Qt::Key_Return);
    EXPECT_FALSE(e.events.contains(QStringLiteral("cmdOK_Click")));
    EXPECT_TRUE(e.isVisible());
    e.cmdOK->SetFocus();
    drive::key(Qt::Key_Enter, Qt::KeypadModifier);   // Enter on a focused button presses it
    EXPECT_TRUE(e.events.contains(QStringLiteral("cmdOK_Click")));
    ASSERT_TRUE(drive::showActive(e));
    drive::key(Qt::Key_Escape);                      // the window's KeyDown cancels
    EXPECT_TRUE(e.Unloaded());
}

class ExampleKeyTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        ASSERT_TRUE(drive::showActive(f));
        f.txtName->SetFocus();
        f.events.clear();
    }
    void TearDown() override {
        endOfScript();
        unload<frmExample>();
        StationTest::TearDown();
    }
    frmExample& f = form<frmExample>();
};

TEST_F(ExampleKeyTest, AMenuShortcutWinsOverTheTextBoxsOwnKey) {
    drive::key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.events, QStringList{QStringLiteral("mnuFileSelectAll_Click")});
    EXPECT_EQ(f.txtName->SelLength(), 0);   // the box did not select all

    f.mnuFileSave->setEnabled(false);
    drive::key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(f.events.contains(QStringLiteral("mnuFileSave_Click")));
    f.mnuFileSave->setEnabled(true);
    drive::key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(f.events.contains(QStringLiteral("mnuFileSave_Click")));

    auto* mnuHelp = new Menu(&f, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    auto* mnuHelpContents = new Menu(&f, QStringLiteral("mnuHelpContents"), QStringLiteral("&Contents"), mnuHelp,
                                     QStringLiteral("F1"));
    mnuHelpContents->Click = [&] { f.events << QStringLiteral("mnuHelpContents_Click"); };
    drive::key(Qt::Key_F1);
    EXPECT_EQ(f.events.last(), "mnuHelpContents_Click");
    EXPECT_EQ(mnuHelpContents->action()->text(), "&Contents\tF1");

    drive::key(Qt::Key_X, Qt::ControlModifier);   // File > Exit, not Cut
    EXPECT_TRUE(f.Unloaded());
    EXPECT_EQ(f.txtName->Text(), "Woofer");
}

TEST_F(ExampleKeyTest, TabFollowsTheTabOrderAndAccessKeysGoWhereTheyName) {
    auto focused = [] { return Control::of(drive::focus()); };
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(focused(), f.txtCount);
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(focused(), f.cboUnit);   // the up-down takes no focus
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(focused(), f.chkLog);
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(focused(), &f.optSide(0));   // no option chosen: the group's first
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(focused(), f.cmdOK);
    drive::key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), &f.optSide(0));
    f.optSide(1).setValue(true);
    f.chkLog->SetFocus();
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(focused(), &f.optSide(1));   // the chosen option of the group

    drive::key(Qt::Key_N, Qt::AltModifier);   // the label "&Name"
    EXPECT_EQ(focused(), f.txtName);
    EXPECT_EQ(f.lblName->text(), "&Name");
    EXPECT_EQ(f.lblName->buddy(), f.txtName);
    drive::key(Qt::Key_L, Qt::AltModifier);   // "&Log curve"
    EXPECT_EQ(focused(), f.chkLog);
    EXPECT_EQ(f.chkLog->Value(), vbChecked);
    drive::key(Qt::Key_O, Qt::AltModifier);   // "&OK" presses at once
    EXPECT_TRUE(f.events.contains(QStringLiteral("cmdOK_Click")));
    EXPECT_FALSE(f.isVisible());
}
}
