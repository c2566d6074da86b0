// After each unit on the jig, as the operator meets it: Test pressed, the
// serial number typed, the reference and selection questions answered; then
// the sequence row, the logged curves and the production rows read back.
#include "common/frmInputNumber.h"
#include "common/frmMultiButton.h"
#include "common/frmPassword.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETest.h"
#include "station/DemoStation.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/StoredRecords.h"
#include <vector>

namespace {
const QString kLine = QStringLiteral("Line");
const QString kOther = QStringLiteral("Other");

// A unit whose break-up peak lies a little above the standard one's: it passes
// with a margin well away from zero.
sound::UnitModel slightlyOff(double iDb) {
    sound::UnitModel u = sound::UnitModel::standard();
    u.peakGainDb += iDb;
    return u;
}

class AfterUnitTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        // The demo's polarity test beside the tests seeded here; the re-test question off.
        demostation::build(home());
        bool e = false;
        gVarSystemParamsRead(e);
        gbOpFailCheck = false;
        gVarSystemParamsWrite(e);
        ASSERT_FALSE(e);
        installJig();
        saveUserSetting(QStringLiteral("gfVOutSoundboard"), QStringLiteral("2"));
        saveUserSetting(QStringLiteral("gfVOutAmp"), QStringLiteral("40"));
        saveUserSetting(QStringLiteral("gbVOutPositivePolarity"), QStringLiteral("-1"));
        seed::add(seed::ResponseTest{.name = QStringLiteral("Resp"), .fLo = 100, .fHi = 10000, .points = 40,
                                     .layers = {seed::Layer{.fLo = 100, .fHi = 10000, .pt = 3, .lim = 2.0f}}});
        seed::add(seed::ResponseTest{.name = QStringLiteral("Wide"), .fLo = 20, .fHi = 20000, .points = 100,
                                     .layers = {seed::Layer{.fLo = 20, .fHi = 20000, .pt = 5, .lim = 2.0f}}});
        seed::add(seed::ResponseTest{.name = QStringLiteral("Ears"), .fLo = 100, .fHi = 10000, .points = 40,
                                     .opDecide = true});
        addSequence(kLine, {QStringLiteral("Resp"), demostation::kPolarityTest});
        addSequence(kOther, {QStringLiteral("Resp")});
        addSequence(QStringLiteral("By ear"), {QStringLiteral("Ears")});
    }
    void TearDown() override {
        endOfScript();
        unload<frmMETest>();
        MainWindowRig::TearDown();
    }
    // Started on the sequence, calibrated on the standard unit.
    frmVexo& ready(const QString& iSeq = kLine, int iResponseTests = 1) {
        frmVexo& f = start();
        if (f.dcboSeq->Text() != iSeq) choose(f.dcboSeq, iSeq);
        calibrate(f, iResponseTests);
        return f;
    }
    // The standard unit connected, and each response test's reference accepted.
    void calibrate(frmVexo& f, int iResponseTests = 1) {
        jig().setUnit(sound::UnitModel::standard());
        answer({vbYes});
        for (int k = 0; k < iResponseTests; ++k) answer({vbYes});
        drive::click(f.cmdCali);
        clearBoxes();
    }
    // A value of the current sequence row as an engineer's editor would set it.
    static void setSeq(frmVexo& f, const QString& iField, const Variant& iValue) {
        Recordset& rs = f.dtaSeq.Recordset();
        f.gbTraboDontProcess = true;
        rs.Edit();
        rs.setField(iField, iValue);
        rs.Update();
        f.gbTraboDontProcess = false;
    }
    void testUnit(frmVexo& f, const sound::UnitModel& iUnit = sound::UnitModel::standard()) {
        jig().setUnit(iUnit);
        drive::click(f.cmdTest);
    }
    // The serial number dialog: checks the offer, types the answer and presses Enter.
    void typeSerial(const QString& iOffered, const QString& iTyped) {
        expectModal<frmInputNumber>([iOffered, iTyped](frmInputNumber& d) {
            EXPECT_EQ(d.Caption(), "Unit serial number");
            EXPECT_EQ(d.txtNumber->Text(), iOffered);
            retype(*d.txtNumber, iTyped);
            drive::key(Qt::Key_Return);
        });
    }
    QStringList boxTitles() const {
        QStringList out;
        for (const MsgBoxCall& b : boxes()) out << b.title;
        return out;
    }
};
}

