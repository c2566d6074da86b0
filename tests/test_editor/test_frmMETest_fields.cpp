// The sweep, timing and drive boxes of the test editor: what Save refuses,
// what it stores, and the ranges that move with the other boxes.
#include "audio/modVOut.h"
#include "tests/support/TestEditorRig.h"

namespace {
class TestFieldsTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("R1"), .fLo = 100, .fHi = 10000, .drive = 1.0f,
                                     .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
        seed::add(seed::PlainTest{.name = QStringLiteral("P1"), .type = QStringLiteral("Polarity"), .fLo = 20, .fHi = 60});
        seed::add(seed::SineTest{.name = QStringLiteral("N1"), .fLo = 1000, .fHi = 1000, .opDecide = false});
        completeTests();
    }
    // Saves and returns the messages shown.
    QStringList save() {
        clearBoxes();
        ctrl(Qt::Key_S);
        QStringList shown;
        for (const MsgBoxCall& b : boxes()) shown << b.prompt;
        return shown;
    }
};
}

TEST_F(TestFieldsTest, SaveRefusesAValueOutOfRangeAndWritesNothing) {
    frmMETest& t = open();
    gfVOutSoundboard = 0.0f;
    gfVOutAmp = 0.0f;
    const QStringList before = row(QStringLiteral("R1"));
    // High of a response test is checked although its sweep list is hidden;
    // the active layer ends at 5000 Hz.
    retype(*t.txtFHi, QStringLiteral("30000"));
    answer({vbOK});
    EXPECT_EQ(save(), QStringList{"In the range 5000 to 20000 (Hz) please!"});
    EXPECT_EQ(row(QStringLiteral("R1")), before);
    retype(*t.txtFHi, QStringLiteral("10000"));

    // A drive that is no number is refused with the range of an uncalibrated amplifier.
    for (const QString& text : {QString(), QStringLiteral(".")}) {
        retype(*t.txtDriveV, text);
        answer({vbOK});
        EXPECT_EQ(save(), QStringList{"In the range 0 to 40 (V) please!"}) << text.toStdString();
        EXPECT_EQ(row(QStringLiteral("R1")), before);
    }
    // Refused on leaving its box, then saved: refused again, nothing stored.
    for (const QString& text : {QStringLiteral("1308"), QStringLiteral("99999999999"), QStringLiteral("2147483648")}) {
        retype(*t.txtDriveV, text);
        answer({vbOK});
        drive::key(Qt::Key_Tab);
        EXPECT_TRUE(t.txtDriveV->HasFocus()) << text.toStdString();
        answer({vbOK});
        EXPECT_EQ(save(), QStringList{"In the range 0 to 40 (V) please!"}) << text.toStdString();
        EXPECT_EQ(row(QStringLiteral("R1")), before);
    }
    // 1 V on a passive unit saves although nothing is calibrated.
    retype(*t.txtDriveV, QStringLiteral("1.5"));
    EXPECT_EQ(save(), QStringList{});
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("R1"), QStringLiteral("Drive_V"))), 1.5f);

    // A polarity test's delay stops short of 2 s.
    pick(t, QStringLiteral("P1"));
    retype(*t.txtDelay, QStringLiteral("2"));
    answer({vbOK});
    EXPECT_EQ(save(), QStringList{"In the range 0 to 1.9999 (s) please!"});
    retype(*t.txtDelay, QStringLiteral("1.9999"));
    EXPECT_EQ(save(), QStringList{});
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("P1"), QStringLiteral("Delay_s"))), 1.9999f);
}

TEST_F(TestFieldsTest, NumbersTypedWithADecimalCommaAreStoredAsTyped) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    frmMETest& t = open();
    pick(t, QStringLiteral("N1"));
    retype(*t.txtDelay, QStringLiteral("0,5"));
    retype(*t.txtDriveV, QStringLiteral("0,25"));
    EXPECT_EQ(save(), QStringList{});
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("N1"), QStringLiteral("Delay_s"))), 0.5f);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("N1"), QStringLiteral("Drive_V"))), 0.25f);
    pick(t, QStringLiteral("R1"));
    pick(t, QStringLiteral("N1"));
    EXPECT_EQ(t.txtDriveV->Text(), "0,25");
}

TEST_F(TestFieldsTest, SweepChoiceActiveAndUpDownsMoveTheOtherBoxes) {
    frmMETest& t = open();
    gfVOutSoundboard = 1.5f;
    gfVOutAmp = 30.0f;
    // The response test's bounds follow its active layer.
    EXPECT_EQ(t.updFHi->Min(), 5000);
    EXPECT_EQ(t.updFLo->Max(), 200);
    // Checking Active cuts a drive above the board's output; unchecking keeps it.
    retype(*t.txtDriveV, QStringLiteral("3"));
    tick(t.chkActive);
    EXPECT_EQ(t.txtDriveV->Text(), "1.5");
    tick(t.chkActive);
    retype(*t.txtDriveV, QStringLiteral("20"));
    EXPECT_EQ(t.chkActive->Value(), 0);
    EXPECT_EQ(t.txtDriveV->Text(), "20");
    answer({vbNo});

    // A sine test: choosing a sweep lifts High to twice Low, at most 20000.
    pick(t, QStringLiteral("N1"));
    retype(*t.txtFLo, QStringLiteral("12000"));
    choose(t.cboSweepType, QStringLiteral("Log Up"));
    EXPECT_EQ(t.txtFHi->Text(), "20000");
    EXPECT_TRUE(t.txtDuration->isEnabled());
    EXPECT_TRUE(t.mnuFileReset->Enabled());

    // Low above half of High is refused when leaving the test, once.
    clearBoxes();
    answer({vbOK});
    pick(t, QStringLiteral("R1"));
    EXPECT_EQ(t.dcboTest->Text(), "N1");
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "In the range 20 to 10000 (Hz) please!");
    retype(*t.txtFLo, QStringLiteral("5000"));

    // The arrow key steps the point count; Reset puts the stored one back.
    answer({vbNo});
    pick(t, QStringLiteral("R1"));
    focusIn(*t.txtPoint);
    drive::key(Qt::Key_Up);
    EXPECT_EQ(t.txtPoint->Text(), "41");
    EXPECT_TRUE(t.mnuFileReset->Enabled());
    ctrl(Qt::Key_R);
    EXPECT_EQ(t.txtPoint->Text(), "40");
    EXPECT_FALSE(t.mnuFileReset->Enabled());

    // A sweep point outside 1..N is named by the station's own conversion.
    clearBoxes();
    answer({vbOK});
    bool e = false;
    EXPECT_EQ(t.glMETestPoint2Freq(41, e), 0);
    EXPECT_TRUE(e);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "inPoint (41) > inPoints (40)");
    EXPECT_EQ(boxes()[0].title, "modAudio.gfAudioPoint2Freq");
}
