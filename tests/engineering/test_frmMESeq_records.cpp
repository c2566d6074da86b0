// The record cycle as an engineer drives it: saving with keys, moving with
// edits pending, New, Save As and Delete, and what the main window follows.
#include "tests/engineering/SeqEditorRig.h"
#include <QApplication>
#include <QEvent>
#include <utility>

namespace {
class SeqRecordTest : public SeqEditorTest {};

TEST_F(SeqRecordTest, CtrlSWritesTheListIntervalAndLimitAndTheMainWindowStaysOnTheSequence) {
    addSequence(QStringLiteral("S1"), {QStringLiteral("Pol")});
    seed::add(seed::Sequence{.name = QStringLiteral("S2"), .lastCal = 45000.0});
    frmMESeq& e = open(QStringLiteral("S2"));
    EXPECT_EQ(e.dcboSeq->Text(), "S2");
    EXPECT_FALSE(e.txtCaliDays->isVisible());   // no response test yet

    addTests(e, {QStringLiteral("Resp")});
    ASSERT_TRUE(e.txtCaliDays->isVisible());
    e.txtCaliDays->SetFocus();
    retype(*e.txtCaliDays, QStringLiteral("01"));
    drive::key(Qt::Key_Tab);
    drive::type(QStringLiteral("12"));
    drive::key(Qt::Key_Tab);
    drive::type(QStringLiteral("30"));
    retype(*e.txtSelLim, QStringLiteral("2.5"));
    EXPECT_TRUE(e.mnuFileReset->Enabled());
    press(e, Qt::Key_S);

    EXPECT_NEAR(CDbl(field(QStringLiteral("S2"), QStringLiteral("Cali_ETime"))), 1.0 + 12.0 / 24 + 30.0 / 1440, 1e-9);
    QStringList expected(16, QStringLiteral(" "));
    expected[0] = QStringLiteral("Resp");
    EXPECT_EQ(slotsOf(QStringLiteral("S2")), expected);
    EXPECT_EQ(CInt(field(QStringLiteral("S2"), QStringLiteral("Test_No"))), 1);
    EXPECT_EQ(CDate(field(QStringLiteral("S2"), QStringLiteral("Last_Cali"))), 0.0);
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S2"), QStringLiteral("Sel_Lim"))), 2.5f);
    EXPECT_FALSE(e.mnuFileReset->Enabled());
    EXPECT_EQ(e.txtCaliHours->Text(), "12");
    frmVexo& f = form<frmVexo>();
    EXPECT_EQ(f.dcboSeq->Text(), "S2");
    EXPECT_EQ(CStr(f.dtaSeq.Recordset().field(QStringLiteral("Seq_Name"))), "S2");
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();
}

// Acts once on the sequence editor as it first shows, which is while it loads
// and before it reads its sequences: no key or click can break a load half way.
class OnEditorShown : public QObject {
public:
    explicit OnEditorShown(std::function<void(frmMESeq&)> iAct) : mAct(std::move(iAct)) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* iObject, QEvent* iEvent) override {
        if (iEvent->type() == QEvent::Show && mAct)
            if (auto* e = dynamic_cast<frmMESeq*>(iObject)) std::exchange(mAct, nullptr)(*e);
        return false;
    }

private:
    std::function<void(frmMESeq&)> mAct;
};

