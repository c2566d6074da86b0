// The frequency response measured end to end through the simulated jig: the
// levels read at each point against the model loudspeaker's own transfer
// function, with and without device latency, repeatability, drive, a unit
// with a break-up peak; the stop at a point the card cannot play; the output
// closed and the devices released after errors; a second measurement started
// from a window event refused.
#include "audio/modAudio.h"
#include "audio/modDigitalIO.h"
#include "audio/modMixer.h"
#include "audio/modVOut.h"
#include "audio/modResponseSub.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "audio/modWaveResponse.h"
#include "common/modGeneral.h"
#include "common/modLog10.h"
#include "common/modVarSystemParams.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureBox.h"
#include "tests/support/FakeDigitalPort.h"
#include "tests/support/GraphWindows.h"
#include "tests/support/JigBench.h"
#include "tests/support/StationTest.h"
#include <QTimer>
#include <cmath>

using namespace jigbench;

namespace {
class Response : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        jig = &installJig(config());
        ASSERT_TRUE(gbWaveInOutMixerThereInit(error));
        gMixerOutMasterSetVolume(65535, error);
        gMixerInMasterSelectMic(error);
        ASSERT_FALSE(error);
        f = std::make_unique<frmGraph>();
        gResponseSubDrawGrid(*f, 600, 200, 4800, 2550, 0, QStringLiteral("(Hz)"), false, error);
        gafTargetCorrection.assign(1, 0.0f);
        // The board calibrated as the jig's converter is: 2 V rms for full scale.
        gfVOutSoundboard = 2.0f;
        gfVOutAmp = 40.0f;
        ASSERT_FALSE(error);
    }
    void TearDown() override {
        endOfScript();
        bool e = false;
        gWaveOutClose(true, e);
        f.reset();
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    virtual sound::JigConfig config() { return sound::JigConfig::standard(); }

    // The level of every point of a response from 20 Hz to 20 kHz at a drive
    // voltage at the board.
    ResponseCurve measure(int16_t iPoints = 100, float iVolts = 1.0f, int32_t iMic = 30000) {
        ResponseCurve level(101, 0.0f), corrected(101, 0.0f);
        gWaveResponse(*f, 20, 20000, iPoints, 0.1f, iVolts, true, iMic, 0, false, 0xFFFFFF, 0, level, corrected, error);
        return level;
    }
    // The peak amplitude a drive voltage at the board plays at.
    static double amplitude(float iVolts) { return std::nearbyint(iVolts * 32767.0 / 2.0); }

public:
    // The frequency point p of a 20 Hz - 20 kHz response plays: whole hertz.
    static double playedAt(int iPoint, int iPoints = 100) {
        const float inc = float(float(std::log(1000.0) / 2.3025851) / double(iPoints - 1));
        return std::floor(20.0 * std::pow(10.0, double(inc) * (iPoint - 1)) + 0.5);
    }

protected:
    sound::JigBackend* jig = nullptr;
    std::unique_ptr<frmGraph> f;
    bool error = false;
};
}

namespace {
class ResponseWithLatency : public Response {
    sound::JigConfig config() override {
        sound::JigConfig c = sound::JigConfig::standard();
        c.outputLatencyFrames = 441;   // 10 ms each way
        c.inputLatencyFrames = 441;
        return c;
    }
};

// Points whose measured level departs from the model's by more than iTolerance
// dB, where the model is above -60 dB.
QStringList misfits(sound::JigBackend& iJig, const ResponseCurve& iLevel, double iAmplitude, double iTolerance) {
    QStringList bad;
    for (int p = 1; p <= 100; ++p) {
        const double f = Response::playedAt(p);
        const double e = iJig.expectedLevelDb(f, iAmplitude);
        if (e > -60 && std::fabs(iLevel[size_t(p)] - e) > iTolerance)
            bad << QStringLiteral("%1 Hz: %2 dB, model %3 dB").arg(f).arg(iLevel[size_t(p)]).arg(e);
    }
    return bad;
}
}

