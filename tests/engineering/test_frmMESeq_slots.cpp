// The test list driven with the buttons, keys and the picker, and the window's
// opening, closing and hand-over of the focus.
#include "common/frmPassword.h"
#include "common/modForm.h"
#include "common/modVarSystemParams.h"
#include "platform/ui/Beep.h"
#include "supervisor/frmMPairMatch.h"
#include "tests/engineering/SeqEditorRig.h"

namespace {
class SeqListTest : public SeqEditorTest {};

TEST_F(SeqListTest, ThePickerRefusesTypicalAndListedTestsAndTheKeysMoveAndDelete) {
    addTest(QStringLiteral("Typical"), QStringLiteral("Response"));
    addSequence(QStringLiteral("S"), {QStringLiteral("Pol")});
    frmMESeq& e = open();
    pickTests({QStringLiteral("Typical"), QStringLiteral("Pol"), QStringLiteral("Sine")});
    drive::click(e.cmdTestAdd);
    EXPECT_EQ(prompts(), (QStringList{QStringLiteral("You cannot use the test 'Typical'"),
                                      QStringLiteral("Test Pol already in sequence")}));
    EXPECT_EQ(boxes()[1].title, "Add Test to Sequence");
    addTests(e, {QStringLiteral("Resp")});
    EXPECT_EQ(entries(*e.lstTest), (QStringList{"Pol", "Sine", "Resp"}));
    EXPECT_TRUE(e.lstTest->HasFocus());

    // Shift+Up twice moves Resp to the top; a third does nothing.
    drive::key(Qt::Key_Up, Qt::ShiftModifier);
    drive::key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(entries(*e.lstTest), (QStringList{"Resp", "Pol", "Sine"}));
    EXPECT_EQ(e.lstTest->ListIndex(), 0);
    EXPECT_FALSE(e.cmdTestUp->Enabled());
    drive::key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(entries(*e.lstTest), (QStringList{"Pol", "Resp", "Sine"}));
    EXPECT_EQ(e.lstTest->ListIndex(), 1);

    // Shift+Delete does nothing, Ctrl+Delete deletes; a letter beeps.
    drive::key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(e.lstTest->count(), 3);
    drive::key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(entries(*e.lstTest), (QStringList{"Pol", "Sine"}));
    // The last response test gone: its controls hide and PairTyp turns off.
    EXPECT_FALSE(e.txtCaliDays->isVisible());
    EXPECT_FALSE(e.txtSelLim->isVisible());
    EXPECT_FALSE(e.mnuPairTyp->Enabled());
    const int beeps = beepCount();
    drive::type(QStringLiteral("x"));
    EXPECT_EQ(beepCount(), beeps + 1);

    press(e, Qt::Key_S);
    QStringList expected(16, QStringLiteral(" "));
    expected[0] = QStringLiteral("Pol");
    expected[1] = QStringLiteral("Sine");
    EXPECT_EQ(slotsOf(QStringLiteral("S")), expected);
    EXPECT_EQ(CInt(field(QStringLiteral("S"), QStringLiteral("Test_No"))), 2);
}

TEST_F(SeqListTest, SixteenEntriesAndTheTypicalSequenceStopAddingAndDeleting) {
    QStringList sixteen;
    for (int i = 1; i <= 16; ++i) {
        addTest(QStringLiteral("T%1").arg(i), QStringLiteral("Polarity"));
        sixteen << QStringLiteral("T%1").arg(i);
    }
    addTest(QStringLiteral("Typical"), QStringLiteral("Response"));
    addSequence(QStringLiteral("Full"), sixteen);
    addSequence(QStringLiteral("Typical"), {QStringLiteral("Resp"), QStringLiteral("Pol")});
    frmMESeq& e = open(QStringLiteral("Full"));
    EXPECT_EQ(e.lstTest->count(), 16);
    EXPECT_FALSE(e.cmdTestAdd->Enabled());
    // Add itself refuses a seventeenth, however it is reached: no picker.
    e.cmdTestAdd->Click();
    EXPECT_EQ(e.lstTest->count(), 16);
    EXPECT_TRUE(modals().isEmpty());
    EXPECT_TRUE(e.txtCaliDays->isHidden());

    choose(e.dcboSeq, QStringLiteral("Typical"));
    EXPECT_FALSE(e.cmdTestAdd->Enabled());
    EXPECT_FALSE(e.mnuFileSaveAs->Enabled());
    EXPECT_TRUE(e.cboSerialise->isHidden());
    EXPECT_TRUE(e.txtSelLim->isHidden());
    EXPECT_FALSE(e.txtCaliDays->isHidden());
    EXPECT_TRUE(e.mnuPairTypDoTypical->Enabled());
    EXPECT_FALSE(e.mnuPairTypMakeTypical->Enabled());
    EXPECT_FALSE(e.mnuPairTypPairMatch->Enabled());
    e.lstTest->SetFocus();
    drive::key(Qt::Key_Down);
    ASSERT_GE(e.lstTest->ListIndex(), 0);
    EXPECT_FALSE(e.cmdTestDel->Enabled());
    drive::key(Qt::Key_Delete);
    EXPECT_EQ(e.lstTest->count(), 2);
    EXPECT_FALSE(e.mnuFileReset->Enabled());

    // Deleting the typical sequence deletes the typical test with it.
    clearBoxes();
    answer({vbYes});
    press(e, Qt::Key_D);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("Delete the sequence 'Typical'?")});
    EXPECT_TRUE(field(QStringLiteral("Typical"), QStringLiteral("Seq_Name")).isNull());
    const Database tests = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"));
    EXPECT_TRUE(tests.OpenRecordset(QStringLiteral("SELECT * FROM vexo_tst WHERE Test_Name = 'Typical'"))->EOF_());
    EXPECT_FALSE(tests.OpenRecordset(QStringLiteral("SELECT * FROM vexo_tst WHERE Test_Name = 'Pol'"))->EOF_());
    EXPECT_EQ(e.lblLabel1->Caption(), "Full");
}