// Loading stops at an error (answered Abort) after the sequence is read: the
// window shows it, tests and all, and Ctrl+S still writes the engineer's next
// edit without losing them.
TEST_F(SeqRecordTest, AfterALoadErrorTheShownSequenceIsStillSavedWithCtrlS) {
    // The list's field is damaged for good: the load stops, and each later
    // move cannot name the sequence in the combo box, whose list stays empty.
    allowErrors({QStringLiteral("Item not found in this collection ('No_Such_Field' in 'vexo_seq')"),
                 QStringLiteral("'Text' property is read-only")});
    addSequence(QStringLiteral("S1"), {QStringLiteral("Resp")}, 1.0f, 1.0f);
    start();
    clearBoxes();
    // The list of sequence names cannot be read.
    OnEditorShown breakList([](frmMESeq& e) { e.dcboSeq->setListField(QStringLiteral("No_Such_Field")); });
    frmMESeq& e = form<frmMESeq>();
    e.Show();
    activate(e);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains(QStringLiteral("Form_Load"))) << prompts().join('|').toStdString();
    ASSERT_EQ(e.lblLabel1->Caption(), "S1");

    retype(*e.txtSelLim, QStringLiteral("2.5"));
    press(e, Qt::Key_S);
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S1"), QStringLiteral("Sel_Lim"))), 2.5f)
        << prompts().join('|').toStdString();
    EXPECT_EQ(slotsOf(QStringLiteral("S1")).first(), "Resp");
    EXPECT_EQ(CInt(field(QStringLiteral("S1"), QStringLiteral("Test_No"))), 1);
}

// A sequence whose display stops at an error (a damaged test count) shows a
// test list that is not its own: saving it, by Ctrl+S or by Yes when leaving
// it, would blank its tests. It is refused with a notice and nothing is written.
TEST_F(SeqRecordTest, ASequenceShownOnlyInPartIsNeverSavedOverItsTests) {
    allowErrors({QStringLiteral("Source: frmMESeq.dtaSeq_Reposition.20")});   // the count "two" read
    addSequence(QStringLiteral("S1"), {QStringLiteral("Resp"), QStringLiteral("Pol")}, 1.0f, 1.0f);
    addSequence(QStringLiteral("S2"), {QStringLiteral("Resp")}, 1.0f, 1.0f);
    OpenDatabase(QStringLiteral("Vexo_Seq.mdb"))
        .Execute(QStringLiteral("UPDATE vexo_seq SET Test_No = 'two' WHERE Seq_Name = 'S1'"));
    frmMESeq& e = open(QStringLiteral("S2"));
    choose(e.dcboSeq, QStringLiteral("S1"));
    ASSERT_EQ(e.lblLabel1->Caption(), "S1");
    ASSERT_FALSE(boxes().isEmpty());
    clearBoxes();

    retype(*e.txtSelLim, QStringLiteral("2.5"));
    answer({vbOK});
    press(e, Qt::Key_S);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("The sequence S1 could not be shown whole, so it is not saved: "
                                                    "its tests would be lost. Close the window and open it again.")});
    clearBoxes();
    answer({vbOK});
    choose(e.dcboSeq, QStringLiteral("S2"));   // leaving with the edit pending: no question, the notice
    EXPECT_EQ(prompts().size(), 1) << prompts().join('|').toStdString();
    EXPECT_EQ(e.lblLabel1->Caption(), "S2");
    const QStringList stored = slotsOf(QStringLiteral("S1"));
    EXPECT_EQ(stored.mid(0, 2), (QStringList{QStringLiteral("Resp"), QStringLiteral("Pol")}));
    EXPECT_EQ(CStr(field(QStringLiteral("S1"), QStringLiteral("Test_No"))), "two");
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S1"), QStringLiteral("Sel_Lim"))), 1.0f);
}

