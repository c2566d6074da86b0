// The sine and distortion windows' own fields as the engineer edits them:
// the moving limit ranges, the measure and decision coupling, and the checks
// that keep an unusable limit out of the stored test.
#include "common/frmPrompt.h"
#include "tests/support/TestEditorRig.h"

namespace {
class TypeWindowTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("Resp"), .fLo = 100, .fHi = 10000,
                                     .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
        seed::add(seed::SineTest{.name = QStringLiteral("Tone"), .opDecide = true, .loLim = -99.0f, .hiLim = 0.0f,
                                 .prompt = QStringLiteral("Hear it")});
        // As a new sine test is made: its high limit 1 lies above the box's range.
        seed::add(seed::SineTest{.name = QStringLiteral("Fresh"), .opDecide = false, .loLim = -10.0f, .hiLim = 1.0f});
        seed::add(seed::PlainTest{.name = QStringLiteral("Dist"), .type = QStringLiteral("Ext Dist")});
        completeTests();
    }
    // Types into a box of a type window, brought to the front first.
    static void typeIn(TextBox& ioBox, const QString& iText) {
        EXPECT_TRUE(drive::showActive(*ioBox.form()));
        retype(ioBox, iText);
    }
    QStringList prompts() const {
        QStringList out;
        for (const MsgBoxCall& b : boxes()) out << b.prompt;
        return out;
    }
};
}

TEST_F(TypeWindowTest, SineLimitsFollowEachOtherAndMeasureSwitchesTheGroups) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Tone"));
    frmMETestSine& s = form<frmMETestSine>();
    // Operator decision, not measured: the prompt is live, the limits are not.
    EXPECT_TRUE(s.txtPrompt->isEnabled());
    EXPECT_FALSE(s.txtLimHi->isEnabled());
    EXPECT_FALSE(s.lstMeasure->isVisible());

    tick(s.chkPCDecide);
    EXPECT_EQ(t.chkOpDecide->Value(), 0);
    EXPECT_TRUE(s.txtLimHi->isEnabled());
    EXPECT_TRUE(s.updLimLo->isEnabled());
    EXPECT_FALSE(s.txtPrompt->isEnabled());
    EXPECT_FALSE(t.cboSweepType->isEnabled());
    EXPECT_FALSE(t.txtDuration->isEnabled());
    EXPECT_TRUE(s.mnuFileReset->Enabled());
    EXPECT_TRUE(t.mnuFileReset->Enabled());

    // Low -10 raises the high box's lowest value to -9.
    clearBoxes();
    typeIn(*s.txtLimLo, QStringLiteral("-10"));
    EXPECT_EQ(s.updLimHi->Min(), -9);
    typeIn(*s.txtLimHi, QStringLiteral("-10"));
    answer({vbOK});
    focusIn(*s.txtLimLo);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("In the range -9 to 0 (dB) please!")});
    // A typed decimal is refused, though the arrow keys write one decimal.
    typeIn(*s.txtLimHi, QStringLiteral("-4.5"));
    EXPECT_EQ(s.txtLimHi->Text(), "-45");
    typeIn(*s.txtLimHi, QStringLiteral("-4"));
    drive::key(Qt::Key_Up);
    EXPECT_EQ(s.txtLimHi->Text(), "-3.0");
    EXPECT_EQ(s.updLimLo->Max(), -4);
    focusIn(*s.txtLimLo);
    typeIn(*s.txtLimLo, QStringLiteral("-13"));
    drive::key(Qt::Key_Up);
    EXPECT_EQ(s.txtLimLo->Text(), "-12");

    // Measure off again: the list hides, the limits lock, the prompt stays off
    // while the operator does not decide.
    tick(s.chkPCDecide);
    EXPECT_FALSE(s.txtLimLo->isEnabled());
    EXPECT_FALSE(s.txtPrompt->isEnabled());
    EXPECT_TRUE(t.cboSweepType->isEnabled());
}

TEST_F(TypeWindowTest, AMeasuredSineTestIsNotSavedWithUnusableLimits) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Fresh"));
    // A save makes the window afresh.
    auto sine = [] { return &form<frmMETestSine>(); };
    const QStringList before = row(QStringLiteral("Fresh"));
    // Not measured, the limits are unused: the high limit of 1 does not stop a save.
    clearBoxes();
    ctrl(Qt::Key_S);
    EXPECT_TRUE(prompts().isEmpty());
    EXPECT_EQ(row(QStringLiteral("Fresh")), before);

    tick(sine()->chkPCDecide);
    clearBoxes();
    answer({vbOK});
    ctrl(Qt::Key_S);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("In the range -9 to 0 (dB) please!")});
    EXPECT_EQ(row(QStringLiteral("Fresh")), before);

    // An empty low limit is refused too, when the high one is fine.
    typeIn(*sine()->txtLimHi, QStringLiteral("0"));
    typeIn(*sine()->txtLimLo, QString());
    clearBoxes();
    answer({vbOK});
    ctrl(Qt::Key_S);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("In the range -99 to -1 (dB) please!")});
    EXPECT_EQ(row(QStringLiteral("Fresh")), before);

    typeIn(*sine()->txtLimLo, QStringLiteral("-20"));
    clearBoxes();
    ctrl(Qt::Key_S);
    EXPECT_TRUE(prompts().isEmpty());
    EXPECT_TRUE(CBool(stored(QStringLiteral("Fresh"), QStringLiteral("PC_Decide"))));
    EXPECT_EQ(CInt(stored(QStringLiteral("Fresh"), QStringLiteral("fLo_Lim"))), -20);
    EXPECT_EQ(CInt(stored(QStringLiteral("Fresh"), QStringLiteral("fHi_Lim"))), 0);
}

TEST_F(TypeWindowTest, DistortionLimitAndModes) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Dist"));
    frmMETestExtDistortion& d = form<frmMETestExtDistortion>();
    ASSERT_EQ(d.cboExtDist->ListCount(), 15);
    EXPECT_EQ(d.cboExtDist->List(6), "1kHz RMS 3rd harmonic - experimental");
    const QStringList before = row(QStringLiteral("Dist"));

    for (const char* refused : {"10", "0"}) {
        typeIn(*d.txtLimHi, QString::fromLatin1(refused));
        clearBoxes();
        answer({vbOK});
        focusIn(*d.cboExtDist);
        EXPECT_EQ(prompts(), QStringList{QStringLiteral("In the range 0.01 to 9.99 (%) please!")}) << refused;
    }
    typeIn(*d.txtLimHi, QStringLiteral("1.5"));
    focusIn(*d.cboExtDist);
    EXPECT_EQ(d.txtLimHi->Text(), "1.50");
    // The editor's Save checks the window's limit first.
    typeIn(*d.txtLimHi, QStringLiteral("12"));
    clearBoxes();
    answer({vbOK});
    t.mnuFileSave->Click();
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("In the range 0.01 to 9.99 (%) please!")});
    EXPECT_EQ(row(QStringLiteral("Dist")), before);
    // The mode is the window's own: choosing one only marks the edit.
    choose(d.cboExtDist, QStringLiteral("315Hz RMS 3rd harmonic, narrow band"));
    EXPECT_TRUE(d.mnuFileReset->Enabled());
    EXPECT_EQ(row(QStringLiteral("Dist")), before);
}
