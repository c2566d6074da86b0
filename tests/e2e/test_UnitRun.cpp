// Testing units on the jig as the operator does: Test pressed on the main
// window, the station's questions answered by script, and what the window
// shows, the outputs hold and the database stores read back.
#include "common/frmListGet.h"
#include "common/frmMultiButton.h"
#include "common/frmPrompt.h"
#include "common/modVarSystemParams.h"
#include "platform/os/Clock.h"
#include "platform/data/Database.h"
#include "platform/os/Settings.h"
#include "platform/os/TextFile.h"
#include "platform/ui/InputLock.h"
#include "platform/ui/Printer.h"
#include "station/DemoStation.h"
#include "station/modMSub.h"
#include "tests/support/FakeDigitalPort.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/StoredRecords.h"
#include <QDir>
#include <QRegularExpression>
#include <sys/stat.h>

namespace {
constexpr int32_t kGreen = 65280;
constexpr int32_t kRed = 255;
constexpr uint8_t kFailBit = 1u << 2;
constexpr uint8_t kTestInProgressBit = 1u << 3;
const QString kDemo = demostation::kSequence;
const QString kResp = demostation::kResponseTest;
const QString kPol = demostation::kPolarityTest;
const QString kSine = demostation::kSineTest;

class UnitRunTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
        // The station's settings: the output board at port 2, the re-test question on.
        bool e = false;
        gVarSystemParamsRead(e);
        gnDigPort = 2;
        // Off unless a test answers the re-test question: its default answer is Yes.
        gbOpFailCheck = false;
        gVarSystemParamsWrite(e);
        ASSERT_FALSE(e);
        fakeport::install(2, board);
        installJig();
        // The demo's label goes to the recording, not to a printer.
        Printer.setRecording(true);
    }
    void TearDown() override {
        endOfScript();
        Printer.setRecording(false);
        MainWindowRig::TearDown();
    }
    void setFailCheck(bool iOn) {
        bool e = false;
        gVarSystemParamsRead(e);
        gbOpFailCheck = iOn;
        gVarSystemParamsWrite(e);
    }
    frmVexo& startOn(const QString& iSeq) {
        frmVexo& f = start();
        if (f.dcboSeq->Text() != iSeq) choose(f.dcboSeq, iSeq);
        clearBoxes();
        return f;
    }
    // Test on a due sequence calibrates it on the standard unit in the jig.
    void calibrate(frmVexo& f) {
        jig().setUnit(sound::UnitModel::standard());
        answer({vbYes, vbYes});
        drive::click(f.cmdTest);
        ASSERT_FALSE(boxes().isEmpty());
        EXPECT_TRUE(boxes().first().prompt.startsWith(QStringLiteral("Connect '")));
        clearBoxes();
    }
    // The prompt file of a newly chosen sequence, read and closed by the operator.
    void expectPromptFile() {
        expectModal<frmListGet>([](frmListGet& w) { drive::click(w.cmdOK); });
    }
    void test(frmVexo& f, const sound::UnitModel& iUnit) {
        jig().setUnit(iUnit);
        drive::click(f.cmdTest);
    }
    // What the results list shows now: the writings since the picture was last cleared.
    static QList<QPair<QString, int32_t>> listed(frmVexo& f) {
        QList<QPair<QString, int32_t>> out;
        for (const DrawOp& op : f.picPolarity->ops()) {
            if (op.kind == DrawOpKind::Cls) out.clear();
            if (op.kind == DrawOpKind::Text) out << qMakePair(op.text, op.color);
        }
        return out;
    }
    static QStringList listedNames(frmVexo& f) {
        QStringList out;
        for (const auto& t : listed(f)) out << t.first;
        return out;
    }
    QStringList boxTexts() const {
        QStringList out;
        for (const MsgBoxCall& b : boxes()) out << b.prompt;
        return out;
    }
    static int32_t colourOf(const QList<QPair<QString, int32_t>>& iTexts, const QString& iText) {
        int32_t c = -1;
        for (const auto& t : iTexts)
            if (t.first == iText) c = t.second;   // the last writing is what shows
        return c;
    }
    bool failOut() const { return (board.out & kFailBit) != 0; }
    bool testInProgressOut() const { return (board.out & kTestInProgressBit) != 0; }
    bool testInProgressWasSet() const {
        for (uint8_t b : board.writes)
            if (b & kTestInProgressBit) return true;
        return false;
    }
    int sweeps() {
        int n = 0;
        for (const sound::JigEvent& e : jig().events())
            if (e.what.startsWith(QStringLiteral("waveInStart"))) ++n;
        return n;
    }
    static void setTestNo(const QString& iSeq, int16_t iNo) {
        stored::setSequenceField(iSeq, QStringLiteral("Test_No"), iNo);
    }
    void expectIdle(frmVexo& f) {
        EXPECT_FALSE(inputlock::isLocked(&f));
        EXPECT_EQ(f.ActiveControl(), f.cmdTest);
        EXPECT_TRUE(f.tmrFlash->running());
        EXPECT_FALSE(testInProgressOut());
        EXPECT_FALSE(gbMSubRunInProgress());
    }

    fakeport::Record board;
};