TEST_F(SeqRecordTest, PickingAnotherSequenceAfterAnEditAsksAndCancelNoYesActAsAnswered) {
    addSequence(QStringLiteral("S1"), {QStringLiteral("Resp")}, 1.0f, 1.0f);
    addSequence(QStringLiteral("S2"), {QStringLiteral("Resp")}, 1.0f, 1.0f);
    frmMESeq& e = open(QStringLiteral("S2"));
    retype(*e.txtSelLim, QStringLiteral("3.5"));

    answer({vbCancel});
    choose(e.dcboSeq, QStringLiteral("S1"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Save the changes to the sequence S2?");
    EXPECT_EQ(boxes()[0].title, "Sequence Save");
    EXPECT_EQ(e.dcboSeq->Text(), "S2");
    EXPECT_EQ(e.lblLabel1->Caption(), "S2");
    EXPECT_EQ(e.txtSelLim->Text(), "3.5");

    answer({vbNo});
    choose(e.dcboSeq, QStringLiteral("S1"));
    EXPECT_EQ(e.lblLabel1->Caption(), "S1");
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S2"), QStringLiteral("Sel_Lim"))), 1.0f);

    retype(*e.txtSelLim, QStringLiteral("4.5"));
    answer({vbYes});
    choose(e.dcboSeq, QStringLiteral("S2"));
    EXPECT_EQ(e.lblLabel1->Caption(), "S2");
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S1"), QStringLiteral("Sel_Lim"))), 4.5f);
    EXPECT_EQ(boxes().size(), 3);
    // Ctrl+R drops an edit without asking and shows the stored value again.
    retype(*e.txtSelLim, QStringLiteral("7"));
    EXPECT_TRUE(e.mnuFileReset->Enabled());
    press(e, Qt::Key_R);
    EXPECT_EQ(e.txtSelLim->Text(), "1");
    EXPECT_FALSE(e.mnuFileReset->Enabled());
    EXPECT_EQ(boxes().size(), 3);
    // The main window follows the sequence saved.
    EXPECT_EQ(form<frmVexo>().dcboSeq->Text(), "S1");
    EXPECT_EQ(CStr(form<frmVexo>().dtaSeq.Recordset().field(QStringLiteral("Seq_Name"))), "S1");
}

TEST_F(SeqRecordTest, ClosingWithAnUnsavedListCancelKeepsTheWindowNoDropsTheList) {
    addSequence(QStringLiteral("S1"), {QStringLiteral("Pol")});
    frmMESeq& e = open();
    addTests(e, {QStringLiteral("Sine")});
    answer({vbCancel});
    e.mnuFileExit->fireClick();
    ASSERT_TRUE(isLoaded<frmMESeq>());
    EXPECT_EQ(entries(*e.lstTest), (QStringList{QStringLiteral("Pol"), QStringLiteral("Sine")}));
    answer({vbNo});
    EXPECT_TRUE(unload<frmMESeq>());
    EXPECT_EQ(CInt(field(QStringLiteral("S1"), QStringLiteral("Test_No"))), 1);
    EXPECT_EQ(boxes().size(), 2) << prompts().join('|').toStdString();
    EXPECT_TRUE(form<frmVexo>().cmdSupervisor->Enabled());
}

TEST_F(SeqRecordTest, NewWritesTheSequenceAndSixteenBlankRowsAndHonoursCancel) {
    addSequence(QStringLiteral("S1"), {QStringLiteral("Pol")});
    addSequence(QStringLiteral("S2"), {QStringLiteral("Resp")}, 0.0f, 1.0f);
    frmMESeq& e = open(QStringLiteral("S2"));

    // Cancel at the save question ends New before the name dialog, edits kept.
    retype(*e.txtSelLim, QStringLiteral("2"));
    answer({vbCancel});
    press(e, Qt::Key_N);
    EXPECT_TRUE(modals().isEmpty());
    // The box's own check ran first and showed the value in its format.
    EXPECT_EQ(e.txtSelLim->Text(), "2.0");
    EXPECT_TRUE(e.mnuFileReset->Enabled());

    answer({vbNo});
    nameAs(QStringLiteral("NEW1"));
    press(e, Qt::Key_N);
    ASSERT_FALSE(field(QStringLiteral("NEW1"), QStringLiteral("Seq_Name")).isNull());
    EXPECT_EQ(CStr(field(QStringLiteral("NEW1"), QStringLiteral("Log_Disc"))), "None");
    EXPECT_EQ(CStr(field(QStringLiteral("NEW1"), QStringLiteral("Main_Resp"))), " ");
    EXPECT_EQ(CInt(field(QStringLiteral("NEW1"), QStringLiteral("Test_No"))), 0);
    EXPECT_EQ(CDbl(field(QStringLiteral("NEW1"), QStringLiteral("Cali_ETime"))), 0.0);
    for (int k = 1; k <= 16; ++k) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("SELECT * FROM ") + calTable(k) + QStringLiteral(" WHERE Seq_Name = ?"),
                                   {Variant("NEW1")});
        ASSERT_EQ(rs->RecordCount(), 1) << k;
        EXPECT_EQ(CStr(rs->field(QStringLiteral("Test_Name"))), " ");
        EXPECT_EQ(CLng(rs->field(QStringLiteral("AttIn"))), 0);
        EXPECT_TRUE(rs->field(QStringLiteral("Ref_01_025")).isNull());
    }
    EXPECT_EQ(e.lblLabel1->Caption(), "NEW1");
    EXPECT_EQ(e.lstTest->count(), 0);
    EXPECT_TRUE(e.cmdTestAdd->HasFocus());
    EXPECT_FALSE(e.cmdTestUp->Enabled());
    EXPECT_FALSE(e.cmdTestDown->Enabled());
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S2"), QStringLiteral("Sel_Lim"))), 1.0f);
    // The main window keeps the sequence it showed and knows the new one.
    EXPECT_EQ(form<frmVexo>().dcboSeq->Text(), "S2");
    EXPECT_GE(form<frmVexo>().dcboSeq->findText(QStringLiteral("NEW1")), 0);
}

