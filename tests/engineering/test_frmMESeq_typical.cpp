// Delete Unused Tests, Make Typical and Do Typical as an engineer runs them,
// checked in the rows stored.
#include "common/frmMultiButton.h"
#include "common/frmPrompt.h"
#include "engineering/frmMESys.h"
#include "supervisor/frmMTypical.h"
#include "test_editor/frmMETestResponse.h"
#include "tests/engineering/SeqEditorRig.h"

namespace {
class SeqTypicalTest : public SeqEditorTest {
protected:
    // The engineer's answers to the unused-test questions, button by letter;
    // the headers asked are collected.
    void answerUnused(const QString& iLetters) {
        for (const QChar c : iLetters)
            expectModal<frmMultiButton>([this, c](frmMultiButton& f) {
                mAsked << f.Caption();
                for (int i = 0; i < 4; ++i)
                    if (f.cmdCmd(i).Caption().contains(QLatin1Char('&') + c)) {
                        drive::click(&f.cmdCmd(i));
                        return;
                    }
                ADD_FAILURE() << "no button " << QString(c).toStdString();
            });
    }
    static QStringList testNames() {
        QStringList out;
        auto rs = OpenDatabase(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"));
        for (; !rs->EOF_(); rs->MoveNext()) out << CStr(rs->field(QStringLiteral("Test_Name")));
        return out;
    }
    static Variant testField(const QString& iTest, const QString& iField) {
        auto rs = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"))
                      .OpenRecordset(QStringLiteral("SELECT * FROM vexo_tst WHERE Test_Name = ? COLLATE BINARY"), {Variant(iTest)});
        return rs->EOF_() ? Variant::null() : rs->field(iField);
    }
    // Logged curves as the batch counts them (no points: their levels are not read here).
    static void logCurves(const QString& iModel, int iCount) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
        for (int i = 1; i <= iCount; ++i)
            db.Execute(QStringLiteral("INSERT INTO vexo_crv (Model_Name, Serial_Number, Swp_Point) VALUES (?, ?, 0)"),
                       {Variant(iModel), Variant(int32_t(i))});
    }
    static QStringList curveModels() {
        QStringList out;
        auto rs = OpenDatabase(QStringLiteral("Vexo_Crv.mdb")).OpenRecordset(QStringLiteral("vexo_crv"));
        for (; !rs->EOF_(); rs->MoveNext()) out << CStr(rs->field(QStringLiteral("Model_Name")));
        return out;
    }
    QStringList mAsked;
};

TEST_F(SeqTypicalTest, DeleteUnusedTestsAsksForEachUnusedTestAndDeletesWhatIsAnswered) {
    for (const char* n : {"A", "B", "C", "D"}) addTest(QString::fromLatin1(n), QStringLiteral("Polarity"));
    addSequence(QStringLiteral("S"), {QStringLiteral("Resp"), QStringLiteral("Pol"), QStringLiteral("Sine"), QStringLiteral("A")});
    frmMESeq& e = open();
    answerUnused(QStringLiteral("YNC"));
    press(e, Qt::Key_U);
    EXPECT_EQ(mAsked, (QStringList{"Delete Unused Test 'B'", "Delete Unused Test 'C'", "Delete Unused Test 'D'"}));
    EXPECT_EQ(testNames(), (QStringList{"Resp", "Pol", "Sine", "A", "C", "D"}));
    EXPECT_FALSE(isLoaded<frmPrompt>());
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();
    EXPECT_LT(form<frmVexo>().dtaTest.Recordset().RecordCount(), 7);

    // Delete All at the first: every later unused test goes without a question.
    mAsked.clear();
    answerUnused(QStringLiteral("A"));
    press(e, Qt::Key_U);
    EXPECT_EQ(mAsked, QStringList{"Delete Unused Test 'C'"});
    EXPECT_EQ(testNames(), (QStringList{"Resp", "Pol", "Sine", "A"}));

    // All used: the notices, then the message, and the notice window gone.
    press(e, Qt::Key_U);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "No unused tests found");
    EXPECT_EQ(boxes()[0].title, "Delete Unused Tests");
    EXPECT_FALSE(isLoaded<frmPrompt>());
    EXPECT_EQ(testNames().size(), 4);
}