TEST_F(SeqListTest, ADoubleClickOrEnterOpensTheTestEditorOnTheTestWithoutAPassword) {
    addSequence(QStringLiteral("S"), {QStringLiteral("Pol"), QStringLiteral("Sine")});
    frmMESeq& e = open();
    gsPasswordEng = QStringLiteral("SECRET");
    e.lstTest->SetFocus();
    drive::key(Qt::Key_Down);
    drive::key(Qt::Key_Down);
    QTest::mouseDClick(e.lstTest->viewport(), Qt::LeftButton, Qt::NoModifier,
                       e.lstTest->visualItemRect(e.lstTest->item(1)).center());
    ASSERT_TRUE(isLoaded<frmMETest>());
    EXPECT_EQ(form<frmMETest>().dcboTest->Text(), "Sine");
    EXPECT_TRUE(modals().isEmpty());

    e.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&e));
    e.lstTest->SetFocus();
    e.lstTest->setListIndex(0);
    drive::key(Qt::Key_Return);
    EXPECT_EQ(form<frmMETest>().dcboTest->Text(), "Pol");
    e.lstTest->setListIndex(-1);
    const int beeps = beepCount();
    drive::key(Qt::Key_Return);
    EXPECT_EQ(beepCount(), beeps + 1);
}

TEST_F(SeqListTest, TheWindowOpensAtItsPlaceAndClosingHandsTheFocusOn) {
    addSequence(QStringLiteral("S1"), {QStringLiteral("Pol")});
    addSequence(QStringLiteral("S2"), {QStringLiteral("Pol")});
    frmMESeq& e = open(QStringLiteral("S2"));
    EXPECT_EQ(e.Caption(), "Sequence Maintenance");
    EXPECT_EQ(QPoint(e.Left(), e.Top()), QPoint(1000, 400));
    EXPECT_EQ(e.dcboSeq->Text(), "S2");
    EXPECT_TRUE(e.mnuFileDelete->Enabled());
    EXPECT_FALSE(e.mnuFileReset->Enabled());
    frmVexo& f = form<frmVexo>();
    EXPECT_FALSE(f.cmdSupervisor->Enabled());
    EXPECT_TRUE(f.gbTraboMESeqLoaded);
    e.Move(2000, 1500, e.Width(), e.Height());

    press(e, Qt::Key_E);   // Window > Test, no password while an editor is open
    ASSERT_TRUE(isLoaded<frmMETest>());
    press(e, Qt::Key_M);
    EXPECT_TRUE(e.dcboSeq->HasFocus());
    EXPECT_TRUE(unload<frmMESeq>());
    EXPECT_FALSE(f.gbTraboMESeqLoaded);
    EXPECT_FALSE(f.cmdSupervisor->Enabled());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form<frmMETest>()));

    frmMESeq& again = form<frmMESeq>();
    EXPECT_EQ(QPoint(again.Left(), again.Top()), QPoint(2000, 1500));
    unload<frmMETest>();
    press(again, Qt::Key_X, Qt::NoModifier);   // Exit has no shortcut: a key in the window
    EXPECT_TRUE(isLoaded<frmMESeq>());
    EXPECT_TRUE(unload<frmMESeq>());
    EXPECT_TRUE(f.cmdSupervisor->Enabled());
    EXPECT_TRUE(modals().isEmpty());
}

TEST_F(SeqListTest, PairMatchingTakesTheModelFromTheOpenSequenceEditor) {
    addSequence(QStringLiteral("S1"), {QStringLiteral("Pol")});
    addSequence(QStringLiteral("S2"), {QStringLiteral("Pol")});
    frmMESeq& e = open(QStringLiteral("S1"));
    choose(e.dcboSeq, QStringLiteral("S2"));
    ASSERT_EQ(form<frmVexo>().dcboSeq->Text(), "S1");
    clearBoxes();
    answer({vbOK});
    form<frmMPairMatch>();
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("No curve data for 'S2'")});
    unload<frmMPairMatch>();
}
}   // namespace