TEST_F(AfterUnitTest, SerialNumbersFollowTheFlagAndLandInTheSequence) {
    frmVexo& f = ready();
    struct Case {
        const char* flag;
        bool failing;
        bool asked;
    } cases[] = {{"None", false, false}, {"None", true, false}, {"Pass", false, true}, {"Pass", true, false},
                 {"Fail", false, false}, {"Fail", true, true},  {"Both", false, true}, {"Both", true, true},
                 {"Some", false, false}, {"Some", true, false}};
    int32_t serial = 100;
    for (const Case& c : cases) {
        setSeq(f, QStringLiteral("Serial_Flag"), QString::fromLatin1(c.flag));
        setSeq(f, QStringLiteral("Serial_No"), serial);
        f.lblSerial->setCaption(QString());
        if (c.asked) typeSerial(QString::number(serial + 1), QString::number(serial + 5));
        testUnit(f, c.failing ? sound::UnitModel::peakPlus3dB() : sound::UnitModel::standard());
        const int32_t expected = c.asked ? serial + 5 : serial;
        EXPECT_EQ(CLng(stored::sequenceField(kLine, QStringLiteral("Serial_No"))), expected) << c.flag << c.failing;
        // The label stays: the write did not run the sequence change, which clears it.
        EXPECT_EQ(f.lblSerial->Caption(), c.asked ? QStringLiteral("Serial %1").arg(expected) : QString())
            << c.flag << c.failing;
        serial += 10;
    }

    // An empty number offers 1; the last number is offered again.
    setSeq(f, QStringLiteral("Serial_Flag"), QStringLiteral("Both"));
    setSeq(f, QStringLiteral("Serial_No"), Variant());
    typeSerial(QStringLiteral("1"), QStringLiteral("1"));
    testUnit(f);
    EXPECT_EQ(CLng(stored::sequenceField(kLine, QStringLiteral("Serial_No"))), 1);
    setSeq(f, QStringLiteral("Serial_No"), int32_t{9999999});
    typeSerial(QStringLiteral("9999999"), QStringLiteral("9999999"));
    testUnit(f);
    EXPECT_EQ(CLng(stored::sequenceField(kLine, QStringLiteral("Serial_No"))), 9999999);
}