TEST_F(SeqTypicalTest, ATestAddedButNotSavedIsOfferedForSavingBeforeTheWalk) {
    addTest(QStringLiteral("B"), QStringLiteral("Polarity"));
    addSequence(QStringLiteral("S"), {QStringLiteral("Resp"), QStringLiteral("Pol"), QStringLiteral("Sine")});
    frmMESeq& e = open();
    addTests(e, {QStringLiteral("B")});
    answer({vbCancel});
    press(e, Qt::Key_U);
    EXPECT_EQ(prompts(), QStringList{"Save the changes to the sequence S?"});
    EXPECT_TRUE(modals().isEmpty() || !modals().contains(QStringLiteral("frmMultiButton")));
    EXPECT_TRUE(testNames().contains(QStringLiteral("B")));
    EXPECT_EQ(entries(*e.lstTest).size(), 4);

    clearBoxes();
    answer({vbYes});
    press(e, Qt::Key_U);
    // Saved first, so B is used: no question, nothing deleted.
    EXPECT_EQ(slotsOf(QStringLiteral("S"))[3], "B");
    EXPECT_TRUE(testNames().contains(QStringLiteral("B")));
    EXPECT_EQ(prompts().last(), "No unused tests found");
}

TEST_F(SeqTypicalTest, ATestEditorThatKeepsItsEditsOpenEndsTheWalk) {
    addTest(QStringLiteral("B"), QStringLiteral("Polarity"));
    addSequence(QStringLiteral("S"), {QStringLiteral("Resp"), QStringLiteral("Pol"), QStringLiteral("Sine")});
    frmMESeq& e = open();
    frmMETest& t = form<frmMETest>();
    t.Show();
    activate(t);
    retype(*t.txtDelay, QStringLiteral("0.4"));
    answer({vbCancel});   // the test editor's own save question
    press(e, Qt::Key_U);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].answers, (QList<int>{vbYes, vbNo, vbCancel}));
    EXPECT_TRUE(isLoaded<frmMETest>());
    EXPECT_TRUE(mAsked.isEmpty());
    EXPECT_TRUE(testNames().contains(QStringLiteral("B")));
    EXPECT_FALSE(prompts().contains(QStringLiteral("No unused tests found")));
}

class MakeTypicalTest : public SeqTypicalTest {
protected:
    frmMESeq& openSource() {
        seed::add(seed::ResponseTest{.name = QStringLiteral("R"), .fLo = 20, .fHi = 20000, .points = 100,
                                     .layers = {{.fLo = 45, .fHi = 18000, .lim = 1.0f},
                                                {.fLo = 100, .fHi = 10000, .fMLo = 500, .fMHi = 600, .pt = 3, .lim = 2.0f}}});
        seed::add(seed::Sequence{.name = QStringLiteral("Model"), .tests = {"Pol", "R"}, .calInterval = 1.5,
                                 .lastCal = 45000.0, .refLim = 2.0f, .selLim = 1.0f, .serial = 77,
                                 .logDisc = QStringLiteral("None"), .prompt = QStringLiteral("p.txt"),
                                 .micLevels = {11, 22}});
        exec(QStringLiteral("UPDATE vexo_seq SET Main_Resp = ' '"));
        logCurves(QStringLiteral("Typical"), 3);
        logCurves(QStringLiteral("Model"), 2);
        logCurves(QStringLiteral("typical"), 1);
        return open(QStringLiteral("Model"));
    }
};

