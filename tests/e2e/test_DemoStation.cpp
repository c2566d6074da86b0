// The demo station on the jig, started, used and closed as an operator does.
#include "audio/modAudio.h"
#include "audio/modMixer.h"
#include "audio/modWaveResponse.h"
#include "common/frmSplash.h"
#include "platform/os/Settings.h"
#include "platform/vb/Conversions.h"
#include "tests/support/MainWindowRig.h"
#include <QDir>
#include <cmath>

namespace {
class DemoStationTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
    }
    // The demo response test's sweep on the unit in the jig, at a fixed microphone level.
    ResponseCurve sweep(frmVexo& f, const sound::UnitModel& iUnit) {
        jig().setUnit(iUnit);
        ResponseCurve level(101), corrected(101);
        bool e = false;
        gMixerInMicSetVolume(20000, e);
        gWaveResponse(f, 20, 20000, 100, 0.0f, 2.83f, false, 20000, 0, false, 0xFFFFFF, 0, level, corrected, e);
        EXPECT_FALSE(e);
        return level;
    }
    // The largest excess of a layer's worst block over its limit, for a curve
    // against a reference; blocks of the layer's size start at every point of its band.
    static double worstExcess(const TestRecord& iTest, const ResponseCurve& iCurve, const ResponseCurve& iRef) {
        double worst = -100;
        for (int n = 1; n <= 6; ++n) {
            const ResponseLayer l = iTest.Layer(n);
            if (!l.On) continue;
            bool e = false;
            const int lo = gnAudioFreq2Point(20, 20000, 100, l.fLo, e);
            const int hi = gnAudioFreq2Point(20, 20000, 100, l.fHi, e);
            for (int s = lo; s + l.Pt - 1 <= hi; ++s) {
                double sum = 0;
                for (int p = s; p < s + l.Pt; ++p) sum += std::pow(10.0, std::abs(iCurve[p] - iRef[p]) / 20.0);
                worst = std::max(worst, 20 * std::log10(sum / l.Pt) - l.Lim);
            }
        }
        return worst;
    }
    int32_t master() { return jig().cardMixer().controlByRole(sound::MixerRole::MasterVolume)->values[0]; }
    // The record-source items that are selected, by component type.
    std::vector<uint32_t> recordSources() {
        std::vector<uint32_t> on;
        const sound::MixerControlModel* s = jig().cardMixer().controlByRole(sound::MixerRole::RecordSelect);
        for (size_t i = 0; i < s->items.size(); ++i)
            if (s->values[i] != 0) on.push_back(s->items[i].dwParam2);
        return on;
    }
};

TEST_F(DemoStationTest, AFirstStartShowsTheDemoSequenceReadyOnTheJig) {
    installJig();
    frmVexo& f = start();
    EXPECT_TRUE(boxes().isEmpty()) << boxes().value(0).prompt.toStdString();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.dcboOperator->Text(), "Unknown");
    // No sequence "Small System" here: the box shows the row the station uses.
    EXPECT_EQ(f.dcboSeq->Text(), "Demo");
    EXPECT_EQ(f.lblSeq->Caption(), "Demo");
    EXPECT_EQ(f.lblCard->Caption(), "Vexo Test Jig");
    EXPECT_TRUE(f.lblCard->Visible());
    EXPECT_EQ(master(), 65535);
    EXPECT_EQ(recordSources(), std::vector<uint32_t>{MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE});
    // The compact view, Test ready.
    EXPECT_EQ(f.cmdMoreStuff->Caption(), "More St&uff");
    EXPECT_FALSE(f.cmdEngineer->Visible());
    EXPECT_TRUE(f.cmdTest->Enabled());
    EXPECT_TRUE(f.cmdTest->HasFocus());
    EXPECT_TRUE(f.cmdCali->Visible());
    EXPECT_FALSE(f.tmrFlash->running());
    // The polarity grid with the sequence's polarity test named in black.
    const auto names = texts(*f.picPolarity);
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), qMakePair(demostation::kPolarityTest, int32_t{0}));
    bool lines = false;
    for (const DrawOp& op : f.picPolarity->ops()) lines = lines || op.kind == DrawOpKind::Line;
    EXPECT_TRUE(lines);
    EXPECT_EQ(f.picPolarity->Left(), 360);
    EXPECT_EQ(f.picPolarity->Width(), 3325);
    EXPECT_FALSE(isLoaded<frmSplash>());
}

TEST_F(DemoStationTest, WithoutASoundInputTestingAndCalibrationAreRefused) {
    sound::JigConfig c = sound::JigConfig::standard();
    c.inputs.clear();
    installJig(c);
    frmVexo& f = start();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.cmdTest->Enabled());
    EXPECT_FALSE(f.cmdCali->Enabled());
    EXPECT_EQ(f.lblCard->Caption(), "Wave device not found");
    EXPECT_EQ(f.lblCard->ForeColor(), 255);
    EXPECT_TRUE(f.lblCard->Visible());
    EXPECT_TRUE(f.tmrFlash->running());
    EXPECT_EQ(f.cmdMoreStuff->Caption(), "More St&uff");
    // The check's own message only: a failed check is not an error.
    for (const MsgBoxCall& b : boxes()) EXPECT_NE(b.title, "Error!") << b.prompt.toStdString();
    // The sequence is still chosen, and the red label stays through both views.
    EXPECT_EQ(f.dcboSeq->Text(), "Demo");
    drive::click(f.cmdMoreStuff);
    drive::click(f.cmdMoreStuff);
    EXPECT_TRUE(f.lblCard->Visible());
    // Nor is closing such a station.
    closeWindow();
    for (const MsgBoxCall& b : boxes()) EXPECT_NE(b.title, "Error!") << b.prompt.toStdString();
    EXPECT_EQ(userSetting(QStringLiteral("dcboSeq")), "Demo");
}