TEST_F(Response, EveryPointMatchesTheModelLoudspeaker) {
    const ResponseCurve level = measure();
    ASSERT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    const QStringList bad = misfits(*jig, level, amplitude(1.0f), 0.1);
    EXPECT_TRUE(bad.isEmpty()) << bad.join("\n").toStdString();
    // The level scale reaches down to the low end: the range is not cut by the noise.
    EXPECT_LT(level[100], -50.0f);
    EXPECT_EQ(glWaveOutHandle, 0) << "the output is closed at the end";
}

TEST_F(ResponseWithLatency, DeviceLatencyDoesNotShiftTheLevels) {
    const ResponseCurve level = measure();
    ASSERT_FALSE(error);
    const QStringList bad = misfits(*jig, level, amplitude(1.0f), 0.1);
    EXPECT_TRUE(bad.isEmpty()) << bad.join("\n").toStdString();
}

TEST_F(Response, RepeatsAndFollowsTheDrive) {
    const ResponseCurve first = measure();
    const ResponseCurve second = measure();
    const ResponseCurve half = measure(100, 0.5f);
    ASSERT_FALSE(error);
    for (int p = 1; p <= 100; ++p) {
        SCOPED_TRACE(std::to_string(playedAt(p)) + " Hz");
        EXPECT_NEAR(second[p], first[p], 0.05);
        EXPECT_NEAR(first[p] - half[p], 20 * std::log10(amplitude(1.0f) / amplitude(0.5f)), 0.05);
    }
    EXPECT_DOUBLE_EQ(amplitude(1.0f), 2 * amplitude(0.5f));
}

TEST_F(Response, ABreakUpPeakThreeDecibelsHigherShowsAsSuch) {
    const ResponseCurve standard = measure();
    jig->setUnit(sound::UnitModel::peakPlus3dB());
    const ResponseCurve peaky = measure();
    ASSERT_FALSE(error);
    int atPeak = 1;
    for (int p = 1; p <= 100; ++p)
        if (std::fabs(playedAt(p) - 4000) < std::fabs(playedAt(atPeak) - 4000)) atPeak = p;
    EXPECT_NEAR(peaky[atPeak] - standard[atPeak], 3.0, 0.1) << playedAt(atPeak) << " Hz";
    EXPECT_NEAR(peaky[1] - standard[1], 0.0, 0.05);
    EXPECT_NEAR(peaky[50] - standard[50], 0.0, 0.05);
}

TEST_F(ResponseWithLatency, EachPointIsReadWhileItsOwnTonePlays) {
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    ASSERT_FALSE(error);
    // The tones as they left the converter: each a whole number of its loops,
    // the next following without a gap.
    const std::vector<int16_t> tap = jig->outputTap();
    const double open = [&] {
        for (const sound::JigEvent& e : jig->events())
            if (e.what.startsWith("waveOutOpen")) return e.ms;
        return -1.0;
    }();
    std::vector<double> captures;   // first captured sample, as an output sample index
    for (const sound::JigEvent& e : jig->events())
        if (e.what == "input starts") captures.push_back((e.ms - open) * 44.1 - 882);
    ASSERT_EQ(captures.size(), 40u);
    // The start tone is point 1's own tone: the two run together from the start.
    size_t at = 0;
    for (int p = 1; p <= 40; ++p) {
        SCOPED_TRACE("point " + std::to_string(p));
        const float freq = float(playedAt(p, 40));
        gWaveOutSetSineFreq(freq, error);
        std::vector<int16_t> tone;
        glWaveOutMake(tone, error);
        const size_t n = tone.size() - 1;
        size_t i = at;
        while (i < tap.size() && tap[i] == tone[1 + (i - at) % n]) ++i;
        ASSERT_GT(i, at);
        if (p < 40) {
            ASSERT_EQ((i - at) % n, 0u) << "a tone ends on a whole pass";
        }
        // The settling samples and the whole cycles read lie inside the tone.
        const double count = 44100.0 / freq * std::ceil(1000 * freq / 44100.0);
        const double settle = std::max(220.0, std::round(2 * 44100.0 / freq));
        EXPECT_GE(captures[size_t(p - 1)], double(at) - 1);
        EXPECT_LE(captures[size_t(p - 1)] + settle + count, double(i) + 1);
        at = i;
    }
}

