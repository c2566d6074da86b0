// The test editor's records as the engineer works them: the save question on
// a move, recalibration of the sequences that use a saved response test, New,
// Save As and Delete; checked in the rows stored.
#include "audio/modVOut.h"
#include "tests/support/TestEditorRig.h"

namespace {
class TestRecordsTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("R1"), .fLo = 100, .fHi = 10000, .delay = 0.1f,
                                     .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
        seed::add(seed::PolarityTest{.name = QStringLiteral("P1")});
        seed::add(seed::SineTest{.name = QStringLiteral("N1"), .opDecide = false, .loLim = -10.0f});
        seed::add(seed::Sequence{.name = QStringLiteral("S1"), .tests = {"R1", "P1"}, .lastCal = 46000.0});
        seed::add(seed::Sequence{.name = QStringLiteral("S2"), .tests = {"N1", "R1"}, .lastCal = 46000.0});
        seed::add(seed::Sequence{.name = QStringLiteral("S3"), .tests = {"P1"}, .lastCal = 46000.0});
        completeTests();
    }
    bool e = false;
};
}

TEST_F(TestRecordsTest, TheEditorOpensOnTheFirstTestWithItsWindow) {
    frmMETest& t = open();
    EXPECT_EQ(t.Caption(), "Test Maintenance");
    EXPECT_EQ(t.dcboTest->Text(), "R1");
    EXPECT_TRUE(isLoaded<frmMETestResponse>());
    EXPECT_TRUE(t.gbMETestResponseLoaded);
    EXPECT_FALSE(t.mnuFileReset->Enabled());
    EXPECT_TRUE(t.mnuFileDelete->Enabled());
    EXPECT_EQ(t.cmdRun->Caption(), "R&un");
    EXPECT_EQ(t.cmdRun->ToolTipText(), "Run Test");
    EXPECT_EQ(t.cmdReRun->Caption(), "R&e-Run");
    EXPECT_EQ(t.cmdReRun->ToolTipText(), "Run a 'fresh' Test");
    // Moving on without an edit asks nothing.
    pick(t, QStringLiteral("P1"));
    EXPECT_EQ(t.dcboTest->Text(), "P1");
    EXPECT_EQ(saveQuestions(), 0);
    EXPECT_FALSE(isLoaded<frmMETestResponse>());
    EXPECT_TRUE(isLoaded<frmMETestPolarity>());
}

TEST_F(TestRecordsTest, AMoveAsksOnceAndTheAnswerDecidesWhatIsWritten) {
    // Each answer edits to its own value, so that every edit is a change.
    struct Edit {
        const char* what;
        std::function<void(frmMETest&, int)> make;
        const char* field;
        QStringList edited;   // after Yes, No, Cancel
    };
    const QList<Edit> edits{
        {"bound delay", [](frmMETest& t, int i) { retype(*t.txtDelay, QStringList{"0.25", "0.35", "0.45"}[i]); },
         "Delay_s", {"0.25", "0.35", "0.45"}},
        {"unbound sweep type", [](frmMETest& t, int i) { choose(t.cboSweepType, QStringList{"Log Up", "Log Down", "Lin Up"}[i]); },
         "Swp_Type", {"Log Up", "Log Down", "Lin Up"}},
        {"unbound drive", [](frmMETest& t, int i) { retype(*t.txtDriveV, QStringList{"0.5", "0.6", "0.7"}[i]); },
         "Drive_V", {"0.5", "0.6", "0.7"}},
        {"type window measure box", [](frmMETest&, int) { tick(form<frmMETestSine>().chkPCDecide); }, "PC_Decide",
         {"True", "False", "False"}},
    };
    for (const Edit& edit : edits)
        for (int i = 0; i < 3; ++i) {
            const int answerGiven = QList<int>{vbYes, vbNo, vbCancel}[i];
            SCOPED_TRACE(std::string(edit.what) + " answer " + std::to_string(answerGiven));
            frmMETest& t = open();
            pick(t, QStringLiteral("N1"));
            const QStringList before = row(QStringLiteral("N1"));
            const QStringList others = row(QStringLiteral("R1"));
            const QString original = CStr(stored(QStringLiteral("N1"), QString::fromLatin1(edit.field)));
            edit.make(t, i);
            clearBoxes();
            answer({answerGiven});
            pick(t, QStringLiteral("P1"));
            EXPECT_EQ(saveQuestions(), 1);
            if (!boxes().isEmpty()) { EXPECT_EQ(boxes().first().prompt, "Save changes to the test N1?"); }
            if (!boxes().isEmpty()) { EXPECT_EQ(boxes().first().title, "Save Test N1"); }
            const QString now = CStr(stored(QStringLiteral("N1"), QString::fromLatin1(edit.field)));
            if (answerGiven == vbYes) {
                EXPECT_EQ(now, edit.edited[i]);
                EXPECT_EQ(t.dcboTest->Text(), "P1");
            } else if (answerGiven == vbNo) {
                EXPECT_EQ(row(QStringLiteral("N1")), before);
                EXPECT_EQ(t.dcboTest->Text(), "P1");
            } else {
                EXPECT_EQ(now, original);
                EXPECT_EQ(t.dcboTest->Text(), "N1");   // test, name and edits kept
                EXPECT_TRUE(isLoaded<frmMETestSine>());
                EXPECT_TRUE(t.mnuFileReset->Enabled());
            }
            EXPECT_EQ(row(QStringLiteral("R1")), others);
            if (answerGiven == vbCancel) answer({vbNo});   // closing asks again
            unload<frmMETest>();
            EXPECT_FALSE(isLoaded<frmMETestSine>());
            closeWindow();
        }
}