TEST_F(SeqRecordTest, NewRefusesWithoutRoomAndWritesNothingWhenARowCannotBeWritten) {
    for (int i = 1; i <= 127; ++i) addSequence(QStringLiteral("Q%1").arg(i), {QStringLiteral("Pol")});
    frmMESeq& e = open();
    // A leftover row of the name in one calibration table.
    exec(QStringLiteral("INSERT INTO vexo_seq_cal09 (Seq_Name, Test_Name, AttIn) VALUES ('NEW1', ' ', 0)"));
    nameAs(QStringLiteral("NEW1"));
    answer({vbAbort, vbNo});   // the write's error, and no bug report
    press(e, Qt::Key_N);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains(QStringLiteral("UNIQUE constraint failed: vexo_seq_cal09.Seq_Name")))
        << prompts().join('|').toStdString();
    EXPECT_TRUE(field(QStringLiteral("NEW1"), QStringLiteral("Seq_Name")).isNull());
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(rows(calTable(k), QStringLiteral("NEW1")), k == 9 ? 1 : 0) << k;
    EXPECT_EQ(rows(QStringLiteral("vexo_seq")), 127);

    addSequence(QStringLiteral("Q128"), {QStringLiteral("Pol")});
    e.dtaSeq.Refresh();
    clearBoxes();
    press(e, Qt::Key_N);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("No room to add a sequence")});
    EXPECT_EQ(rows(QStringLiteral("vexo_seq")), 128);
}

TEST_F(SeqRecordTest, AnEmptyStationShowsNothingAndItsFirstNewMakesTheFileItemsUsable) {
    frmMESeq& e = open();
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();
    EXPECT_EQ(e.dcboSeq->Text(), "");
    EXPECT_TRUE(e.mnuFileNew->Enabled());
    EXPECT_TRUE(e.mnuFileDeleteUnusedTests->Enabled());
    EXPECT_TRUE(e.mnuFileExit->Enabled());
    EXPECT_FALSE(e.mnuFileDelete->Enabled());
    EXPECT_FALSE(e.mnuFileSave->Enabled());
    EXPECT_FALSE(e.mnuFileSaveAs->Enabled());
    EXPECT_FALSE(e.cmdTestAdd->Enabled());

    nameAs(QStringLiteral("First"));
    press(e, Qt::Key_N);
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();
    EXPECT_EQ(e.lblLabel1->Caption(), "First");
    EXPECT_TRUE(e.mnuFileSave->Enabled());
    EXPECT_TRUE(e.mnuFileSaveAs->Enabled());
    EXPECT_FALSE(e.mnuFileDelete->Enabled());
    EXPECT_EQ(form<frmVexo>().dcboSeq->Text(), "First");
    addTests(e, {QStringLiteral("Pol")});
    press(e, Qt::Key_S);
    EXPECT_EQ(slotsOf(QStringLiteral("First"))[0], "Pol");
}

