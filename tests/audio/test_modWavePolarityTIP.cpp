// The polarity test through the jig: the pulse played, the recording and the
// decision, for normal and reversed units and wiring, and the test-in-progress line.
#include "audio/modDigitalIO.h"
#include "audio/modWavePolarityHi.h"
#include "audio/modWavePolarityTIP.h"
#include "common/modVarSystemParams.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include "tests/support/GraphWindows.h"
#include "tests/support/AudioRig.h"
#include "tests/support/FakeDigitalPort.h"

namespace {
class Polarity : public AudioRig {
protected:
    void SetUp() override {
        AudioRig::SetUp();
        f = std::make_unique<frmPolarity>();
        f->picPolarity->setOpLog(true);
    }
    void TearDown() override {
        endOfScript();
        f.reset();
        digitalport::setBoard(nullptr);
        AudioRig::TearDown();
    }
    sound::JigConfig jig(const sound::UnitModel& iUnit = sound::UnitModel::standard()) {
        sound::JigConfig cfg = sound::JigConfig::standard();
        cfg.unit = iUnit;
        return cfg;
    }
    // One polarity test on a fresh picture, at 1 V at the board (half scale).
    int16_t test(bool iLow, float iVOut = 1.0f) {
        gWavePolarityHiInitShowDraw(*f->picPolarity, 3325, 2550, error);
        markerX = -1;
        return gnWavePolarityTIP(iLow, 0.0f, iVOut, true, markerX, error);
    }
    std::unique_ptr<frmPolarity> f;
    int16_t markerX = -1;
    bool error = false;
};
}

// The low pulse needs the board's full 2 V on the jig's standard unit, the high one 1 V.
TEST_F(Polarity, NormalAndReversedUnitsWithBothPulsesAndDeviceLatency) {
    sound::JigConfig slow = jig();
    slow.outputLatencyFrames = 441;   // 10 ms each way
    slow.inputLatencyFrames = 441;
    sound::JigConfig slowReversed = slow;
    slowReversed.unit = sound::UnitModel::reversedPolarity();
    const std::vector<std::pair<sound::JigConfig, int16_t>> cases = {
        {jig(), 1}, {jig(sound::UnitModel::reversedPolarity()), -1}, {slow, 1}, {slowReversed, -1}};
    for (const auto& [cfg, expected] : cases) {
        sound::JigBackend& j = station(cfg);
        calibrated(2.0f, 40.0f);
        for (bool low : {true, false}) {
            SCOPED_TRACE(QStringLiteral("%1, %2 pulse, output latency %3")
                             .arg(cfg.unit.name, low ? "low" : "high")
                             .arg(cfg.outputLatencyFrames)
                             .toStdString());
            j.clearEvents();
            EXPECT_EQ(test(low, low ? 2.0f : 1.0f), expected);
            EXPECT_FALSE(error);
            // The deciding sample lies early in the window: the pulse's own first half cycle.
            EXPECT_GT(markerX, 8);
            EXPECT_LT(markerX, low ? 3265 / 10 : 3265 * 3 / 10);
            // Played once at the card's rate, recorded with it.
            int writes = 0;
            for (const sound::JigEvent& ev : j.events())
                if (ev.what.startsWith(QStringLiteral("waveOutWrite"))) ++writes;
            EXPECT_EQ(writes, 1);
        }
        EXPECT_TRUE(boxes().isEmpty());
        sound::setBackend(nullptr);
    }
}