TEST_F(AfterUnitTest, ACloseUnitIsOfferedByItsMarginAndConfirmingTightensTheLimit) {
    frmVexo& f = ready();
    // Limits wide open: the unit's margin is shown in the reference message.
    setSeq(f, QStringLiteral("Ref_Lim"), 5.0f);
    answer({vbYes, vbOK});
    testUnit(f, slightlyOff(0.8));
    ASSERT_EQ(boxTitles(), (QStringList{QStringLiteral("Possible Reference! ... "), QStringLiteral("Possible Reference!")}));
    EXPECT_EQ(boxes()[0].prompt, "Have you just tested the current reference");
    const QString text = boxes()[1].prompt;
    ASSERT_TRUE(text.startsWith(QStringLiteral("Please mark this unit "))) << text.toStdString();
    const float margin = text.mid(22, 4).toFloat();
    EXPECT_GT(margin, 0.2f);   // the unit's largest block level, not the judging's worst record of 0
    EXPECT_LT(margin, 2.0f);
    EXPECT_EQ(text.mid(26), QStringLiteral(" and put aside.\r\rIf available return the unit marked 5.00 \rto production.\r"));
    EXPECT_NEAR(CSng(stored::sequenceField(kLine, QStringLiteral("Ref_Lim"))), margin, 0.006f);
    EXPECT_EQ(f.lblRefSearch->Caption(), QStringLiteral("Ref Search (dB) ") + text.mid(22, 4));

    // Around both limits: the same unit under a reference limit just above and a
    // selection limit just below its margin, then the other way round.
    struct Case {
        float ref, sel;
        QStringList titles;
        std::vector<int> answers;   // the reference question declined, the selection notice read
    } cases[] = {
        {margin + 0.05f, margin - 0.05f, {QStringLiteral("Possible Reference! ... ")}, {vbNo}},
        {margin - 0.05f, margin + 0.05f, {QStringLiteral("Selected Unit!")}, {vbOK}},
        {0.0f, 0.0f, {}, {}},
    };
    for (const Case& c : cases) {
        setSeq(f, QStringLiteral("Ref_Lim"), c.ref);
        setSeq(f, QStringLiteral("Sel_Lim"), c.sel);
        clearBoxes();
        for (int a : c.answers) answer({a});
        testUnit(f, slightlyOff(0.8));
        EXPECT_EQ(boxTitles(), c.titles) << c.ref << " " << c.sel;
        if (c.titles == QStringList{QStringLiteral("Selected Unit!")}) {
            EXPECT_EQ(boxes()[0].prompt, QStringLiteral("Please mark this unit as SELECTED (") + text.mid(22, 4) +
                                             QStringLiteral("dB)"));
        }
        EXPECT_FLOAT_EQ(CSng(stored::sequenceField(kLine, QStringLiteral("Ref_Lim"))), c.ref);   // No changes nothing
    }
    EXPECT_TRUE(boxes().isEmpty());

    // A failed unit is never offered, whatever the limits.
    setSeq(f, QStringLiteral("Ref_Lim"), 50.0f);
    setSeq(f, QStringLiteral("Sel_Lim"), 50.0f);
    clearBoxes();
    testUnit(f, sound::UnitModel::peakPlus3dB());
    EXPECT_FALSE(boxTitles().contains(QStringLiteral("Possible Reference! ... ")));
    EXPECT_FALSE(boxTitles().contains(QStringLiteral("Selected Unit!")));
}

TEST_F(AfterUnitTest, CurvesAreLoggedAsTheSequenceAsksWithTheLoggedTestsSweep) {
    frmVexo& f = ready();
    struct Case {
        const char* logDisc;
        bool failing;
        bool logged;
    } cases[] = {{"None", false, false}, {"None", true, false}, {"Pass", false, true}, {"Pass", true, false},
                 {"Fail", false, false}, {"Fail", true, true},  {"Both", false, true}, {"Both", true, true}};
    long count = 0;
    for (const Case& c : cases) {
        setSeq(f, QStringLiteral("Log_Disc"), QString::fromLatin1(c.logDisc));
        testUnit(f, c.failing ? sound::UnitModel::peakPlus3dB() : sound::UnitModel::standard());
        if (c.logged) ++count;
        ASSERT_EQ(stored::rows(QStringLiteral("Vexo_Crv.mdb"), QStringLiteral("vexo_crv")), count) << c.logDisc << c.failing;
    }
    // Each row holds the response test's sweep although the polarity test ran after it.
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    auto rs = db.OpenRecordset(QStringLiteral("vexo_crv"));
    for (; !rs->EOF_(); rs->MoveNext()) {
        EXPECT_EQ(CStr(rs->field(QStringLiteral("Model_Name"))), kLine);
        EXPECT_EQ(CInt(rs->field(QStringLiteral("Swp_Point"))), 40);
        EXPECT_EQ(CLng(rs->field(QStringLiteral("Swp_Start_Freq"))), 100);
        EXPECT_EQ(CLng(rs->field(QStringLiteral("Swp_End_Freq"))), 10000);
        EXPECT_FALSE(rs->field(QStringLiteral("Curve040")).isNull());
        EXPECT_TRUE(rs->field(QStringLiteral("Curve041")).isNull());
    }
}