TEST_F(TestRecordsTest, YesWritesTheEditorsAndTheTypeWindowsFieldsInOneRow) {
    frmMETest& t = open();
    pick(t, QStringLiteral("N1"));
    retype(*t.txtDelay, QStringLiteral("0.3"));
    tick(form<frmMETestSine>().chkPCDecide);
    answer({vbYes});
    pick(t, QStringLiteral("P1"));
    EXPECT_EQ(saveQuestions(), 1);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("N1"), QStringLiteral("Delay_s"))), 0.3f);
    EXPECT_TRUE(CBool(stored(QStringLiteral("N1"), QStringLiteral("PC_Decide"))));
}

TEST_F(TestRecordsTest, AfterANoTheNextEditIsSavedAndAfterAYesTheNextIsAskedAbout) {
    frmMETest& t = open();
    retype(*t.txtDelay, QStringLiteral("0.2"));
    answer({vbNo});
    pick(t, QStringLiteral("P1"));
    retype(*t.txtDelay, QStringLiteral("0.5"));
    ctrl(Qt::Key_S);
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("P1"), QStringLiteral("Delay_s"))), 0.5f);

    pick(t, QStringLiteral("N1"));
    retype(*t.txtDelay, QStringLiteral("0.7"));
    answer({vbYes});
    pick(t, QStringLiteral("R1"));
    // A type-window edit after the Yes is asked about, not written unasked.
    clearBoxes();
    pick(t, QStringLiteral("N1"));
    tick(form<frmMETestSine>().chkPCDecide);
    answer({vbNo});
    pick(t, QStringLiteral("P1"));
    EXPECT_EQ(saveQuestions(), 1);
    EXPECT_FALSE(CBool(stored(QStringLiteral("N1"), QStringLiteral("PC_Decide"))));
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("N1"), QStringLiteral("Delay_s"))), 0.7f);
}

