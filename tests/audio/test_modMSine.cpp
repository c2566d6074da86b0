// The sine test through the jig: the level the station reads against the
// model, judging by the limits, the tone and sweep played (read from the
// jig's output tap), the operator's question and the test-in-progress line.
#include "audio/modDigitalIO.h"
#include "audio/modMSine.h"
#include "common/frmPrompt.h"
#include "common/modVarSystemParams.h"
#include "platform/ui/FormRegistry.h"
#include "tests/support/AudioRig.h"
#include "tests/support/FakeDigitalPort.h"
#include <QTimer>
#include <cmath>

namespace {
class Sine : public AudioRig {
protected:
    void TearDown() override {
        endOfScript();
        digitalport::setBoard(nullptr);
        if (isLoaded<frmPrompt>()) unload<frmPrompt>();
        AudioRig::TearDown();
    }
    // A station-measured tone at 0.125 V at the board (amplitude 2048), within limits -99 to 0.
    static SineTestSettings measured(float iFrequency) {
        SineTestSettings t;
        t.sTestName = QStringLiteral("Level");
        t.fLo_Hz = iFrequency;
        t.fHi_Hz = iFrequency;
        t.Swp_Type = QStringLiteral("No Sweep");
        t.Delay_s = 0.2f;
        t.Drive_V = 0.125f;
        t.Active_Flag = true;
        t.PC_Decide = true;
        t.fLo_Lim = -99;
        t.fHi_Lim = 0;
        return t;
    }
    // An operator-decided sweep.
    static SineTestSettings rattle(const QString& iSweep, bool iYesPasses, const QString& iPrompt) {
        SineTestSettings t;
        t.sTestName = QStringLiteral("Rattle");
        t.fLo_Hz = 20.0f;
        t.fHi_Hz = 60.0f;
        t.Swp_Type = iSweep;
        t.SwpDur_s = 1.0f;
        t.Drive_V = 1.0f;
        t.Active_Flag = false;
        t.Op_Decide = true;
        t.Op_DecideY = iYesPasses;
        t.Op_Prompt = iPrompt;
        return t;
    }
    // The frequency of a stretch of the played signal, from its upward zero crossings.
    static double frequencyAt(const std::vector<int16_t>& iTap, double iRate, double iFromS, double iToS) {
        const size_t from = size_t(iFromS * iRate), to = std::min(iTap.size(), size_t(iToS * iRate));
        double first = -1, last = -1;
        int crossings = 0;
        for (size_t i = from + 1; i < to; ++i) {
            if (iTap[i - 1] < 0 && iTap[i] >= 0) {
                const double at = double(i - 1) + double(-iTap[i - 1]) / double(iTap[i] - iTap[i - 1]);
                if (first < 0) first = at;
                last = at;
                ++crossings;
            }
        }
        return crossings > 1 ? (crossings - 1) * iRate / (last - first) : 0.0;
    }
    float level = 0.0f;
    bool error = false;
};
}

namespace {
// The clock time of the first event that starts with iWhat, -1 when none.
double at(sound::JigBackend& ioJig, const QString& iWhat) {
    for (const sound::JigEvent& ev : ioJig.events())
        if (ev.what.startsWith(iWhat)) return ev.ms;
    return -1;
}
QStringList opens(sound::JigBackend& ioJig) {
    QStringList r;
    for (const sound::JigEvent& ev : ioJig.events())
        if (ev.what.startsWith(QStringLiteral("waveOutOpen"))) r << ev.what;
    return r;
}
}