TEST_F(DemoStationTest, ChoicesAndViewSurviveARestartAndTheMixerIsPutBack) {
    installJig();
    addSequence(QStringLiteral("Tweeter"), {demostation::kPolarityTest});
    const std::vector<int32_t> found = mixerValues();
    frmVexo& f = start();
    ASSERT_NE(mixerValues(), found);   // start-up set the master and the microphone

    choose(f.dcboSeq, QStringLiteral("Tweeter"));
    EXPECT_EQ(f.lblSeq->Caption(), "Tweeter");
    EXPECT_FALSE(f.cmdCali->Visible());
    choose(f.dcboOperator, demostation::kOperator);
    drive::click(f.cmdMoreStuff);
    closeWindow();

    EXPECT_EQ(userSetting(QStringLiteral("dcboSeq")), "Tweeter");
    EXPECT_EQ(userSetting(QStringLiteral("dcboOperator")), demostation::kOperator);
    EXPECT_EQ(userSetting(QStringLiteral("cmdMoreStuff.Caption")), "Less St&uff");
    EXPECT_EQ(mixerValues(), found);

    // The second sequence's row is the one the station uses after a restart.
    frmVexo& again = start();
    EXPECT_EQ(again.dcboSeq->Text(), "Tweeter");
    EXPECT_EQ(again.lblSeq->Caption(), "Tweeter");
    EXPECT_EQ(again.dcboOperator->Text(), demostation::kOperator);
    EXPECT_EQ(again.cmdMoreStuff->Caption(), "Less St&uff");
    EXPECT_TRUE(again.cmdEngineer->Visible());
    EXPECT_EQ(again.lblStation->Caption(), "Station:  Demo Station");
    EXPECT_TRUE(boxes().isEmpty());
    closeWindow();

    // A saved sequence that was deleted meanwhile: the box shows the row in use.
    saveUserSetting(QStringLiteral("dcboSeq"), QStringLiteral("Gone"));
    frmVexo& third = start();
    EXPECT_EQ(third.dcboSeq->Text(), "Demo");
    EXPECT_EQ(third.lblSeq->Caption(), "Demo");
}

TEST_F(DemoStationTest, TheDemoLayersPassTheStandardUnitAndFailOneWithAHigherPeak) {
    installJig();
    frmVexo& f = start();
    const ResponseCurve reference = sweep(f, sound::UnitModel::standard());
    const ResponseCurve good = sweep(f, sound::UnitModel::standard());
    const ResponseCurve peaky = sweep(f, sound::UnitModel::peakPlus3dB());
    auto rs = OpenDatabase(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"));
    rs->FindFirst(QStringLiteral("Test_Name = ?"), Variant(demostation::kResponseTest));
    ASSERT_FALSE(rs->NoMatch());
    const TestRecord test(*rs);
    EXPECT_LT(worstExcess(test, good, reference), 0.0);
    EXPECT_GT(worstExcess(test, peaky, reference), 0.5);
}

TEST_F(DemoStationTest, TheDemoFolderHoldsWhatTheStationReads) {
    const Database seq = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
    auto rs = seq.OpenRecordset(QStringLiteral("vexo_seq"));
    ASSERT_EQ(rs->RecordCount(), 1);
    const SequenceRecord s(*rs);
    EXPECT_EQ(s.Seq_Name(), "Demo");
    EXPECT_EQ(s.Last_Cali(), 0.0);
    for (const QString& file : {s.Prompt_File(), s.Target_File(), s.Script_File()})
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    for (int slot = 1; slot <= 16; ++slot) {
        auto cal = seq.OpenRecordset(QStringLiteral("vexo_seq_cal%1").arg(slot, 2, 10, QLatin1Char('0')));
        ASSERT_EQ(cal->RecordCount(), 1);
        const CalibrationRecord c(*cal);
        EXPECT_EQ(c.Seq_Name(), "Demo");
        EXPECT_EQ(CStr(cal->field(QStringLiteral("Test_Name"))), " ");
        EXPECT_EQ(c.AttIn(), 0);
        EXPECT_FALSE(c.hasReference());
    }
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutSoundboard")), "2");
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutAmp")), "40");
    // Made again over itself it adds nothing and keeps a calibration set since.
    saveUserSetting(QStringLiteral("gfVOutAmp"), QStringLiteral("38.5"));
    EXPECT_FALSE(demostation::missing(home()));
    demostation::build(home());
    EXPECT_EQ(seq.OpenRecordset(QStringLiteral("vexo_seq"))->RecordCount(), 1);
    EXPECT_EQ(OpenDatabase(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"))->RecordCount(), 3);
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutAmp")), "38.5");
}
}