TEST_F(MakeTypicalTest, BuildsTheTypicalSequenceAndTestFromTheFirstResponseTestAndEmptiesTheBatch) {
    frmMESeq& e = openSource();
    logCurves(QStringLiteral("Typical"), 2);   // logged after the editor opened
    ASSERT_TRUE(e.mnuPairTypMakeTypical->Enabled());
    e.mnuPairTypMakeTypical->fireClick();
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();

    const QString t = QStringLiteral("Typical");
    QStringList expected(16, QString());
    expected[0] = t;
    EXPECT_EQ(slotsOf(t), expected);
    EXPECT_EQ(CInt(field(t, QStringLiteral("Test_No"))), 1);
    EXPECT_EQ(CStr(field(t, QStringLiteral("Main_Resp"))), t);
    EXPECT_EQ(CStr(field(t, QStringLiteral("Log_Disc"))), "Pass");
    EXPECT_EQ(CStr(field(t, QStringLiteral("Serial_Flag"))), "Pass");
    EXPECT_EQ(CStr(field(t, QStringLiteral("Prompt_File"))), "");
    EXPECT_FLOAT_EQ(CSng(field(t, QStringLiteral("Ref_Lim"))), 0.0f);
    EXPECT_FLOAT_EQ(CSng(field(t, QStringLiteral("Sel_Lim"))), 0.0f);
    EXPECT_DOUBLE_EQ(CDbl(field(t, QStringLiteral("Cali_ETime"))), 1.5);
    EXPECT_EQ(CDate(field(t, QStringLiteral("Last_Cali"))), 0.0);
    EXPECT_EQ(CLng(field(t, QStringLiteral("Serial_No"))), 77);
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(rows(calTable(k), t), 1) << k;

    EXPECT_EQ(CStr(testField(t, QStringLiteral("Test_Type"))), "Response");
    EXPECT_EQ(CInt(testField(t, QStringLiteral("Swp_Point"))), 100);
    EXPECT_EQ(CInt(testField(t, QStringLiteral("Layer1_On"))), 1);
    EXPECT_EQ(CInt(testField(t, QStringLiteral("Layer1_Pt#"))), 1);
    EXPECT_EQ(CLng(testField(t, QStringLiteral("Layer1_fLo"))), 45);
    EXPECT_EQ(CLng(testField(t, QStringLiteral("Layer1_fHi"))), 18000);
    EXPECT_EQ(CLng(testField(t, QStringLiteral("Layer1_fMLo"))), 0);
    EXPECT_EQ(CLng(testField(t, QStringLiteral("Layer1_fMHi"))), 0);
    EXPECT_FLOAT_EQ(CSng(testField(t, QStringLiteral("Layer1_Lim"))), 6.0f);
    for (int n = 2; n <= 6; ++n) EXPECT_EQ(CInt(testField(t, QStringLiteral("Layer%1_On").arg(n))), 0) << n;
    EXPECT_EQ(CLng(testField(QStringLiteral("R"), QStringLiteral("Layer2_fMLo"))), 500);   // the source untouched

    EXPECT_EQ(curveModels(), (QStringList{"Model", "Model", "typical"}));
    EXPECT_FALSE(isLoaded<frmMETest>());   // the copy needs no test editor
    EXPECT_EQ(e.dcboSeq->Text(), t);
    EXPECT_EQ(e.lblLabel1->Caption(), t);
    EXPECT_TRUE(e.mnuPairTypDoTypical->Enabled());
    EXPECT_EQ(form<frmVexo>().dcboSeq->Text(), t);

    // A second run from the source replaces everything, the curves logged
    // meanwhile too; the open test editor lists the new typical test.
    logCurves(t, 4);
    choose(e.dcboSeq, QStringLiteral("Model"));
    frmMETest& editor = form<frmMETest>();
    editor.Show();
    activate(e);
    e.mnuPairTypMakeTypical->fireClick();
    EXPECT_GE(editor.dcboTest->findText(t), 0);
    EXPECT_EQ(rows(QStringLiteral("vexo_seq"), t), 1);
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(rows(calTable(k), t), 1) << k;
    EXPECT_EQ(testNames().count(t), 1);
    EXPECT_EQ(curveModels().count(t), 0);
    EXPECT_EQ(form<frmVexo>().dcboSeq->Text(), t);
}