TEST_F(UnitRunTest, TheDemoCalibratesOnTheFirstTestAndPassesTheStandardUnitOnTheNext) {
    frmVexo& f = start();
    ASSERT_EQ(f.dcboSeq->Text(), kDemo);
    jig().clearEvents();
    calibrate(f);
    EXPECT_GT(sweeps(), 0);
    EXPECT_NEAR(stored::lastCali(kDemo), vclock::nowDays(), 1.0 / 86400);
    EXPECT_FALSE(f.lblPassFail->Visible());
    board.writes.clear();

    // The next Test shows the sequence's prompt file once, then tests the unit.
    expectPromptFile();
    test(f, sound::UnitModel::standard());
    EXPECT_TRUE(boxes().isEmpty()) << boxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_EQ(f.lblPassFail->ForeColor(), kGreen);
    EXPECT_TRUE(f.lblPassFail->Visible());
    EXPECT_EQ(f.lblPassFail->Left(), 2775);
    EXPECT_EQ(f.lblPassFail->Top(), 3500);
    EXPECT_TRUE(testInProgressWasSet());
    EXPECT_FALSE(failOut());
    expectIdle(f);
    // The polarity and the sine listed green, the sine with its measured level.
    const auto rows = listed(f);
    EXPECT_EQ(colourOf(rows, kPol), kGreen);
    ASSERT_FALSE(rows.isEmpty());
    const QRegularExpression sineText(QRegularExpression::escape(kSine) +
                                      QStringLiteral("  \\(0\\) -?\\d+\\.\\d \\(-60\\) \\(dB\\)"));
    EXPECT_TRUE(sineText.match(rows.last().first).hasMatch()) << rows.last().first.toStdString();
    EXPECT_EQ(rows.last().second, kGreen);
    // The response test's name green on the graph.
    EXPECT_EQ(colourOf(texts(f.windowSurface()), kResp) == kGreen || colourOf(texts(*f.picResponse), kResp) == kGreen,
              true);
    EXPECT_FALSE(isLoaded<frmPrompt>());

    // The prompt file shows once per newly chosen sequence.
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_TRUE(modals().size() == 1);
}