// Only the main response test's curve is logged: the test Main_Resp names
// exactly, else the sequence's first response test; never another one's, whose
// sweep would mix with the model's other logged curves.
TEST_F(AfterUnitTest, OnlyTheMainResponseTestsCurveIsLoggedElseTheFirstsAndNeverAnothers) {
    addSequence(QStringLiteral("Two"), {QStringLiteral("Resp"), QStringLiteral("Wide"), demostation::kPolarityTest});
    addSequence(QStringLiteral("Ear first"), {QStringLiteral("Ears"), QStringLiteral("Wide")});
    frmVexo& f = ready(QStringLiteral("Two"), 2);
    setSeq(f, QStringLiteral("Log_Disc"), QStringLiteral("Both"));
    struct Case {
        const char* mainResp;
        int points;   // of the logged curve
    } cases[] = {{"", 40}, {"Wide", 100}, {"wide", 40}, {"Resp", 40}};
    for (const Case& c : cases) {
        setSeq(f, QStringLiteral("Main_Resp"), QString::fromLatin1(c.mainResp));
        testUnit(f);
    }
    {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("vexo_crv"));
        ASSERT_EQ(rs->RecordCount(), 4);
        for (const Case& c : cases) {
            EXPECT_EQ(CInt(rs->field(QStringLiteral("Swp_Point"))), c.points) << c.mainResp;
            rs->MoveNext();
        }
    }
    // The main test decided by the operator's ear leaves nothing to log, though the
    // station judged the sequence's other response test.
    choose(f.dcboSeq, QStringLiteral("Ear first"));
    calibrate(f, 2);
    setSeq(f, QStringLiteral("Log_Disc"), QStringLiteral("Both"));
    for (const char* mainResp : {"Ears", ""}) {
        setSeq(f, QStringLiteral("Main_Resp"), QString::fromLatin1(mainResp));
        expectModal<frmMultiButton>([](frmMultiButton&) { drive::key(Qt::Key_P); });
        testUnit(f);
        EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
        EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Crv.mdb"), QStringLiteral("vexo_crv")), 4) << mainResp;
    }
}