TEST_F(TestRecordsTest, SavingASweepDelayOrDriveChangeRecalibratesTheSequencesThatUseTheTest) {
    struct Change {
        const char* what;
        std::function<void(frmMETest&)> make;
    };
    const QList<Change> changes{
        {"low", [](frmMETest& t) { retype(*t.txtFLo, QStringLiteral("110")); }},
        {"high", [](frmMETest& t) { retype(*t.txtFHi, QStringLiteral("12000")); }},
        {"point", [](frmMETest& t) { retype(*t.txtPoint, QStringLiteral("50")); }},
        {"delay", [](frmMETest& t) { retype(*t.txtDelay, QStringLiteral("0.2")); }},
        {"drive", [](frmMETest& t) { retype(*t.txtDriveV, QStringLiteral("0.5")); }},
        {"active", [](frmMETest& t) { tick(t.chkActive); }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        // S1, S2 and S3 calibrated.
        const Database db = OpenDatabase(homeFile(QStringLiteral("Vexo_Seq.mdb")));
        db.Execute(QStringLiteral("UPDATE vexo_seq SET Last_Cali = 46000"));
        frmMETest& t = open();
        ASSERT_EQ(t.dcboTest->Text(), "R1");
        c.make(t);
        ctrl(Qt::Key_S);
        EXPECT_EQ(lastCali(QStringLiteral("S1")), 0.0);
        EXPECT_EQ(lastCali(QStringLiteral("S2")), 0.0);
        EXPECT_EQ(lastCali(QStringLiteral("S3")), 46000.0);
        unload<frmMETest>();
        closeWindow();
    }
}

TEST_F(TestRecordsTest, FailExitAloneForcesNothingAndACancelledMoveKeepsTheForce) {
    frmMETest& t = open();
    tick(t.chkFailExit);
    ctrl(Qt::Key_S);
    EXPECT_TRUE(CBool(stored(QStringLiteral("R1"), QStringLiteral("Exit_Flag"))));
    EXPECT_EQ(lastCali(QStringLiteral("S1")), 46000.0);

    // After a sine test sweeping "Log Up" was shown.
    pick(t, QStringLiteral("N1"));
    choose(t.cboSweepType, QStringLiteral("Log Up"));
    answer({vbYes});
    pick(t, QStringLiteral("R1"));
    tick(t.chkFailExit);
    ctrl(Qt::Key_S);
    EXPECT_EQ(lastCali(QStringLiteral("S1")), 46000.0);

    // Low, a cancelled move, then Ctrl+S: still forced.
    retype(*t.txtFLo, QStringLiteral("120"));
    answer({vbCancel});
    pick(t, QStringLiteral("P1"));
    ASSERT_EQ(t.dcboTest->Text(), "R1");
    ctrl(Qt::Key_S);
    EXPECT_EQ(CLng(stored(QStringLiteral("R1"), QStringLiteral("fLo_Hz"))), 120);
    EXPECT_EQ(lastCali(QStringLiteral("S1")), 0.0);
    EXPECT_EQ(lastCali(QStringLiteral("S2")), 0.0);
    EXPECT_EQ(lastCali(QStringLiteral("S3")), 46000.0);
}

TEST_F(TestRecordsTest, ClosingAsksTheSameQuestionAndHandsTheFocusOnHoweverItCloses) {
    frmMETest& t = open();
    frmVexo& main = form<frmVexo>();
    EXPECT_FALSE(main.cmdSupervisor->isEnabled());
    pick(t, QStringLiteral("P1"));
    retype(*t.txtDelay, QStringLiteral("0.4"));
    // Cancel keeps the editor, its test and its edit; a later close works.
    answer({vbCancel});
    ctrl(Qt::Key_X);
    ASSERT_TRUE(isLoaded<frmMETest>());
    EXPECT_FALSE(t.gbTest1FormUnloading);
    EXPECT_TRUE(isLoaded<frmMETestPolarity>());
    EXPECT_EQ(t.txtDelay->Text(), "0.4");
    answer({vbYes});
    ctrl(Qt::Key_X);
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_FALSE(isLoaded<frmMETestPolarity>());
    EXPECT_FLOAT_EQ(CSng(stored(QStringLiteral("P1"), QStringLiteral("Delay_s"))), 0.4f);
    EXPECT_TRUE(main.cmdSupervisor->isEnabled());
    EXPECT_FALSE(main.gbTraboMETestLoaded);

    // Opened again on the test it closed on; closed through its type window.
    frmMETest& again = form<frmMETest>();
    EXPECT_EQ(again.dcboTest->Text(), "P1");
    EXPECT_FALSE(main.cmdSupervisor->isEnabled());
    form<frmMETestPolarity>().close();
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_TRUE(main.cmdSupervisor->isEnabled());
}

TEST_F(TestRecordsTest, ResetDropsTheEditsOfBothWindowsAndAsksAndWritesNothing) {
    frmMETest& t = open();
    // A tick in the polarity window.
    pick(t, QStringLiteral("P1"));
    const QStringList p1 = row(QStringLiteral("P1"));
    const int unitLF = form<frmMETestPolarity>().chkUnitLF->Value();
    tick(form<frmMETestPolarity>().chkUnitLF);
    ASSERT_TRUE(t.mnuFileReset->Enabled());
    ctrl(Qt::Key_R);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(row(QStringLiteral("P1")), p1);
    EXPECT_EQ(form<frmMETestPolarity>().chkUnitLF->Value(), unitLF);
    EXPECT_FALSE(t.mnuFileReset->Enabled());
    pick(t, QStringLiteral("R1"));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(row(QStringLiteral("P1")), p1);

    // Low of a response test alone: its layers follow the new sweep in the
    // type window, and Reset puts both back as stored.
    const QStringList r1 = row(QStringLiteral("R1"));
    retype(*t.txtFLo, QStringLiteral("150"));
    ctrl(Qt::Key_R);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(t.txtFLo->Text(), "100");
    EXPECT_EQ(row(QStringLiteral("R1")), r1);
    pick(t, QStringLiteral("N1"));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(row(QStringLiteral("R1")), r1);
}

TEST_F(TestRecordsTest, AnUneditedTestWithADriveAboveTodaysAmplifierCanBeLeftAndClosed) {
    OpenDatabase(testDb()).Execute(QStringLiteral("UPDATE vexo_tst SET Drive_V = 50 WHERE Test_Name = 'P1'"));
    gfVOutAmp = 40.0f;
    frmMETest& t = open();
    pick(t, QStringLiteral("P1"));
    const QStringList p1 = row(QStringLiteral("P1"));
    pick(t, QStringLiteral("N1"));
    EXPECT_EQ(t.dcboTest->Text(), "N1");
    pick(t, QStringLiteral("P1"));
    ctrl(Qt::Key_X);
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(row(QStringLiteral("P1")), p1);

    // Typed, the same value is refused on leaving the test.
    frmMETest& again = form<frmMETest>();
    ASSERT_TRUE(drive::showActive(again));
    ASSERT_EQ(again.dcboTest->Text(), "P1");
    retype(*again.txtDriveV, QStringLiteral("50"));
    answer({vbOK});
    pick(again, QStringLiteral("N1"));
    EXPECT_EQ(again.dcboTest->Text(), "P1");
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "In the range 0 to 40 (V) please!");
    EXPECT_EQ(row(QStringLiteral("P1")), p1);
    ctrl(Qt::Key_R);
}