TEST_F(UnitRunTest, AHigherPeakFailsTheResponseAReversedUnitThePolarityAndBothGiveBothBits) {
    setFailCheck(true);
    frmVexo& f = start();
    calibrate(f);
    expectPromptFile();
    answer({vbNo});
    test(f, sound::UnitModel::peakPlus3dB());
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Re-test this unit?")});
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_EQ(f.lblPassFail->ForeColor(), kRed);
    EXPECT_EQ(f.lblPassFail->Left(), 2775);   // back at rest once answered
    EXPECT_TRUE(failOut());
    expectIdle(f);
    EXPECT_EQ(colourOf(listed(f), kPol), kGreen);
    // The worst block is boxed and named on the window.
    bool worstText = false;
    for (const auto& t : texts(f.windowSurface()))
        worstText = worstText || QRegularExpression(QStringLiteral("^\\d+\\.\\d/\\d\\.\\ddB Lyr \\d$")).match(t.first).hasMatch();
    EXPECT_TRUE(worstText);
    bool box = false;
    for (const DrawOp& op : f.picResponse->ops()) box = box || op.kind == DrawOpKind::Box;
    EXPECT_TRUE(box);
    EXPECT_FALSE(f.cmdWorst->Visible());

    clearBoxes();
    answer({vbNo});
    test(f, sound::UnitModel::reversedPolarity());
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_EQ(colourOf(listed(f), kPol), kRed);
    bool redMarker = false;
    for (const DrawOp& op : f.picPolarity->ops()) redMarker = redMarker || (op.kind == DrawOpKind::Line && op.color == kRed);
    EXPECT_TRUE(redMarker);
    EXPECT_TRUE(failOut());

    // A unit with both faults: the response and the polarity fail.
    sound::UnitModel both = sound::UnitModel::peakPlus3dB();
    both.positivePolarity = false;
    clearBoxes();
    answer({vbNo});
    test(f, both);
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_EQ(colourOf(listed(f), kPol), kRed);

    // A good unit after them clears the fail output.
    clearBoxes();
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_FALSE(failOut());
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(UnitRunTest, AFaultInTheSecondTestAbandonsTheSequenceWithoutAResult) {
    allowErrors({QStringLiteral("The sound device is already in use.")});
    addTest(QStringLiteral("Dist"), QStringLiteral("Ext Dist"));
    addSequence(QStringLiteral("Faulty"), {QStringLiteral("Dist"), kPol, kSine});
    frmVexo& f = startOn(QStringLiteral("Faulty"));
    jig().failCall(sound::SoundCall::WaveInOpen, MMSYSERR_ALLOCATED, -1);
    drive::click(f.cmdTest);
    jig().clearFaults();
    EXPECT_FALSE(boxes().isEmpty());   // the fault reported
    EXPECT_FALSE(f.lblPassFail->Visible());
    EXPECT_TRUE(testInProgressWasSet());
    expectIdle(f);
    const QStringList names = listedNames(f);
    ASSERT_GE(names.size(), 3);
    EXPECT_EQ(names.mid(names.size() - 2),
              (QStringList{kPol + QStringLiteral(" ERROR!"), QStringLiteral("SEQUENCE ABANDONED")}));
    EXPECT_EQ(listed(f).last().second, kRed);
    EXPECT_FALSE(names.contains(kSine));
}

TEST_F(UnitRunTest, ExtDistAlwaysFailsAndAnExitFlagStopsTheSequenceAtIt) {
    addTest(QStringLiteral("Dist"), QStringLiteral("Ext Dist"));
    addSequence(QStringLiteral("Dist"), {kPol, QStringLiteral("Dist"), kSine});
    frmVexo& f = startOn(QStringLiteral("Dist"));
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_EQ(colourOf(listed(f), QStringLiteral("Dist")), kRed);
    EXPECT_TRUE(failOut());
    EXPECT_TRUE(listedNames(f).last().startsWith(kSine));   // measured after it
    expectIdle(f);

    stored::setTestField(QStringLiteral("Dist"), QStringLiteral("Exit_Flag"), Variant(true));
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    const QStringList names = listedNames(f);
    EXPECT_EQ(names.last(), QStringLiteral("Dist"));
    EXPECT_FALSE(names.contains(QStringLiteral("SEQUENCE ABANDONED")));
    for (const QString& n : names) EXPECT_FALSE(n.startsWith(kSine));
}

TEST_F(UnitRunTest, ARetestAskedAfterAFailRepeatsTheSequenceOnTheUnitNowInTheJig) {
    setFailCheck(true);
    addSequence(QStringLiteral("Pol"), {kPol});
    frmVexo& f = startOn(QStringLiteral("Pol"));
    // The operator swaps in a good unit while the question is open, and says Yes.
    int32_t leftWhileAsked = 0;
    bool busyWhileAsked = false;
    answerAfterLooking(vbYes, [&](const MsgBoxCall&) {
        leftWhileAsked = f.lblPassFail->Left();
        busyWhileAsked = gbMSubRunInProgress();
        // Test pressed again meanwhile is dropped: no second run starts.
        QTest::mouseClick(f.cmdTest, Qt::LeftButton);
        jig().setUnit(sound::UnitModel::standard());
    });
    test(f, sound::UnitModel::reversedPolarity());
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Re-test this unit?")});
    EXPECT_EQ(leftWhileAsked, 5800);
    EXPECT_TRUE(busyWhileAsked);
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_FALSE(failOut());
    expectIdle(f);

    // No leaves the unit failed, the label back at its resting place.
    clearBoxes();
    answer({vbNo});
    test(f, sound::UnitModel::reversedPolarity());
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Re-test this unit?")});
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_EQ(f.lblPassFail->Left(), 2775);
    EXPECT_TRUE(failOut());
    expectIdle(f);

    // Without the question a failed unit is simply failed.
    setFailCheck(false);
    closeWindow();
    frmVexo& again = startOn(QStringLiteral("Pol"));
    clearBoxes();
    test(again, sound::UnitModel::reversedPolarity());
    EXPECT_TRUE(boxes().isEmpty()) << boxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(again.lblPassFail->Caption(), "FAIL");
}

TEST_F(UnitRunTest, ASequenceThatTestsNothingNeverPasses) {
    allowErrors({QStringLiteral("Sequence 'Blank' tested nothing: slot 1 is blank"),
                 QStringLiteral("Test 'Odd' has an unknown type 'Loudness'"), QStringLiteral("Test 'Nowhere' not found")});
    frmVexo& f = start();
    // No tests at all: refused with the sequence's name.
    addSequence(QStringLiteral("Empty"), {});
    closeWindow();
    frmVexo& g = startOn(QStringLiteral("Empty"));
    drive::click(g.cmdTest);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("Sequence 'Empty' contains No Tests!")});
    EXPECT_FALSE(g.lblPassFail->Visible());
    EXPECT_FALSE(testInProgressWasSet());
    Q_UNUSED(f);

    // A first slot left blank while the count says one test.
    addSequence(QStringLiteral("Blank"), {QString(), kPol});
    setTestNo(QStringLiteral("Blank"), 2);
    // A type the station does not know, and a slot naming a test that is gone.
    addTest(QStringLiteral("Odd"), QStringLiteral("Loudness"));
    addSequence(QStringLiteral("Odd"), {QStringLiteral("Odd")});
    addSequence(QStringLiteral("Gone"), {kPol, QStringLiteral("Nowhere"), kSine});
    closeWindow();
    for (const QString& seq : {QStringLiteral("Blank"), QStringLiteral("Odd"), QStringLiteral("Gone")}) {
        SCOPED_TRACE(seq.toStdString());
        // The test that is gone is told as soon as its sequence is chosen.
        if (seq == QLatin1String("Gone")) answer({vbOK});
        frmVexo& h = startOn(seq);
        test(h, sound::UnitModel::standard());
        EXPECT_FALSE(boxes().isEmpty());
        EXPECT_FALSE(h.lblPassFail->Visible());
        EXPECT_TRUE(listedNames(h).contains(QStringLiteral("SEQUENCE ABANDONED")) ||
                    listedNames(h).last().endsWith(QStringLiteral(" ERROR!")));
        EXPECT_EQ(listed(h).last().second, kRed);
        expectIdle(h);
        closeWindow();
    }
}