TEST_F(Polarity, ReversedWiringNegatesTheRecordingEvenAClippedSample) {
    gbVOutPositivePolarity = false;
    station();
    calibrated(2.0f, 40.0f);
    EXPECT_EQ(test(false, 1.0f), -1);
    EXPECT_FALSE(error);
    sound::setBackend(nullptr);

    // An input overloaded from its first sample: every sample reads -32768,
    // which negated is full scale, not an overflow.
    sound::JigConfig overloaded = jig();
    overloaded.dcLsb = -40000;
    station(overloaded);
    calibrated(2.0f, 40.0f);
    EXPECT_EQ(test(false, 1.0f), 1);
    EXPECT_EQ(markerX, CInt(1.0 * (3265 - 8) / 352 + 8));   // sample 1 of 352 decides
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(Polarity, ADeadUnitOrNoDriveDecidesNothing) {
    station(jig(sound::UnitModel::deadUnit()));
    calibrated(2.0f, 40.0f);
    EXPECT_EQ(test(true, 2.0f), 0);
    EXPECT_EQ(markerX, -1);
    EXPECT_EQ(test(false, 2.0f), 0);
    EXPECT_EQ(markerX, -1);
    EXPECT_FALSE(error);
    sound::setBackend(nullptr);

    station();
    calibrated(2.0f, 40.0f);
    gVOutSet(2.0f, true, error);   // full scale left from before
    EXPECT_EQ(test(false, 0.0f), 0);
    EXPECT_EQ(markerX, -1);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
}

// Retry at a pulse recording that timed out, or that the device refused when
// it stopped or when its samples were read, plays the pulse again and records
// it, and the test decides; Abort ends the test with the error flag.
TEST_F(Polarity, RetryAtARefusedPulseRecordingRecordsItAgain) {
    sound::JigBackend& j = station();
    calibrated(2.0f, 40.0f);
    const auto count = [&](const QString& iWhat) {
        int n = 0;
        for (const sound::JigEvent& ev : j.events()) n += ev.what.startsWith(iWhat);
        return n;
    };
    enum class Refusal { TimedOut, AtTheStop, AtTheRead };
    for (const int answer : {int(vbRetry), int(vbAbort)}) {
        for (const Refusal refusal : {Refusal::TimedOut, Refusal::AtTheStop, Refusal::AtTheRead}) {
            SCOPED_TRACE(std::string(answer == vbRetry ? "Retry" : "Abort") + " at a recording " +
                         (refusal == Refusal::TimedOut    ? "timed out"
                          : refusal == Refusal::AtTheStop ? "refused at the stop"
                                                          : "refused at the read"));
            j.clearEvents();
            clearBoxes();
            error = false;
            if (refusal == Refusal::TimedOut) j.killInput(true);
            else if (refusal == Refusal::AtTheStop) j.failCall(sound::SoundCall::WaveInStop, MMSYSERR_ERROR);
            else j.failCall(sound::SoundCall::WaveInReadHeader, MMSYSERR_ERROR);
            answerAfterLooking(answer, [&](const MsgBoxCall&) { j.killInput(false); });
            if (answer == vbAbort) this->answer({vbNo});   // the bug-report offer
            const int16_t result = test(false);
            if (answer == vbRetry) {
                EXPECT_EQ(result, 1);
                EXPECT_FALSE(error);
                EXPECT_EQ(boxes().size(), 1);
                EXPECT_EQ(count(QStringLiteral("waveOutWrite")), 2) << "the pulse played again";
                EXPECT_EQ(count(QStringLiteral("waveInStart")), 2) << "and recorded again";
                // Recorded from the pulse's start: the first half cycle decides.
                EXPECT_GT(markerX, 8);
                EXPECT_LT(markerX, 3265 * 3 / 10);
            } else {
                EXPECT_EQ(result, 0);
                EXPECT_TRUE(error);
                EXPECT_EQ(boxes().size(), 2);
                EXPECT_EQ(count(QStringLiteral("waveInStart")), 1);
            }
            EXPECT_EQ(glWaveOutHandle, 0);
            EXPECT_EQ(glWaveInHandle, 0);
        }
    }
}

TEST_F(Polarity, TheTestInProgressLineIsHeldOnlyWhenNobodyHoldsIt) {
    fakeport::Record board;
    fakeport::install(1, board);
    gnDigPort = 1;
    gDigInit(error);
    station();
    calibrated(2.0f, 40.0f);

    EXPECT_EQ(test(false), 1);
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{8, 0}));

    // A refused drive voltage ends the test with an error: the line is cleared all the same.
    board.writes.clear();
    answer({vbOK});
    EXPECT_EQ(test(false, 2.5f), 0);
    EXPECT_TRUE(error);
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{8, 0}));
    EXPECT_EQ(boxes().back().prompt, QStringLiteral("ifVOut out of range"));

    // Held by the run: left to the run.
    error = false;
    board.writes.clear();
    gDigSetTestInProgress(error);
    EXPECT_EQ(test(false), 1);
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{8}));
}