TEST_F(Sine, TheMeasuredLevelFollowsTheModel) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    gMixerInMicSetVolume(39321, error);   // as a polarity test leaves the microphone
    for (float f : {1000.0f, 2000.0f, 4000.0f, 8000.0f}) {
        SCOPED_TRACE(f);
        jig.clearEvents();
        level = 1.0f;
        EXPECT_TRUE(gbSine(measured(f), level, error));
        EXPECT_NEAR(level, jig.expectedLevelDb(f, 2048), 0.3);   // at the microphone volume the test set
        // The tone sounds through the delay twice before the reading.
        const double played = at(jig, QStringLiteral("waveOutWrite"));
        const double reading = at(jig, QStringLiteral("waveInStart"));
        EXPECT_GE(reading - played, 400);
        EXPECT_LT(reading - played, 500);
        EXPECT_EQ(jig.events().back().what, QStringLiteral("waveOutClose"));
    }
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(Sine, TheLevelIsJudgedByBothLimits) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    SineTestSettings t = measured(1000.0f);
    EXPECT_TRUE(gbSine(t, level, error));
    const double expected = jig.expectedLevelDb(1000, 2048);   // about -9.06 dB
    ASSERT_GT(expected, -9.5);
    ASSERT_LT(expected, -9.0);
    const std::vector<std::tuple<int16_t, int16_t, bool>> limits = {
        {-10, -9, true}, {-9, 0, false}, {-20, -10, false}, {-9, -10, false}};
    for (const auto& [lo, hi, pass] : limits) {
        SCOPED_TRACE(testing::Message() << lo << " to " << hi);
        t.fLo_Lim = lo;
        t.fHi_Lim = hi;
        EXPECT_EQ(gbSine(t, level, error), pass);
        EXPECT_NEAR(level, expected, 0.3);
    }
    EXPECT_FALSE(error);
}

TEST_F(Sine, ALogDownUpSweepStartsAtTheTopAndTurnsAtTheBottom) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    SineTestSettings t = rattle(QStringLiteral("Log Down Up"), true, QString());
    t.Op_Decide = false;
    t.SwpDur_s = 5.0f;
    t.Delay_s = 0.5f;
    level = 42.0f;
    EXPECT_TRUE(gbSine(t, level, error));
    EXPECT_FLOAT_EQ(level, 42.0f);   // nothing measured
    EXPECT_FALSE(error);
    // The start tone at the card's rate, then the sweep at 80 x 60 Hz.
    EXPECT_EQ(opens(jig), (QStringList{QStringLiteral("waveOutOpen 44100 Hz 16 bit"),
                                       QStringLiteral("waveOutOpen 4800 Hz 16 bit")}));
    EXPECT_EQ(glWaveSampleRate, 4800);
    EXPECT_EQ(jig.outputTapRate(), 4800);
    const std::vector<int16_t>& tap = jig.outputTap();
    ASSERT_GE(tap.size(), size_t(5 * 4800));
    // Downward first over the sweep time, logarithmically (the middle is 34.6 Hz, not 40 Hz).
    EXPECT_NEAR(frequencyAt(tap, 4800, 0.0, 0.2), 60.0, 3.0);
    EXPECT_NEAR(frequencyAt(tap, 4800, 2.3, 2.7), 34.6, 1.5);
    EXPECT_NEAR(frequencyAt(tap, 4800, 4.7, 4.95), 20.5, 1.5);
    EXPECT_TRUE(boxes().isEmpty());

    // The return leg follows (it sounds while an operator's question is open).
    std::vector<int16_t> sweep;
    EXPECT_EQ(glWaveOutMake(sweep, error), 4800);
    const double seconds = double(sweep.size() - 1) / 4800;
    EXPECT_GT(seconds, 10.0);
    EXPECT_LT(seconds, 10.5);
    EXPECT_NEAR(frequencyAt(sweep, 4800, seconds - 0.2, seconds), 60.0, 3.0);
}