TEST_F(UnitRunTest, TestNoBeyondTheFilledSlotsStopsAtTheFirstBlank) {
    addSequence(QStringLiteral("Short"), {kPol});
    setTestNo(QStringLiteral("Short"), 5);
    frmVexo& f = startOn(QStringLiteral("Short"));
    test(f, sound::UnitModel::standard());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_EQ(colourOf(listed(f), kPol), kGreen);
}

TEST_F(UnitRunTest, ADueCalibrationRunsOnlyWhereTheSequenceHasResponseTests) {
    // Never calibrated, but polarity and sine only: the unit is tested.
    addSequence(QStringLiteral("NoResp"), {kPol, kSine});
    frmVexo& f = startOn(QStringLiteral("NoResp"));
    test(f, sound::UnitModel::standard());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    // The demo is due: Test calibrates instead, and after forcing it again too.
    choose(f.dcboSeq, kDemo);
    calibrate(f);
    expectPromptFile();
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    bool e = false;
    f.gForceReCalAll(kResp, e);
    EXPECT_EQ(stored::lastCali(kDemo), 0.0);
    calibrate(f);
    EXPECT_GT(stored::lastCali(kDemo), 0.0);
}

TEST_F(UnitRunTest, AfterAPassTheWorstButtonShowsOnlyInTheExtendedView) {
    frmVexo& f = start();
    calibrate(f);
    expectPromptFile();
    test(f, sound::UnitModel::standard());
    EXPECT_FALSE(f.cmdWorst->Visible());
    drive::click(f.cmdMoreStuff);
    EXPECT_FALSE(f.cmdWorst->Visible());
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    ASSERT_TRUE(f.cmdWorst->Visible());
    ASSERT_TRUE(f.cmdWorst->Enabled());
    // A failed unit does not offer it.
    test(f, sound::UnitModel::peakPlus3dB());
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_FALSE(f.cmdWorst->Visible());
}

