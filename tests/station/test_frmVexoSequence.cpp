// Choosing a sequence and an operator in the main window: what the operator
// sees of the sequence's tests, limits and labels, on the jig.
#include "platform/os/Settings.h"
#include "tests/support/MainWindowRig.h"

namespace {
class SequenceTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
        addTest(QStringLiteral("Sweep"), QStringLiteral("Response"));
        addTest(QStringLiteral("Phase"), QStringLiteral("Polarity"));
        addTest(QStringLiteral("Hum"), QStringLiteral("Sine"));
    }
    frmVexo& startClean() { return start(); }
    void pick(frmVexo& f, const QString& iName) {
        f.picPolarity->clearOps();
        choose(f.dcboSeq, iName);
    }
    static QStringList polarityNames(frmVexo& f) {
        QStringList names;
        for (const auto& t : texts(*f.picPolarity)) names << t.first;
        return names;
    }
};

TEST_F(SequenceTest, TheListStopsAtTheFirstBlankSlotAndAfterSlotSixteen) {
    addSequence(QStringLiteral("Start"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Blank first"), {QString(), QStringLiteral("Phase"), QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Gap"), {QStringLiteral("Hum"), QStringLiteral("Hum"), QStringLiteral("Hum"), QString(),
                                        QStringLiteral("Phase"), QStringLiteral("Sweep")});
    addSequence(QStringLiteral("Two responses"), {QStringLiteral("Hum"), QStringLiteral("Sweep"), QStringLiteral("Phase"),
                                                  QStringLiteral("Sweep"), QStringLiteral("Hum")});
    QStringList full;
    for (int i = 0; i < 15; ++i) full << QStringLiteral("Hum");
    full << QStringLiteral("Phase");
    addSequence(QStringLiteral("Full"), full);
    frmVexo& f = startClean();
    ASSERT_EQ(f.dcboSeq->Text(), "Start");

    // Slot 1 blank: no tests at all.
    pick(f, QStringLiteral("Blank first"));
    EXPECT_EQ(f.lblSeq->Caption(), "Blank first");
    EXPECT_FALSE(f.cmdCali->Visible());
    EXPECT_FALSE(f.picResponse->Visible());
    EXPECT_TRUE(polarityNames(f).isEmpty());
    EXPECT_EQ(f.lblSelection->Caption(), "");

    // Slots 1-3, a blank, then tests that are not read.
    pick(f, QStringLiteral("Gap"));
    EXPECT_FALSE(f.cmdCali->Visible());
    EXPECT_TRUE(polarityNames(f).isEmpty());

    // The first polarity test is named on its grid in black; responses show
    // the calibration command and the limit labels.
    pick(f, QStringLiteral("Two responses"));
    EXPECT_TRUE(f.cmdCali->Visible());
    EXPECT_EQ(texts(*f.picPolarity), (QList<QPair<QString, int32_t>>{{QStringLiteral("Phase"), 0}}));
    EXPECT_EQ(f.lblSelection->Caption(), "Selection (dB) 0.00");
    // The response drawn at selection is the last one's, on its own test row.
    EXPECT_EQ(f.lblTest->Caption(), "Sweep");

    // Sixteen full slots: slot 16 is read.
    pick(f, QStringLiteral("Full"));
    EXPECT_EQ(polarityNames(f), QStringList{QStringLiteral("Phase")});
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(SequenceTest, LimitLabelsFollowTheSequenceInTheUsersNumbers) {
    addSequence(QStringLiteral("Off"), {QStringLiteral("Sweep")}, 0.0f, 0.0f);
    addSequence(QStringLiteral("On"), {QStringLiteral("Sweep")}, 1.5f, 0.25f);
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    frmVexo& f = startClean();
    EXPECT_EQ(f.lblRefSearch->Caption(), "");
    EXPECT_EQ(f.lblSelection->Caption(), "Selection (dB) 0,00");
    pick(f, QStringLiteral("On"));
    EXPECT_EQ(f.lblRefSearch->Caption(), "Ref Search (dB) 1,50");
    EXPECT_EQ(f.lblSelection->Caption(), "Selection (dB) 0,25");
    pick(f, QStringLiteral("Off"));
    EXPECT_EQ(f.lblRefSearch->Caption(), "");
}

TEST_F(SequenceTest, ReSelectingTheCurrentSequenceDoesNothing) {
    addSequence(QStringLiteral("A"), {QStringLiteral("Phase")});
    addSequence(QStringLiteral("B"), {QStringLiteral("Phase"), QStringLiteral("Sweep")});
    frmVexo& f = startClean();
    pick(f, QStringLiteral("B"));
    ASSERT_EQ(polarityNames(f), QStringList{QStringLiteral("Phase")});
    pick(f, QStringLiteral("B"));
    EXPECT_TRUE(f.picPolarity->ops().isEmpty());
    EXPECT_EQ(f.lblSeq->Caption(), "B");
    // The window is the operator's again, the sequence box keeps the focus.
    EXPECT_TRUE(f.Enabled());
    EXPECT_TRUE(f.dcboSeq->HasFocus());
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(SequenceTest, ATestMissingFromTheTestTableHasNoTypeAndIsReportedOnce) {
    addSequence(QStringLiteral("Polar"), {QStringLiteral("Phase")});
    addSequence(QStringLiteral("Ghost"), {QStringLiteral("Nobody")});
    frmVexo& f = startClean();
    // The test row last found is a polarity test's; the missing one must not take its type.
    answer({vbOK});
    pick(f, QStringLiteral("Ghost"));
    EXPECT_TRUE(polarityNames(f).isEmpty());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "frmVexo.mSeqRepositionReadTestList");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_TRUE(boxes()[0].prompt.contains(QStringLiteral("'Nobody'")));
    pick(f, QStringLiteral("Polar"));
    pick(f, QStringLiteral("Ghost"));
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_EQ(f.lblSeq->Caption(), "Ghost");
}

TEST_F(SequenceTest, NamesWithAnApostropheAreFound) {
    addTest(QStringLiteral("Bob's phase"), QStringLiteral("Polarity"));
    addSequence(QStringLiteral("Plain"), {QStringLiteral("Sweep")});
    addSequence(QStringLiteral("O'Neil 5"), {QStringLiteral("Bob's phase")});
    addOperator(QStringLiteral("D'Arcy"));
    frmVexo& f = startClean();
    pick(f, QStringLiteral("O'Neil 5"));
    EXPECT_EQ(f.lblSeq->Caption(), "O'Neil 5");
    EXPECT_EQ(polarityNames(f), QStringList{QStringLiteral("Bob's phase")});
    choose(f.dcboOperator, QStringLiteral("D'Arcy"));
    EXPECT_EQ(OperatorRecord(f.dtaOperator.Recordset()).Operator(), "D'Arcy");
    EXPECT_TRUE(boxes().isEmpty());

    // Both choices survive a restart.
    closeWindow();
    EXPECT_EQ(userSetting(QStringLiteral("dcboSeq")), "O'Neil 5");
    EXPECT_EQ(userSetting(QStringLiteral("dcboOperator")), "D'Arcy");
    frmVexo& again = start();
    EXPECT_EQ(again.dcboSeq->Text(), "O'Neil 5");
    EXPECT_EQ(again.lblSeq->Caption(), "O'Neil 5");
    EXPECT_EQ(again.dcboOperator->Text(), "D'Arcy");
}

TEST_F(SequenceTest, LettersTypedIntoTheSequenceBoxAreNotTheWindowsShortcuts) {
    addSequence(QStringLiteral("A"), {QStringLiteral("Sweep")});
    frmVexo& f = startClean();
    ASSERT_TRUE(f.KeyPreview());
    f.dcboSeq->SetFocus();
    EXPECT_FALSE(f.KeyPreview());
    f.cmdTest->SetFocus();
    EXPECT_TRUE(f.KeyPreview());
}

TEST_F(SequenceTest, ANewStationStartsWithoutAnErrorAndShowsNoSequence) {
    frmVexo& f = start();
    for (const MsgBoxCall& b : boxes()) EXPECT_NE(b.title, "Error!") << b.prompt.toStdString();
    EXPECT_EQ(f.dcboSeq->Text(), "");
    EXPECT_EQ(f.dcboOperator->Text(), "Unknown");
    EXPECT_FALSE(f.cmdCali->Visible());
    EXPECT_TRUE(f.Enabled());
}

TEST_F(SequenceTest, MoreStuffShowsTheEngineersControlsAndTheStation) {
    addSequence(QStringLiteral("A"), {QStringLiteral("Sweep")});
    frmVexo& f = startClean();
    ASSERT_EQ(f.cmdMoreStuff->Caption(), "More St&uff");
    EXPECT_FALSE(f.cmdEngineer->Visible());
    EXPECT_FALSE(f.lblStation->Visible());
    drive::click(f.cmdMoreStuff);
    EXPECT_EQ(f.cmdMoreStuff->Caption(), "Less St&uff");
    for (Control* c : QList<Control*>{f.cmdEngineer, f.cmdSupervisor, f.cmdReport, f.lblRefSearch, f.lblTarget,
                                      f.lblStation, f.lblCard})
        EXPECT_TRUE(c->Visible()) << c->Name().toStdString();
    EXPECT_FALSE(f.cmdReport->Enabled());
    EXPECT_EQ(f.lblStation->Caption(), "Station:  Pelmo Towers");
    EXPECT_FALSE(f.cmdWorst->Visible());   // only once a run has enabled it
    drive::click(f.cmdMoreStuff);
    EXPECT_EQ(f.cmdMoreStuff->Caption(), "More St&uff");
    for (Control* c : QList<Control*>{f.cmdEngineer, f.cmdSupervisor, f.cmdReport, f.lblRefSearch, f.lblTarget,
                                      f.lblStation, f.lblCard})
        EXPECT_FALSE(c->Visible()) << c->Name().toStdString();
}
}