TEST_F(Response, CorrectionIsAddedOnlyWhenAsked) {
    gafTargetCorrection.assign(41, 0.0f);
    for (int p = 1; p <= 40; ++p) gafTargetCorrection[size_t(p)] = 0.25f * p;
    ResponseCurve level(41, 0.0f), corrected(41, -1.0f);
    gWaveResponse(*f, 20, 20000, 40, 0, 1.0f, true, 30000, 0, true, 0xFFFFFF, 0, level, corrected, error);
    ASSERT_FALSE(error);
    for (int p = 1; p <= 40; ++p) EXPECT_FLOAT_EQ(corrected[size_t(p)], level[size_t(p)] + 0.25f * p);
    ResponseCurve untouched(41, -1.0f);
    gWaveResponse(*f, 20, 20000, 40, 0, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, untouched, error);
    EXPECT_EQ(untouched, ResponseCurve(41, -1.0f));

    // Too short for the points: refused before anything plays.
    gafTargetCorrection.assign(20, 0.0f);
    jig->clearEvents();
    answer({vbAbort, vbNo});
    gWaveResponse(*f, 20, 20000, 40, 0, 1.0f, true, 30000, 0, true, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_TRUE(error);
    EXPECT_TRUE(jig->events().empty());
    EXPECT_TRUE(boxes()[0].prompt.contains("Subscript out of range"));
}

TEST_F(Response, APointTheCardCannotPlayStopsTheMeasurement) {
    ResponseCurve level(41, 99.0f), corrected(41, 0.0f);
    answer({vbOK});
    gWaveResponse(*f, 45, 25000, 40, 0, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_TRUE(error);
    ASSERT_EQ(boxes().size(), 1);
    // Point 39 plays 20,750 Hz, beyond the card's top.
    const float inc = float(float(std::log(double(25000.0f / 45.0f)) / 2.3025851) / 39.0);
    const double p39 = std::floor(45 * std::pow(10.0, double(inc) * 38) + 0.5);
    EXPECT_EQ(boxes()[0].prompt, QStringLiteral("Frequency (%1) out of range (10-20000 (Hz))").arg(p39));
    for (int p = 1; p <= 38; ++p) EXPECT_LT(level[size_t(p)], 0.0f) << "measured point " << p;
    EXPECT_EQ(level[39], 99.0f);
    EXPECT_EQ(level[40], 99.0f);
    EXPECT_EQ(glWaveOutHandle, 0);

    // A start frequency out of range plays nothing.
    jig->clearEvents();
    error = false;
    answer({vbOK});
    gWaveResponse(*f, 5, 20000, 40, 0, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(boxes().size(), 2);
    for (const sound::JigEvent& e : jig->events()) EXPECT_FALSE(e.what.startsWith("waveOut")) << e.what.toStdString();
}

TEST_F(Response, ADeviceErrorStopsItAndTheNextMeasurementRuns) {
    allowErrors({QStringLiteral("The sound device is already in use.")});
    jig->failCall(sound::SoundCall::WaveInOpen, MMSYSERR_ALLOCATED);
    ResponseCurve level(101, 99.0f), corrected(101, 0.0f);
    gWaveResponse(*f, 20, 20000, 100, 0, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(level[1], 99.0f);
    EXPECT_EQ(glWaveOutHandle, 0);
    EXPECT_EQ(glWaveInHandle, 0);
    error = false;
    clearBoxes();
    const ResponseCurve again = measure();
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(misfits(*jig, again, amplitude(1.0f), 0.1).isEmpty());
}

TEST_F(Response, ASecondMeasurementFromAWindowEventIsRefused) {
    allowErrors({QStringLiteral("A measurement is already running")});
    bool nestedError = false;
    ResponseCurve nested(101, 0.0f), nestedCorrected(101, 0.0f);
    QTimer::singleShot(0, [&] {
        gWaveResponse(*f, 20, 20000, 100, 0, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, nested, nestedCorrected,
                      nestedError);
    });
    const ResponseCurve level = measure();
    EXPECT_TRUE(nestedError);
    EXPECT_EQ(nested, ResponseCurve(101, 0.0f));
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains("A measurement is already running"));
    EXPECT_FALSE(error) << "the running measurement goes on";
    EXPECT_TRUE(misfits(*jig, level, amplitude(1.0f), 0.1).isEmpty());
}

namespace {
// A card whose output runs at 96 kHz: the top frequency is 40 kHz.
class ResponseOnA96kCard : public Response {
    sound::JigConfig config() override {
        sound::JigConfig c = sound::JigConfig::standard();
        c.cardName = QStringLiteral("Sound Blaster Audigy");
        c.outputs[0].caps.szPname = c.inputs[0].caps.szPname = c.cardName;
        c.mixers[0] = sound::JigConfig::standardMixer(c.cardName);
        return c;
    }
};
}

TEST_F(ResponseOnA96kCard, RangesBeyondSixteenBitsOfHertzAreMeasured) {
    ASSERT_EQ(gtypWaveOutCaps.lSampleFrequency, 96000);
    ASSERT_EQ(gtypWaveOutCaps.fTopFrequency, 40000.0f);
    ResponseCurve level(11, 99.0f), corrected(11, 0.0f);
    gWaveResponse(*f, 20, 40000, 10, 0, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    for (int p = 1; p <= 10; ++p) EXPECT_LT(level[size_t(p)], 0.0f) << "point " << p;
    EXPECT_EQ(glWaveSampleRate, 96000);
}

namespace {
struct SweepShape {
    int lo, hi;
    int16_t points;
};

// The whole hertz point p of a sweep plays, as the station computes it.
double shapePlayedAt(const SweepShape& iShape, int iPoint) {
    bool e = false;
    const float inc = gfLog10(float(double(iShape.hi) / iShape.lo), e) / float(iShape.points - 1);
    return std::floor(iShape.lo * std::pow(10.0, double(inc * float(iPoint - 1))) + 0.5);
}
}

// Every sweep a test can have, 10 to 100 points over any range inside 10 Hz
// to the top: each point within 0.1 dB of the model wherever it stands above
// the noise.
TEST_F(Response, EverySweepShapeMatchesTheModel) {
    const SweepShape shapes[] = {
        {20, 20000, 100}, {45, 18000, 40}, {10, 20000, 10}, {10, 20000, 100}, {10, 100, 10},   {10, 200, 100},
        {151, 12500, 43}, {30, 300, 20},   {50, 5000, 57},  {20, 20000, 33},  {1000, 20000, 10}, {12, 40, 25},
    };
    QStringList table;
    for (const SweepShape& s : shapes) {
        ResponseCurve level(101, 0.0f), corrected(101, 0.0f);
        gWaveResponse(*f, float(s.lo), float(s.hi), s.points, 0.1f, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level,
                      corrected, error);
        ASSERT_FALSE(error) << s.lo << "-" << s.hi << " Hz, " << s.points << " points";
        double worst = 0;
        double worstAt = 0;
        for (int p = 1; p <= s.points; ++p) {
            const double fp = shapePlayedAt(s, p);
            const double e = jig->expectedLevelDb(fp, amplitude(1.0f));
            if (e < -60) continue;
            const double d = std::fabs(level[size_t(p)] - e);
            if (d > worst) {
                worst = d;
                worstAt = fp;
            }
        }
        table << QStringLiteral("%1-%2 Hz %3 points: worst %4 dB at %5 Hz")
                     .arg(s.lo).arg(s.hi).arg(s.points).arg(worst, 0, 'f', 3).arg(worstAt);
        EXPECT_LE(worst, 0.1) << table.last().toStdString();
    }
    std::printf("%s\n", qPrintable(table.join("\n")));
}

namespace {
int eventCount(sound::JigBackend& iJig, const QString& iWhat) {
    int n = 0;
    for (const sound::JigEvent& e : iJig.events()) n += e.what.startsWith(iWhat) ? 1 : 0;
    return n;
}
}

// A block the stream drops while a point is read (silence where the tone
// was): the point is read again and holds its right level; dropped twice,
// the measurement stops with the reason.
TEST_F(Response, APointThatLostSamplesIsMeasuredAgainOnce) {
    jig->clearEvents();
    jig->dropInput(1024);
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(eventCount(*jig, "input starts"), 41) << "point 1 read twice";
    const SweepShape shape{20, 20000, 40};
    for (int p = 1; p <= 40; ++p) {
        const double fp = shapePlayedAt(shape, p);
        EXPECT_NEAR(level[size_t(p)], jig->expectedLevelDb(fp, amplitude(1.0f)), 0.1) << fp << " Hz";
    }

    jig->clearEvents();
    jig->dropInput(1 << 30);
    answer({vbAbort, vbNo});
    level.assign(41, 99.0f);
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_TRUE(error);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_TRUE(boxes()[0].prompt.contains("The recording lost samples")) << boxes()[0].prompt.toStdString();
    EXPECT_EQ(eventCount(*jig, "input starts"), 2);
    EXPECT_EQ(level[1], 99.0f);
    EXPECT_EQ(glWaveOutHandle, 0);
    EXPECT_EQ(glWaveInHandle, 0);

    jig->dropInput(0);
    error = false;
    clearBoxes();
    measure(40);
    EXPECT_FALSE(error) << "the next measurement runs";
}

// A recording the device will not give (the real card refuses one it cannot
// align to its signal) answered Ignore, the box's default: the point is not
// read as the silence of a dead unit (-90.3 dB, a good unit failed), the
// measurement stops, and the next one runs.
TEST_F(Response, ARefusedRecordingAnsweredIgnoreReadsNoLevel) {
    jig->failCall(sound::SoundCall::WaveInStop, MMSYSERR_ERROR);
    jig->failCall(sound::SoundCall::WaveInReadHeader, MMSYSERR_ERROR);
    answer({vbIgnore, vbIgnore});
    ResponseCurve level(41, 99.0f), corrected(41, 99.0f);
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(boxes().size(), 2);
    EXPECT_EQ(level[1], 99.0f) << "point 1 read from a recording that was not given";
    EXPECT_EQ(glWaveInHandle, 0);

    error = false;
    clearBoxes();
    measure(40);
    EXPECT_FALSE(error) << "the next measurement runs";
}

// The test-in-progress line: set for the measurement and cleared after it,
// also after an error, and left alone when the caller holds it. The
// microphone is at the volume asked for while the points are read.
TEST_F(Response, HoldsTheTestLineAndTheMicrophoneVolume) {
    allowErrors({QStringLiteral("The sound device is already in use.")});
    fakeport::Record board;
    fakeport::install(1, board);
    gnDigPort = 1;
    gDigInit(error);
    ASSERT_TRUE(gbDigThere);
    int32_t micDuringReading = -1;
    QTimer::singleShot(0, [&] {
        micDuringReading = jig->cardMixer().controlByRole(sound::MixerRole::MicVolume)->values[0];
    });
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 24000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    ASSERT_FALSE(error);
    EXPECT_EQ(micDuringReading, 24000);
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{0x08, 0x00}));

    board.writes.clear();
    jig->failCall(sound::SoundCall::WaveInOpen, MMSYSERR_ALLOCATED);
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 24000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{0x08, 0x00}));

    error = false;
    gDigSetTestInProgress(error);
    board.writes.clear();
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 24000, 0, false, 0xFFFFFF, 0, level, corrected, error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(board.writes.empty());
    EXPECT_EQ(board.out, 0x08);
    digitalport::setBoard(nullptr);
}