// A block a hair over its limit, inside the 0.05 dB the judging allows, passes
// and is the block the Worst button marks: the nearest failure of a good unit.
TEST_F(UnitRunTest, WorstAfterAPassWithinTheAllowanceMarksTheBlockOnce) {
    stored::setTestField(kResp, QStringLiteral("Layer1_Lim"), Variant(0.001f));
    frmVexo& f = start();
    calibrate(f);
    expectPromptFile();
    drive::click(f.cmdMoreStuff);
    sound::UnitModel unit = sound::UnitModel::standard();
    unit.peakGainDb += 0.02;   // a few hundredths of a dB over the standard at the peak
    test(f, unit);
    ASSERT_EQ(f.lblPassFail->Caption(), "PASS");
    ASSERT_TRUE(f.cmdWorst->Visible());
    ASSERT_TRUE(f.cmdWorst->Enabled());
    const auto boxesBefore = [&] {
        int n = 0;
        for (const DrawOp& op : f.picResponse->ops()) n += op.kind == DrawOpKind::Box && op.color == 65535;
        return n;
    };
    const int before = boxesBefore();
    drive::click(f.cmdWorst);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(boxesBefore(), before + 1);   // one yellow box
    bool worstText = false;
    for (const auto& t : texts(f.windowSurface()))
        worstText = worstText || QRegularExpression(QStringLiteral("^0\\.0/0\\.0dB Lyr 1$")).match(t.first).hasMatch();
    EXPECT_TRUE(worstText);
    EXPECT_TRUE(f.cmdWorst->Visible());
    EXPECT_FALSE(f.cmdWorst->Enabled());
}

TEST_F(UnitRunTest, AnUncalibratedResponseTestStopsTheRun) {
    allowErrors({QStringLiteral("Test 'Demo Response' is not calibrated for sequence 'Uncal'")});
    addSequence(QStringLiteral("Uncal"), {kResp});
    auto rs = OpenDatabase(QStringLiteral("Vexo_Seq.mdb")).OpenRecordset(QStringLiteral("vexo_seq"));
    rs->FindFirst(QStringLiteral("Seq_Name = ?"), Variant(QStringLiteral("Uncal")));
    rs->Edit();
    rs->setField(QStringLiteral("Last_Cali"), vclock::nowDays());
    rs->Update();
    frmVexo& f = startOn(QStringLiteral("Uncal"));
    test(f, sound::UnitModel::standard());
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxTexts().join(QLatin1Char('|')).contains(
        QStringLiteral("Test '") + kResp + QStringLiteral("' is not calibrated for sequence 'Uncal'")));
    EXPECT_FALSE(f.lblPassFail->Visible());
    expectIdle(f);
}

