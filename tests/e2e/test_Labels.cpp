// Labels printed after units tested on the jig as the operator does: one raw
// job per unit in production, none for a sequence without a script or while an
// engineer works at the station.
#include "common/frmListGet.h"
#include "common/frmPassword.h"
#include "common/modVarSystemParams.h"
#include "platform/os/Clock.h"
#include "platform/ui/Printer.h"
#include "station/DemoStation.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/StoredRecords.h"

namespace {
class LabelRunTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
        addOperator(QStringLiteral("Alice"));
        setSerialNo(41);
        // No re-test question after a failed unit.
        bool e = false;
        gVarSystemParamsRead(e);
        gbOpFailCheck = false;
        gVarSystemParamsWrite(e);
        writeHomeFile(QStringLiteral("Scripts/Demo.txt"),
                      ".Demo label\r\n..MODEL\r\n..CR\r\nS/N \r\n..SERIAL\r\n / \r\n..PARTNER\r\n..CR\r\n"
                      "..OPERATOR\r\n..SPACE1\r\n..ID\r\n..@13 10 \r\n");
        installJig();
        Printer.setRecording(true);
    }
    void TearDown() override {
        endOfScript();
        Printer.setRecording(false);
        MainWindowRig::TearDown();
    }
    static void setField(const QString& iField, const Variant& iValue) {
        stored::setSequenceField(demostation::kSequence, iField, iValue);
    }
    static void setSerialNo(int32_t iSerial) { setField(QStringLiteral("Serial_No"), iSerial); }
    // The demo calibrated on the standard unit and its prompt file read: ready for units.
    frmVexo& ready() {
        frmVexo& f = start();
        choose(f.dcboOperator, QStringLiteral("Alice"));
        answer({vbYes, vbYes});
        drive::click(f.cmdTest);
        clearBoxes();
        expectModal<frmListGet>([](frmListGet& w) { drive::click(w.cmdOK); });
        return f;
    }
    static QList<QByteArray> labels() {
        QList<QByteArray> out;
        for (const RawPrintJob& job : Printer.rawJobs()) out << job.bytes;
        return out;
    }
};
}   // namespace

TEST_F(LabelRunTest, EachUnitTestedInProductionPrintsOneLabel) {
    frmVexo& f = ready();
    EXPECT_TRUE(labels().isEmpty());   // calibrating is no unit
    const QByteArray id = f.lblCard->Caption().left(4).toLatin1();
    const QByteArray expected = "Demo\r\nS/N 41 / 42\r\nAlice " + id + "\r\n";
    drive::click(f.cmdTest);
    ASSERT_EQ(labels().size(), 1);
    EXPECT_EQ(labels().at(0), expected);
    jig().setUnit(sound::UnitModel::peakPlus3dB());
    drive::click(f.cmdTest);
    ASSERT_EQ(labels().size(), 2);
    EXPECT_EQ(labels().at(1), expected);
}

TEST_F(LabelRunTest, NoLabelForASequenceWithoutAScript) {
    setField(QStringLiteral("Script_File"), Variant(QStringLiteral("  ")));
    frmVexo& f = ready();
    drive::click(f.cmdTest);
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_TRUE(labels().isEmpty());
}

TEST_F(LabelRunTest, NoLabelInEngineerMode) {
    frmVexo& f = ready();
    // Engineer mode: the operator box hidden by the engineer's log-in.
    gsPasswordEng = QString();
    drive::click(f.cmdMoreStuff);
    drive::click(f.cmdEngineer);
    ASSERT_FALSE(f.dcboOperator->Visible());
    f.activateWindow();
    drive::click(f.cmdTest);
    EXPECT_TRUE(labels().isEmpty());
}

// A script named but not there prints no label: the operator hears of it once,
// when the sequence is chosen, not at every unit.
TEST_F(LabelRunTest, AScriptNamedButMissingIsReportedOnceWhenTheSequenceIsChosen) {
    setField(QStringLiteral("Script_File"), Variant(QStringLiteral("Scripts/Gone.txt")));
    answer({vbOK});
    frmVexo& f = start();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "File 'Scripts/Gone.txt' does not exist ");
    EXPECT_EQ(boxes().at(0).title, "frmVexo.mbScriptListRead");
    clearBoxes();
    // The calibration's own questions only: the sequence read again after its
    // stamp is not chosen again.
    answer({vbYes, vbYes});
    drive::click(f.cmdTest);
    EXPECT_EQ(boxes().size(), 2);
    for (const MsgBoxCall& b : boxes()) EXPECT_NE(b.title, "frmVexo.mbScriptListRead");
    clearBoxes();
    expectModal<frmListGet>([](frmListGet& w) { drive::click(w.cmdOK); });
    drive::click(f.cmdTest);
    drive::click(f.cmdTest);
    EXPECT_EQ(f.lblPassFail->Caption(), "PASS");
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(labels().isEmpty());
    // Chosen again, it is said again.
    addSequence(QStringLiteral("Other"), {demostation::kPolarityTest});
    f.dtaSeq.Refresh();
    choose(f.dcboSeq, QStringLiteral("Other"));
    answer({vbOK});
    choose(f.dcboSeq, QStringLiteral("Demo"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "File 'Scripts/Gone.txt' does not exist ");
}