TEST_F(Sine, TheOperatorDecidesWithTheDefaultThatPasses) {
    station();
    calibrated(2.0f, 40.0f);
    bool e = false;
    // No passes: No is the default, No passes and Yes fails.
    frmPrompt::gDisplay(QStringLiteral("20-60(Hz) @ 1(V)"), QStringLiteral("Rattle"), e);
    answer({vbNo});
    EXPECT_TRUE(gbSine(rattle(QStringLiteral("Lin Up"), false, QStringLiteral(" Does it rattle ")), level, error));
    EXPECT_FALSE(isLoaded<frmPrompt>());   // the notice goes before the question
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, QStringLiteral("Does it rattle?"));
    EXPECT_EQ(boxes()[0].title, QStringLiteral("Rattle"));
    EXPECT_EQ(boxes()[0].answers, (QList<int>{vbYes, vbNo}));
    EXPECT_EQ(boxes()[0].defaultAnswer, vbNo);
    answer({vbYes});
    EXPECT_FALSE(gbSine(rattle(QStringLiteral("Lin Up"), false, QStringLiteral("Does it rattle")), level, error));

    // Yes passes: Yes is the default.
    clearBoxes();
    answer({vbYes});
    EXPECT_TRUE(gbSine(rattle(QStringLiteral("No Sweep"), true, QStringLiteral("Is it clean")), level, error));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].defaultAnswer, vbYes);
    answer({vbNo});
    EXPECT_FALSE(gbSine(rattle(QStringLiteral("No Sweep"), true, QStringLiteral("Is it clean")), level, error));
    EXPECT_FALSE(error);
}

TEST_F(Sine, NoQuestionFailsAndNoDecisionPasses) {
    station();
    calibrated(2.0f, 40.0f);
    bool e = false;
    frmPrompt::gDisplay(QStringLiteral("20(Hz) @ 1(V)"), QStringLiteral("Rattle"), e);
    EXPECT_FALSE(gbSine(rattle(QStringLiteral("No Sweep"), true, QStringLiteral("   ")), level, error));
    SineTestSettings listen = rattle(QStringLiteral("Log Up"), true, QStringLiteral("Does it rattle"));
    listen.Op_Decide = false;
    EXPECT_TRUE(gbSine(listen, level, error));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(isLoaded<frmPrompt>());   // the caller closes the notice
    EXPECT_FALSE(error);
}

// The level read from 20 Hz up, whatever the phase the reading starts at
// (the delays shift it): within 0.1 dB of the model.
TEST_F(Sine, TheLevelHoldsFromTwentyHertzUpAtAnyPhase) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    QStringList table;
    double worstOfAll = 0;
    for (float f : {20.0f, 25.0f, 30.0f, 40.0f, 50.0f, 63.0f, 80.0f, 125.0f, 200.0f, 500.0f, 1000.0f, 5000.0f,
                    12500.0f}) {
        double worst = 0;
        for (float delay : {0.2f, 0.207f, 0.2131f}) {
            SineTestSettings t = measured(f);
            t.Delay_s = delay;
            level = 1.0f;
            EXPECT_TRUE(gbSine(t, level, error));
            worst = std::max(worst, std::fabs(level - jig.expectedLevelDb(f, 2048)));
        }
        worstOfAll = std::max(worstOfAll, worst);
        table << QStringLiteral("%1 Hz: worst %2 dB").arg(f).arg(worst, 0, 'f', 3);
        EXPECT_LE(worst, 0.1) << f << " Hz";
    }
    EXPECT_FALSE(error);
    std::printf("%s\n", qPrintable(table.join("\n")));
}

// 0 V is silence on every signal: a sweep after a full-scale tone plays
// nothing, the station-measured test reads the silent input.
TEST_F(Sine, NoVoltsIsSilenceAfterAFullScaleTone) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    SineTestSettings full = measured(1000.0f);
    full.Drive_V = 2.0f;
    EXPECT_TRUE(gbSine(full, level, error));
    ASSERT_GT(level, -4.0f);
    for (const QString& sweep : {QStringLiteral("Log Up"), QStringLiteral("Lin Down Up")}) {
        SCOPED_TRACE(sweep.toStdString());
        jig.clearEvents();
        SineTestSettings t = rattle(sweep, true, QString());
        t.Op_Decide = false;
        t.Drive_V = 0.0f;
        EXPECT_TRUE(gbSine(t, level, error));
        EXPECT_TRUE(opens(jig).isEmpty());
        EXPECT_EQ(at(jig, QStringLiteral("waveOutWrite")), -1);
    }
    SineTestSettings quiet = measured(1000.0f);
    quiet.Swp_Type = QStringLiteral("Log Up");
    quiet.Drive_V = 0.0f;
    EXPECT_TRUE(gbSine(quiet, level, error));
    EXPECT_LT(level, -80.0f);
    EXPECT_FALSE(error);
}