TEST_F(UnitRunTest, TheOperatorDecidesAResponseWithTheSwitchTestLetters) {
    seed::add(seed::ResponseTest{.name = QStringLiteral("Ear"), .fLo = 100, .fHi = 10000, .points = 40, .opDecide = true,
                                 .layers = {seed::Layer{.fLo = 100, .fHi = 10000, .pt = 3, .lim = 2.0f}}});
    addSequence(QStringLiteral("Ear"), {QStringLiteral("Ear")});
    frmVexo& f = startOn(QStringLiteral("Ear"));
    calibrate(f);
    int sweepsSeen = 0;
    auto keys = [&](std::vector<Qt::Key> iKeys) {
        for (Qt::Key k : iKeys)
            expectModal<frmMultiButton>([k](frmMultiButton&) { drive::key(k); });
    };
    jig().clearEvents();
    keys({Qt::Key_S, Qt::Key_S, Qt::Key_P});
    test(f, sound::UnitModel::peakPlus3dB());
    sweepsSeen = sweeps();
    ASSERT_GT(sweepsSeen, 0);
    EXPECT_EQ(sweepsSeen % 3, 0);   // the first sweep and two more
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    jig().clearEvents();
    keys({Qt::Key_C, Qt::Key_F});
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(sweeps(), sweepsSeen / 3 * 2);   // Clear sweeps again
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    EXPECT_TRUE(failOut());
}

TEST_F(UnitRunTest, SineTestsJudgedByTheStationOrByTheOperatorListening) {
    // Measured by the station: inside and outside its limits, with the level listed.
    seed::add(seed::SineTest{.name = QStringLiteral("Tight"), .opDecide = false, .pcDecide = true, .loLim = 10.0f,
                             .hiLim = 20.0f, .prompt = QStringLiteral("Level")});
    addSequence(QStringLiteral("Sines"), {kSine, QStringLiteral("Tight")});
    frmVexo& f = startOn(QStringLiteral("Sines"));
    test(f, sound::UnitModel::standard());
    EXPECT_TRUE(boxes().isEmpty()) << boxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(f.lblPassFail->Caption(), "FAIL");
    const auto rows = listed(f);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].second, kGreen);
    EXPECT_TRUE(rows[1].first.startsWith(QStringLiteral("Tight  (20) ")));
    EXPECT_TRUE(rows[1].first.endsWith(QStringLiteral(" (10) (dB)")));
    EXPECT_EQ(rows[1].second, kRed);
    EXPECT_TRUE(failOut());
    EXPECT_FALSE(isLoaded<frmPrompt>());
    closeWindow();

    // Decided by the operator, who answers by what the meter at the amplifier reads.
    seed::add(seed::SineTest{.name = QStringLiteral("Hum"), .drive = 1.0f, .prompt = QStringLiteral("Does it hum")});
    addSequence(QStringLiteral("Hum"), {QStringLiteral("Hum")});
    frmVexo& g = startOn(QStringLiteral("Hum"));
    double volts = 0;
    QString noticeDuringTone;
    const auto listen = [&](int iAnswer) {
        setMsgBoxScript([&, iAnswer](const MsgBoxCall& iCall) {
            volts = jig().voltmeter(sound::JigPoint::AmplifierOutput);
            EXPECT_EQ(iCall.prompt, "Does it hum?");
            return iAnswer;
        });
    };
    listen(vbYes);
    test(g, sound::UnitModel::standard());
    EXPECT_NEAR(volts, 1.0, 0.1);
    EXPECT_EQ(g.lblPassFail->Caption(), "PASS");
    EXPECT_EQ(listed(g).last(), qMakePair(QStringLiteral("Hum"), kGreen));
    listen(vbNo);
    test(g, sound::UnitModel::standard());
    EXPECT_EQ(g.lblPassFail->Caption(), "FAIL");
    EXPECT_EQ(listed(g).last(), qMakePair(QStringLiteral("Hum"), kRed));
    EXPECT_FALSE(isLoaded<frmPrompt>());
}