TEST_F(SeqRecordTest, SaveAsAndDeleteWorkOnQuotedNamesAndMissingRowsAllOrNothing) {
    // The calibration row deleted below.
    allowErrors({QStringLiteral("Calibration row of sequence 'Bob's' not found in vexo_seq_cal05")});
    addSequence(QStringLiteral("A"), {QStringLiteral("Pol")});
    seed::add(seed::Sequence{.name = QStringLiteral("Bob's"), .tests = {QStringLiteral("Resp"), QStringLiteral("Pol")},
                             .lastCal = 45000.0, .micLevels = {7, 8, 9, 10, 11}});
    exec(QStringLiteral("DELETE FROM vexo_seq_cal05 WHERE Seq_Name = ?"), {Variant("Bob's")});
    frmMESeq& e = open(QStringLiteral("Bob's"));
    ASSERT_EQ(e.lblLabel1->Caption(), "Bob's");

    nameAs(QStringLiteral("Bob's copy"));
    press(e, Qt::Key_A);
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();
    const QString copy = QStringLiteral("Bob's copy");
    EXPECT_EQ(e.lblLabel1->Caption(), copy) << prompts().join('|').toStdString();
    ASSERT_FALSE(field(copy, QStringLiteral("Seq_Name")).isNull());
    EXPECT_EQ(slotsOf(copy).mid(0, 2), (QStringList{QStringLiteral("Resp"), QStringLiteral("Pol")}));
    EXPECT_EQ(CDate(field(copy, QStringLiteral("Last_Cali"))), 0.0);
    for (int k = 1; k <= 16; ++k) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("SELECT * FROM ") + calTable(k) + QStringLiteral(" WHERE Seq_Name = ?"),
                                   {Variant(copy)});
        ASSERT_EQ(rs->RecordCount(), 1) << k;
        EXPECT_EQ(CLng(rs->field(QStringLiteral("AttIn"))), k == 5 ? 0 : (k <= 4 ? 6 + k : 0)) << k;
    }
    EXPECT_EQ(form<frmVexo>().dcboSeq->Text(), copy);

    // Delete the original: its rows go, the missing one is passed over.
    choose(e.dcboSeq, QStringLiteral("Bob's"));
    clearBoxes();
    answer({vbYes});
    press(e, Qt::Key_D);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral("Delete the sequence 'Bob's'?")});
    EXPECT_TRUE(field(QStringLiteral("Bob's"), QStringLiteral("Seq_Name")).isNull());
    for (int k = 1; k <= 16; ++k) {
        EXPECT_EQ(rows(calTable(k), QStringLiteral("Bob's")), 0) << k;
        EXPECT_EQ(rows(calTable(k), copy), 1) << k;
        EXPECT_EQ(rows(calTable(k), QStringLiteral("A")), 1) << k;
    }
    EXPECT_EQ(e.lblLabel1->Caption(), "A");
    EXPECT_EQ(form<frmVexo>().dcboSeq->Text(), "A");
    EXPECT_EQ(CStr(form<frmVexo>().dtaSeq.Recordset().field(QStringLiteral("Seq_Name"))), "A");

    // Down to one sequence: neither the item nor the combo's Delete key deletes.
    answer({vbYes});
    press(e, Qt::Key_D);
    EXPECT_FALSE(e.mnuFileDelete->Enabled());
    const int shown = boxes().size();
    e.dcboSeq->SetFocus();
    drive::key(Qt::Key_Delete);
    EXPECT_EQ(boxes().size(), shown);
    EXPECT_EQ(rows(QStringLiteral("vexo_seq")), 1);
}