// An output that stands still is no test: a level read while it stalls is
// an error, and so is a sweep played only for the operator's ear.
TEST_F(Sine, AStalledOutputFailsTheTest) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    QTimer::singleShot(0, [&] { jig.stallOutput(true); });   // during the first wait
    answer({vbAbort, vbNo});
    EXPECT_FALSE(gbSine(measured(1000.0f), level, error));
    EXPECT_TRUE(error);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains("The output was not playing during the recording"))
        << boxes()[0].prompt.toStdString();
    EXPECT_EQ(glWaveOutHandle, 0);

    clearBoxes();
    error = false;
    SineTestSettings listen = rattle(QStringLiteral("Log Up"), true, QString());
    listen.Op_Decide = false;
    jig.stallOutput(true);
    answer({vbAbort, vbNo});
    EXPECT_FALSE(gbSine(listen, level, error));
    EXPECT_TRUE(error);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains("The output was not playing during the sweep"))
        << boxes()[0].prompt.toStdString();

    jig.stallOutput(false);
    clearBoxes();
    error = false;
    EXPECT_TRUE(gbSine(listen, level, error));
    EXPECT_TRUE(gbSine(measured(1000.0f), level, error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
}

// The test-in-progress line: set for the test and cleared after it, also
// after an error; left alone when the caller already holds it.
TEST_F(Sine, HoldsTheTestLineForItsLength) {
    station();
    calibrated(2.0f, 40.0f);
    fakeport::Record board;
    fakeport::install(2, board);
    gnDigPort = 2;
    gDigInit(error);
    ASSERT_TRUE(gbDigThere);
    EXPECT_TRUE(gbSine(measured(1000.0f), level, error));
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{0x08, 0x00}));

    // 50 V is beyond the calibrated range: refused, the test fails.
    board.writes.clear();
    SineTestSettings loud = measured(1000.0f);
    loud.Drive_V = 50.0f;
    answer({vbOK});
    EXPECT_FALSE(gbSine(loud, level, error));
    EXPECT_TRUE(error);
    EXPECT_EQ(board.writes, (std::vector<uint8_t>{0x08, 0x00}));

    error = false;
    gDigSetTestInProgress(error);
    board.writes.clear();
    EXPECT_TRUE(gbSine(measured(1000.0f), level, error));
    EXPECT_TRUE(board.writes.empty());
    EXPECT_EQ(board.out, 0x08);
}

// A block the stream drops while the level is read: the level is read again,
// quietly, and holds; dropped on both readings, the test stops with the reason
// rather than judge a level read off silence.
TEST_F(Sine, ALevelThatLostSamplesIsReadAgainOnce) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    jig.clearEvents();
    jig.dropInput(1024);
    EXPECT_TRUE(gbSine(measured(1000.0f), level, error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_NEAR(level, jig.expectedLevelDb(1000.0, 2048), 0.3);
    int readings = 0;
    for (const sound::JigEvent& ev : jig.events()) readings += ev.what.startsWith(QStringLiteral("waveInStart")) ? 1 : 0;
    EXPECT_EQ(readings, 2);

    jig.dropInput(1 << 30);
    answer({vbAbort, vbNo});
    level = 99.0f;
    gbSine(measured(1000.0f), level, error);
    jig.dropInput(0);
    EXPECT_TRUE(error);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains("The recording lost samples")) << boxes()[0].prompt.toStdString();
}