// The notice a sine test shows while its tone plays.
// The question is the operator's: a station-measured sine test without one
// (a test written before the field was filled) still measures.
TEST_F(UnitRunTest, AStationMeasuredSineWithoutAQuestionIsMeasured) {
    stored::setTestField(kSine, QStringLiteral("Op_Prompt"), Variant());
    addSequence(QStringLiteral("NoResp"), {kPol, kSine});
    frmVexo& f = startOn(QStringLiteral("NoResp"));
    test(f, sound::UnitModel::standard());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
}

TEST_F(UnitRunTest, TheSineNoticeNamesTheToneAndItsVoltage) {
    struct Case {
        QString sweep, hi, lo, volts;
        bool measures;
        QString shown;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("Log Up"), QStringLiteral("60"), QStringLiteral("20"), QStringLiteral("1"), false,
         QStringLiteral("20-60(Hz) @ 1(V)")},
        {QStringLiteral("Lin Down Up"), QStringLiteral("60"), QStringLiteral("20"), QStringLiteral("1"), false,
         QStringLiteral("60-20(Hz) @ 1(V)")},
        {QStringLiteral("Lin Down"), QStringLiteral("60"), QStringLiteral("20"), QStringLiteral("1"), false,
         QStringLiteral("60-20(Hz) @ 1(V)")},
        {QStringLiteral("No Sweep"), QStringLiteral("1000"), QStringLiteral("1000"), QStringLiteral("0.5"), false,
         QStringLiteral("1000(Hz) @ 0.5(V)")},
        {QStringLiteral("Log Up"), QStringLiteral("60"), QStringLiteral("20"), QStringLiteral("1"), true,
         QStringLiteral("20(Hz) @ 1(V)")},
        {QStringLiteral("Log Up"), QStringLiteral("60"), QStringLiteral("20"), QStringLiteral("0"), false,
         QStringLiteral("0(V)")},
    };
    start();
    for (const Case& c : cases) {
        bool e = false;
        gMSubSineShowPrompt(QStringLiteral("Hum"), c.sweep, c.hi, c.lo, c.volts, c.measures, e);
        EXPECT_FALSE(e);
        ASSERT_TRUE(isLoaded<frmPrompt>());
        EXPECT_EQ(form<frmPrompt>().Prompt(), c.shown) << c.sweep.toStdString();
        EXPECT_EQ(form<frmPrompt>().Caption(), "Hum");
        unload<frmPrompt>();
    }
}
}   // namespace