TEST_F(SeqRecordTest, TheForceFlagClearsTheLastCalibrationOnlyWhenAResponseTestIsAddedAndSaved) {
    seed::add(seed::Sequence{.name = QStringLiteral("P"), .tests = {QStringLiteral("Pol")}, .lastCal = 45000.0});
    seed::add(seed::Sequence{.name = QStringLiteral("R"), .tests = {QStringLiteral("Pol")}, .lastCal = 45000.0});
    frmMESeq& e = open(QStringLiteral("P"));
    addTests(e, {QStringLiteral("Sine")});
    press(e, Qt::Key_S);
    EXPECT_EQ(CDate(field(QStringLiteral("P"), QStringLiteral("Last_Cali"))), 45000.0);

    addTests(e, {QStringLiteral("Resp")});
    answer({vbNo});
    choose(e.dcboSeq, QStringLiteral("R"));
    retype(*e.txtSelLim, QStringLiteral("1"));
    answer({vbYes});
    choose(e.dcboSeq, QStringLiteral("P"));
    EXPECT_EQ(CDate(field(QStringLiteral("R"), QStringLiteral("Last_Cali"))), 45000.0);
    EXPECT_EQ(CDate(field(QStringLiteral("P"), QStringLiteral("Last_Cali"))), 45000.0);

    addTests(e, {QStringLiteral("Resp")});
    press(e, Qt::Key_S);
    EXPECT_EQ(CDate(field(QStringLiteral("P"), QStringLiteral("Last_Cali"))), 0.0);
}

TEST_F(SeqRecordTest, TheIntervalShowsWholeDaysHoursAndMinutes) {
    seed::add(seed::Sequence{.name = QStringLiteral("A"), .tests = {QStringLiteral("Resp")}, .calInterval = 1.0 + 2.0 / 24});
    seed::add(seed::Sequence{.name = QStringLiteral("B"), .tests = {QStringLiteral("Resp")}, .calInterval = 100.0});
    frmMESeq& e = open(QStringLiteral("A"));
    EXPECT_EQ(QStringList({e.txtCaliDays->Text(), e.txtCaliHours->Text(), e.txtCaliMins->Text()}),
              QStringList({"01", "02", "00"}));
    EXPECT_FALSE(e.mnuFileReset->Enabled());
    choose(e.dcboSeq, QStringLiteral("B"));
    EXPECT_EQ(QStringList({e.txtCaliDays->Text(), e.txtCaliHours->Text(), e.txtCaliMins->Text()}),
              QStringList({"100", "00", "00"}));
}
}   // namespace

TEST_F(SeqRecordTest, TheNameDialogListsEverySequenceStartsOnTheShownOneAndRefusesTakenNamesAndTypical) {
    addSequence(QStringLiteral("S1"), {QStringLiteral("Pol")});
    addSequence(QStringLiteral("S2"), {QStringLiteral("Resp")});
    frmMESeq& e = open(QStringLiteral("S1"));
    ASSERT_EQ(e.dcboSeq->Text(), "S1");
    const long before = rows(QStringLiteral("vexo_seq"));
    for (Qt::Key command : {Qt::Key_N, Qt::Key_A}) {
        SCOPED_TRACE(command == Qt::Key_N ? "New" : "Save As");
        expectModal<frmListAdd>([](frmListAdd& f) {
            EXPECT_EQ(entries(*f.lstList), (QStringList{"S1", "S2"}));
            EXPECT_EQ(f.txtList->Text(), "S1");
            EXPECT_FALSE(f.cmdOK->Enabled());
            for (const QString& name : {QStringLiteral("s1"), QStringLiteral("S2 "), QStringLiteral("Typical"),
                                        QStringLiteral("typical"), QStringLiteral("TYPICAL")}) {
                retype(*f.txtList, name);
                EXPECT_FALSE(f.cmdOK->Enabled()) << name.toStdString();
            }
            retype(*f.txtList, QStringLiteral("S3"));
            EXPECT_TRUE(f.cmdOK->Enabled());
            drive::click(f.cmdCancel);
        });
        press(e, command);
    }
    EXPECT_EQ(rows(QStringLiteral("vexo_seq")), before);
    EXPECT_TRUE(boxes().isEmpty());
}