TEST_F(MakeTypicalTest, MakingItAgainAsksAboutTheOpenTestEditorsEditsBeforeTheOldTypicalTestGoes) {
    frmMESeq& e = openSource();
    seed::completeTests();
    e.mnuPairTypMakeTypical->fireClick();
    choose(e.dcboSeq, QStringLiteral("Model"));
    // The test editor on the source test, a layer limit typed in its window.
    frmMETest& editor = form<frmMETest>();
    editor.Show();
    choose(editor.dcboTest, QStringLiteral("R"));
    ASSERT_TRUE(isLoaded<frmMETestResponse>());
    frmMETestResponse& r = form<frmMETestResponse>();
    activate(r);
    TextBox& limit = r.txtLyrLim(0);
    limit.SetFocus();
    limit.setSelStart(0);
    limit.setSelLength(int32_t(limit.Text().size()));
    drive::type(QStringLiteral("4.5"));
    r.txtLyrBlock(0).SetFocus();
    activate(e);
    clearBoxes();
    // Yes to the typed limit; the bands the window then snaps to this sweep's
    // points are asked about again and dropped.
    answer({vbYes, vbNo, vbNo});
    e.mnuPairTypMakeTypical->fireClick();
    ASSERT_FALSE(prompts().isEmpty());
    EXPECT_EQ(prompts().first(), "Save changes to the test R?");
    EXPECT_FLOAT_EQ(CSng(testField(QStringLiteral("R"), QStringLiteral("Layer1_Lim"))), 4.5f);
    EXPECT_EQ(testNames().count(QStringLiteral("Typical")), 1);
}

TEST_F(MakeTypicalTest, ASequenceNamedTypicalInOtherLettersIsKeptAndNothingIsMade) {
    frmMESeq& e = openSource();
    addSequence(QStringLiteral("typical"), {QStringLiteral("Pol")});
    const long sequences = rows(QStringLiteral("vexo_seq"));
    answer({vbOK});
    e.mnuPairTypMakeTypical->fireClick();
    EXPECT_EQ(prompts(), QStringList{"The sequence 'typical' holds the name Typical: save it under another name first"});
    EXPECT_EQ(rows(QStringLiteral("vexo_seq")), sequences);
    EXPECT_EQ(slotsOf(QStringLiteral("typical")).first(), "Pol");
    EXPECT_FALSE(testNames().contains(QStringLiteral("Typical")));
    EXPECT_EQ(curveModels().count(QStringLiteral("Typical")), 3);
    EXPECT_EQ(e.dcboSeq->Text(), "Model");
}

TEST_F(MakeTypicalTest, MainRespNamingAResponseTestIsTheSource) {
    seed::add(seed::ResponseTest{.name = QStringLiteral("R2"), .fLo = 50, .fHi = 5000, .points = 60,
                                 .layers = {{.fLo = 300, .fHi = 900, .lim = 3.0f}}});
    frmMESeq& e = openSource();
    exec(QStringLiteral("UPDATE vexo_seq SET Main_Resp = 'R2', Test_No = 3, Test_03 = 'R2'"));
    e.mnuPairTypMakeTypical->fireClick();
    const QString t = QStringLiteral("Typical");
    EXPECT_EQ(CInt(testField(t, QStringLiteral("Swp_Point"))), 60);
    EXPECT_EQ(CLng(testField(t, QStringLiteral("Layer1_fLo"))), 300);
    EXPECT_EQ(CLng(testField(t, QStringLiteral("Layer1_fHi"))), 900);
}

TEST_F(MakeTypicalTest, CancelAtTheSaveQuestionChangesNothing) {
    frmMESeq& e = openSource();
    retype(*e.txtSelLim, QStringLiteral("3"));
    answer({vbCancel});
    e.mnuPairTypMakeTypical->fireClick();
    EXPECT_EQ(prompts(), QStringList{"Save the changes to the sequence Model?"});
    EXPECT_TRUE(field(QStringLiteral("Typical"), QStringLiteral("Seq_Name")).isNull());
    EXPECT_FALSE(testNames().contains(QStringLiteral("Typical")));
    EXPECT_EQ(curveModels().count(QStringLiteral("Typical")), 3);
    EXPECT_EQ(e.txtSelLim->Text(), "3.0");
}

TEST_F(MakeTypicalTest, DoTypicalClosesTheTestEditorAndHidesTheEditorWhileTheFinderIsOpen) {
    frmMESeq& e = openSource();
    e.mnuPairTypMakeTypical->fireClick();
    form<frmMETest>().Show();
    ASSERT_TRUE(form<frmVexo>().gbTraboMETestLoaded);
    bool bHidden = false;
    expectModal<frmMTypical>([&](frmMTypical& f) {
        bHidden = !e.isVisible();
        f.Hide();
    });
    e.mnuPairTypDoTypical->fireClick();
    EXPECT_TRUE(bHidden);
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_TRUE(e.isVisible());
}
}