// A damaged number in a stored test (not a number, infinite, out of the field's
// range, more sweep points than a curve holds) stops the run with an error that
// names the table, the test and the field, never a library's text; the unit is
// neither passed nor counted.
TEST_F(UnitRunTest, ADamagedNumberStopsTheRunNamingTheTestAndTheField) {
    saveUserSetting(QStringLiteral("SendBugReports"), QStringLiteral("0"));
    // Each damaged field's error; a damaged sweep bound is met by more than one routine.
    allowErrors({QStringLiteral("vexo_tst, test 'Demo Response', field Drive_V"),
                 QStringLiteral("vexo_tst, test 'Demo Response', field fHi_Hz"),
                 QStringLiteral("vexo_tst, test 'Demo Response', field Layer1_Lim"),
                 QStringLiteral("vexo_tst, test 'Demo Response', field Swp_Point")});
    frmVexo& f = start();
    calibrate(f);
    expectPromptFile();
    struct Case {
        const char* field;
        const char* sqlValue;
        const char* shown;   // what the error says the field holds
    } cases[] = {{"Drive_V", "'NaN'", "NaN"},
                 {"fHi_Hz", "1e308", "1E+308"},
                 {"Layer1_Lim", "9e999", "inf"},
                 {"Swp_Point", "150", "150"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const Database db = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"));
        auto before = db.OpenRecordset(QStringLiteral("vexo_tst"));
        before->FindFirst(QStringLiteral("Test_Name = ?"), Variant(kResp));
        const Variant restore = before->field(QString::fromLatin1(c.field));
        db.Execute(QStringLiteral("UPDATE vexo_tst SET %1 = %2 WHERE Test_Name = ?").arg(QString::fromLatin1(c.field),
                                                                                       QString::fromLatin1(c.sqlValue)),
                   {Variant(kResp)});
        clearBoxes();
        test(f, sound::UnitModel::standard());
        ASSERT_FALSE(boxes().isEmpty());
        const QString text = boxes().at(0).prompt;
        EXPECT_TRUE(text.contains(QStringLiteral("vexo_tst, test '") + kResp + QStringLiteral("', field ") +
                                  QString::fromLatin1(c.field)))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("(it holds '") + QString::fromLatin1(c.shown))) << text.toStdString();
        EXPECT_NE(f.lblPassFail->Caption(), "PASS");
        EXPECT_EQ(OpenDatabase(QStringLiteral("Vexo_Prod.mdb")).OpenRecordset(QStringLiteral("vexo_prod"))->RecordCount(), 0);
        expectIdle(f);
        stored::setTestField(kResp, QString::fromLatin1(c.field), restore);
    }
    clearBoxes();
    test(f, sound::UnitModel::standard());
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
}

// A pipe, a device or a huge file named as the sequence's prompt, label script or
// target is refused at once, naming the file and the reason; the station stays up.
TEST_F(UnitRunTest, APipeADeviceOrAHugeFileNamedByTheSequenceIsRefusedByName) {
    saveUserSetting(QStringLiteral("SendBugReports"), QStringLiteral("0"));
    QDir(home()).mkpath(QStringLiteral("Prompts"));
    QDir(home()).mkpath(QStringLiteral("TARGETS"));
    QDir(home()).mkpath(QStringLiteral("Scripts"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(homeFile(QStringLiteral("Prompts/Pipe.txt"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), homeFile(QStringLiteral("Scripts/Zero.txt"))));
    writeHomeFile(QStringLiteral("TARGETS/Huge.txt"), QByteArray(kCurveFileLimit + 1, '1'));
    {
        auto rs = OpenDatabase(QStringLiteral("Vexo_Seq.mdb")).OpenRecordset(QStringLiteral("vexo_seq"));
        rs->FindFirst(QStringLiteral("Seq_Name = ?"), Variant(kDemo));
        rs->Edit();
        rs->setField(QStringLiteral("Prompt_File"), Variant(QStringLiteral("Prompts/Pipe.txt")));
        rs->setField(QStringLiteral("Script_File"), Variant(QStringLiteral("Scripts/Zero.txt")));
        rs->setField(QStringLiteral("Target_File"), Variant(QStringLiteral("TARGETS/Huge.txt")));
        rs->Update();
    }
    answer({vbAbort});   // the script, when the sequence is chosen at start
    frmVexo& f = start();
    jig().setUnit(sound::UnitModel::standard());
    // Connect the standard, the target, the calibration looks OK, the script
    // read again with the calibrated sequence.
    answer({vbYes, vbAbort, vbYes, vbAbort});
    drive::click(f.cmdTest);   // calibrates
    answer({vbAbort});         // the prompt file
    test(f, sound::UnitModel::standard());
    const QString all = boxTexts().join(QLatin1Char('|'));
    for (const char* name : {"Prompts/Pipe.txt' is not a regular file", "Scripts/Zero.txt' is not a regular file",
                             "TARGETS/Huge.txt' is larger than 10 MB"})
        EXPECT_TRUE(all.contains(QString::fromLatin1(name))) << name << " in " << all.toStdString();
    EXPECT_TRUE(isLoaded<frmVexo>());
    expectIdle(f);
}