// Once a unit is counted, a failure after it (a curve or a reference the
// database refuses, a label the printer refuses) still leaves its production
// row, and every error but the serial number's still prints its label.
TEST_F(AfterUnitTest, ACountedUnitKeepsItsProductionRowAndItsLabelWhateverFailsAfterIt) {
    saveUserSetting(QStringLiteral("SendBugReports"), QStringLiteral("0"));
    writeHomeFile(QStringLiteral("Scripts/Line.txt"), "..MODEL\r\n..CR\r\n");
    frmVexo& f = ready();
    setSeq(f, QStringLiteral("Script_File"), QStringLiteral("Scripts/Line.txt"));
    setSeq(f, QStringLiteral("Log_Disc"), QStringLiteral("Both"));
    setSeq(f, QStringLiteral("Ref_Lim"), 50.0f);
    choose(f.dcboSeq, kOther);
    choose(f.dcboSeq, kLine);
    Printer.setRecording(true);
    const auto refuse = [](const QString& iFile, const QString& iWhat) {
        OpenDatabase(iFile).Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                                        .arg(iWhat));
    };
    const auto allow = [](const QString& iFile) { OpenDatabase(iFile).Execute(QStringLiteral("DROP TRIGGER refuse")); };
    const auto unitsStored = [] {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Prod.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("vexo_prod"));
        int units = 0;
        for (; !rs->EOF_(); rs->MoveNext()) units += CInt(rs->field(6));
        return units;
    };

    // The curve refused: the reference offer declined, the write's error aborted.
    refuse(QStringLiteral("Vexo_Crv.mdb"), QStringLiteral("INSERT ON vexo_crv"));
    answer({vbNo, vbAbort});
    testUnit(f);
    allow(QStringLiteral("Vexo_Crv.mdb"));
    EXPECT_EQ(boxTitles(), (QStringList{QStringLiteral("Possible Reference! ... "), QStringLiteral("Error!")}));
    EXPECT_EQ(unitsStored(), 1);
    EXPECT_EQ(Printer.rawJobs().size(), 1);

    // The reference refused: confirmed, then its write aborted.
    clearBoxes();
    refuse(QStringLiteral("Vexo_Seq.mdb"), QStringLiteral("UPDATE ON vexo_seq"));
    answer({vbYes, vbOK, vbAbort});
    testUnit(f);
    allow(QStringLiteral("Vexo_Seq.mdb"));
    EXPECT_EQ(boxTitles().last(), "Error!");
    EXPECT_EQ(unitsStored(), 2);
    EXPECT_EQ(Printer.rawJobs().size(), 2);

    // The label refused by the printer. The unit's row is stored when it is
    // counted: already there at the reference question and at the label's error.
    clearBoxes();
    Printer.setRecording(false);
    qputenv("VEXO_PRINT_TO", homeFile(QStringLiteral("no-such-folder/labels.pdf")).toUtf8());
    answerAfterLooking(vbNo, [&](const MsgBoxCall&) { EXPECT_EQ(unitsStored(), 3); });
    answerAfterLooking(vbAbort, [&](const MsgBoxCall& iBox) {
        EXPECT_TRUE(iBox.prompt.contains(QStringLiteral("Printer error"))) << iBox.prompt.toStdString();
        EXPECT_EQ(unitsStored(), 3);
    });
    testUnit(f);
    qunsetenv("VEXO_PRINT_TO");
    EXPECT_EQ(boxTitles(), (QStringList{QStringLiteral("Possible Reference! ... "), QStringLiteral("Error!")}));
    EXPECT_EQ(unitsStored(), 3);
    // The file's earlier refusal is not taken for this unit's: its curve is stored.
    EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Crv.mdb"), QStringLiteral("vexo_crv")), 1);

    // What is shown is what a fresh read of the table gives.
    const QString shown = f.lblProdRep->Caption();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Total    3    3"))) << shown.toStdString();
    choose(f.dcboSeq, kOther);
    choose(f.dcboSeq, kLine);
    EXPECT_EQ(f.lblProdRep->Caption(), shown);
}

TEST_F(AfterUnitTest, TheProductionLabelAlwaysEqualsAFreshReadAndTheRowsSumToIt) {
    frmVexo& f = ready();
    struct Unit {
        const QString& seq;
        bool failing;
        int pauseSeconds;
    } units[] = {{kLine, false, 20}, {kLine, true, 5}, {kLine, false, 40}, {kOther, false, 10}, {kOther, true, 0},
                 {kLine, false, 15}};
    for (const Unit& u : units) {
        if (f.dcboSeq->Text() != u.seq) {
            choose(f.dcboSeq, u.seq);
            if (stored::lastCali(u.seq) == 0.0) calibrate(f);
        }
        vclock::advance(u.pauseSeconds * 1000);
        testUnit(f, u.failing ? sound::UnitModel::peakPlus3dB() : sound::UnitModel::standard());
        const QString shown = f.lblProdRep->Caption();
        choose(f.dcboSeq, u.seq == kLine ? kOther : kLine);
        choose(f.dcboSeq, u.seq);
        EXPECT_EQ(f.lblProdRep->Caption(), shown);
    }
    EXPECT_TRUE(f.lblProdRep->Caption().startsWith(QStringLiteral("Total    6    4  Fail  33%  25%    ")))
        << f.lblProdRep->Caption().toStdString();
    const Database db = OpenDatabase(QStringLiteral("Vexo_Prod.mdb"));
    auto rs = db.OpenRecordset(QStringLiteral("vexo_prod"));
    int unitSum = 0, failSum = 0;
    for (; !rs->EOF_(); rs->MoveNext()) {
        unitSum += CInt(rs->field(6));
        failSum += CInt(rs->field(7));
    }
    EXPECT_EQ(rs->RecordCount(), 6);
    EXPECT_EQ(unitSum, 6);
    EXPECT_EQ(failSum, 2);
}

TEST_F(AfterUnitTest, AUnitTestedByTheEngineerIsNotCountedAndThePauseIsBooked) {
    frmVexo& f = ready();
    gsPasswordEng = QString();
    auto logIn = [&] {
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, Qt::Key_E, Qt::ControlModifier);
        if (isLoaded<frmMETest>()) {
            form<frmMETest>().close();
            unload<frmMETest>();
        }
        QApplication::processEvents();
    };
    setSeq(f, QStringLiteral("Serial_Flag"), QStringLiteral("Both"));
    setSeq(f, QStringLiteral("Log_Disc"), QStringLiteral("Both"));
    logIn();
    ASSERT_FALSE(f.dcboOperator->Visible());
    choose(f.dcboSeq, kOther);
    choose(f.dcboSeq, kLine);
    const QString before = f.lblProdRep->Caption();
    testUnit(f);                                       // no serial number asked, nothing logged
    EXPECT_EQ(f.lblProdRep->Caption(), before);
    EXPECT_EQ(f.lblSerial->Caption(), "");
    EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Prod.mdb"), QStringLiteral("vexo_prod")), 0);
    EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Crv.mdb"), QStringLiteral("vexo_crv")), 0);

    vclock::advance(10 * 60 * 1000);
    logIn();
    ASSERT_TRUE(f.dcboOperator->Visible());
    setSeq(f, QStringLiteral("Serial_Flag"), QStringLiteral("None"));
    testUnit(f);
    const Database db = OpenDatabase(QStringLiteral("Vexo_Prod.mdb"));
    auto rs = db.OpenRecordset(QStringLiteral("vexo_prod"));
    ASSERT_EQ(rs->RecordCount(), 1);
    const double pause = CDbl(rs->field(5));
    EXPECT_GT(pause * 1440.0, 10.0);
    EXPECT_LT(pause * 1440.0, 12.0);
    EXPECT_GT(CDbl(rs->field(4)) - CDbl(rs->field(3)) - pause, 0.0);
    EXPECT_FALSE(f.lblProdRep->Caption().contains(QLatin1Char('-')));
}

TEST_F(AfterUnitTest, TheReferenceUnitItselfNeverTurnsTheSearchOffAndAnOperatorsDecisionIsNeverOffered) {
    frmVexo& f = ready();
    setSeq(f, QStringLiteral("Ref_Lim"), 5.0f);
    answer({vbYes, vbOK});
    testUnit(f);                                       // the standard unit the sequence was calibrated on
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_GE(CSng(stored::sequenceField(kLine, QStringLiteral("Ref_Lim"))), 0.01f);
    EXPECT_NE(f.lblRefSearch->Caption(), "");

    // The operator passes the unit by ear: nothing the station judged, so no
    // offer and no curve, whatever the limits and the logging ask.
    choose(f.dcboSeq, QStringLiteral("By ear"));
    calibrate(f);
    setSeq(f, QStringLiteral("Ref_Lim"), 50.0f);
    setSeq(f, QStringLiteral("Sel_Lim"), 50.0f);
    setSeq(f, QStringLiteral("Log_Disc"), QStringLiteral("Both"));
    expectModal<frmMultiButton>([](frmMultiButton&) { drive::key(Qt::Key_P); });
    testUnit(f);
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_TRUE(boxes().isEmpty()) << boxTitles().join('|').toStdString();
    EXPECT_EQ(stored::rows(QStringLiteral("Vexo_Crv.mdb"), QStringLiteral("vexo_crv")), 0);
}
