// Test signals and the two wave devices: loop lengths and seams, bursts and
// sweeps as the samples show them, the refusals; then playback and recording
// on the simulated jig, read from its output tap and event log: gapless
// switching, the done-waits and their deadlines, aligned recording, time-outs,
// device errors that leave no device open, 8-bit input.
#include "audio/modAudio.h"
#include "audio/modMixer.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "common/modGeneral.h"
#include "common/modVarSystemParams.h"
#include "tests/support/JigBench.h"
#include "tests/support/StationTest.h"
#include <QTimer>
#include <cmath>

using namespace jigbench;

namespace {
constexpr int32_t kFullScale = 32767;

class Synthesis : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        card(44100, 20000);
        gWaveOutSetVolume(kFullScale, error);
    }
    static void card(int32_t iRate, float iTop) {
        gtypWaveOutCaps.lSampleFrequency = iRate;
        gtypWaveOutCaps.fTopFrequency = iTop;
    }
    std::vector<int16_t> make(int32_t* oRate = nullptr) {
        std::vector<int16_t> s;
        const int32_t rate = glWaveOutMake(s, error);
        if (oRate) *oRate = rate;
        return s;
    }
    static int32_t ubound(const std::vector<int16_t>& iS) { return int32_t(iS.size()) - 1; }
    // The frequency of a stretch of a sampled sine, from x[i-1] + x[i+1] = 2 cos(d) x[i].
    static double frequencyOf(const std::vector<int16_t>& iS, int32_t iFirst, int32_t iLast, double iRate) {
        double num = 0, den = 0;
        for (int32_t i = iFirst + 1; i < iLast; ++i) {
            num += (double(iS[i - 1]) + iS[i + 1]) * iS[i];
            den += 2.0 * double(iS[i]) * iS[i];
        }
        return std::acos(num / den) * iRate / (2 * M_PI);
    }
    // How far sample iNext departs from the sine continuing through iPrev, iAt:
    // a jump in phase shows as a departure of about amplitude x jump.
    static double departure(const std::vector<int16_t>& iS, int32_t iPrev, int32_t iAt, int32_t iNext, double iD) {
        return std::fabs(iS[iNext] - (2 * std::cos(iD) * iS[iAt] - iS[iPrev]));
    }
    bool error = false;
};
}

TEST_F(Synthesis, AThousandHertzToneIsTenCyclesAndStartsOneStepIn) {
    gWaveOutSetSineFreq(1000, error);
    int32_t rate = 0;
    const std::vector<int16_t> s = make(&rate);
    ASSERT_FALSE(error);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(ubound(s), 441);
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[1], 4653);   // the phase advances before the first sample
    EXPECT_EQ(s[1], int16_t(std::nearbyint(kFullScale * std::sin(6.2831855f * 1000.0f / 44100.0f))));
}

TEST_F(Synthesis, EveryWholeFrequencyLoopsWithoutAJump) {
    struct Card { int32_t rate; float top; };
    for (const Card c : {Card{44100, 20000}, Card{48000, 21768}}) {
        card(c.rate, c.top);
        double worst = 0;
        int worstAt = 0;
        for (int f = 10; f <= int(c.top); ++f) {
            gWaveOutSetSineFreq(float(f), error);
            const std::vector<int16_t> s = make();
            ASSERT_FALSE(error) << f << " Hz";
            const int32_t n = ubound(s);
            ASSERT_GE(n, 2);
            ASSERT_LE(n, kWaveOutMaxSamples);
            // At or one above a whole number of cycles.
            const double perCycle = double(c.rate) / f;
            const double cycles = std::max(1.0, std::floor(n / perCycle + 0.5));
            ASSERT_GE(n, std::floor(cycles * perCycle) - 1e-6) << f << " Hz";
            ASSERT_LE(n, std::floor(cycles * perCycle) + 1) << f << " Hz";
            // Looped, sample 1 follows sample n as the sine would.
            const double jump = departure(s, n - 1, n, 1, 2 * M_PI * f / c.rate) / kFullScale;
            if (jump > worst) worst = jump, worstAt = f;
        }
        SCOPED_TRACE(std::to_string(c.rate) + " Hz card");
        EXPECT_LT(worst, 0.006) << "at " << worstAt << " Hz";
    }
}

TEST_F(Synthesis, ABurstIsFollowedBySilenceToTheEndOfItsPeriod) {
    gWaveOutSetShape("Sine", error);
    gWaveOutSetFrequency1SweepBurst(100, 0, 0, false, false, 0, 0.5f, 0.1f, error);
    const std::vector<int16_t> s = make();
    ASSERT_FALSE(error);
    ASSERT_EQ(ubound(s), 4410);
    for (int i = 1; i < 220; ++i) EXPECT_GT(s[i], 0) << i;   // half a cycle, all positive
    EXPECT_EQ(s[220], 0);
    for (int i = 221; i <= 4410; ++i) ASSERT_EQ(s[i], 0) << i;

}

TEST_F(Synthesis, ALogSweepPlaysTheSweepPointScaleWithoutPhaseJumps) {
    // 100 Hz to 1 kHz in 10 steps over 0.5 s: 80 x 1000 Hz is capped at the card's rate.
    gWaveOutSetFrequency1SweepBurst(100, 1000, 0.5f, true, false, 10, 0, 0, error);
    int32_t rate = 0;
    const std::vector<int16_t> s = make(&rate);
    ASSERT_FALSE(error);
    ASSERT_EQ(rate, 44100);
    const double p = 0.5 * 44100 / 10;   // 2205: each step is p + 1 samples
    int32_t start = 1;
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("step " + std::to_string(k));
        const int32_t end = k < 10 ? int32_t(std::nearbyint(p + start)) : ubound(s);
        if (k < 10) {
            EXPECT_EQ(end - start + 1, 2206);
        }
        const double expected = gfAudioPoint2Freq(100, 1000, 10, int16_t(k), error);
        EXPECT_NEAR(frequencyOf(s, start, end, rate), expected, expected * 2e-4);
        if (k > 1) {
            // Across a join the sine runs on: it departs from its old course
            // by no more than the change of step allows.
            const double before = gfAudioPoint2Freq(100, 1000, 10, int16_t(k - 1), error);
            const double d1 = 2 * M_PI * before / rate, d2 = 2 * M_PI * expected / rate;
            EXPECT_LT(departure(s, start - 2, start - 1, start, d1), kFullScale * (d2 - d1) + 4) << "join before step " << k;
        }
        start = end + 1;
    }
    // The closing step (the end frequency itself) ends on the sample nearest a whole cycle.
    const double half = std::sin(M_PI * 1000.0 / rate);
    EXPECT_LE(std::abs(s[size_t(ubound(s))]), kFullScale * half + 1);
    EXPECT_GT(s[size_t(ubound(s)) - 1], -kFullScale * 3 * half) << "rising through zero";
    EXPECT_LT(s[size_t(ubound(s)) - 1], 0);
}

TEST_F(Synthesis, LinearStepsDivideByTheStepCountAndAReturnLegComesBack) {
    // 100 to 1000 Hz linear in 10 steps: 90 Hz a step, then back down, then
    // the closing step at start + one increment.
    gWaveOutSetFrequency1SweepBurst(100, 1000, 0.2f, false, true, 10, 0, 0, error);
    int32_t rate = 0;
    const std::vector<int16_t> s = make(&rate);
    ASSERT_FALSE(error);
    const double p = 0.2 * 44100 / 10;
    std::vector<double> freqs;
    int32_t start = 1;
    for (int k = 1; k <= 18; ++k) {
        const int32_t end = int32_t(std::nearbyint(p + start));
        freqs.push_back(frequencyOf(s, start, end, rate));
        start = end + 1;
    }
    for (int j = 0; j <= 8; ++j) {
        EXPECT_NEAR(freqs[size_t(j)], 100 + 90 * j, 0.3) << "up, step " << j;
        EXPECT_NEAR(freqs[size_t(17 - j)], 100 + 90 * j, 0.3) << "down, step " << j;
    }
    EXPECT_NEAR(frequencyOf(s, start, ubound(s), rate), 190, 0.3);
}

TEST_F(Synthesis, ASweepPlaysAtEightyTimesItsTopFrequency) {
    gWaveOutSetFrequency1SweepBurst(20, 60, 1.0f, true, false, 10, 0, 0, error);
    int32_t rate = 0;
    const std::vector<int16_t> s = make(&rate);
    EXPECT_EQ(rate, 4800);
    EXPECT_NEAR(ubound(s), 4800 + 10, 10 + 4800 / 60);

    // The station's alert: set only when audio prompts are on.
    gbAudioPrompts = false;
    gWaveOutSetSineFreq(1000, error);
    gSoundSiren(100, 2800, 1, error);
    EXPECT_EQ(ubound(make(&rate)), 441);
    gbAudioPrompts = true;
    gSoundSiren(100, 2800, 1, error);
    make(&rate);
    EXPECT_EQ(rate, 44100);   // 80 x 2800 Hz, capped
    EXPECT_FALSE(error);
}

TEST_F(Synthesis, AnEndFrequencyOutOfRangeStoresNothing) {
    gWaveOutSetSineFreq(1000, error);
    answer({vbOK});
    gWaveOutSetFrequency1SweepBurst(500, 25000, 1, true, false, 10, 0, 0, error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Frequency (25000) out of range (10-20000 (Hz))");
    EXPECT_EQ(boxes()[0].title, "modWaveInOut.gbWaveOutFrequencyInRange");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_FALSE(error);
    // Still the 1 kHz tone: not 500 Hz with the old end frequency.
    EXPECT_EQ(ubound(make()), 441);

}

TEST_F(Synthesis, ASignalTooLongIsRefusedBeforeAnyWrite) {
    gWaveOutSetSineFreq(1000, error);
    std::vector<int16_t> s = make();
    // A sweep of 60 s at 44100 Hz would be 2.6 million samples.
    gWaveOutSetFrequency1SweepBurst(20, 20000, 60, true, false, 100, 0, 0, error);
    answer({vbAbort, vbNo});
    const int32_t rate = glWaveOutMake(s, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(rate, 0);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains("Subscript out of range")) << boxes()[0].prompt.toStdString();
    EXPECT_EQ(ubound(s), 441) << "the caller's array is untouched";

    // A burst whose silence would pass the end (32 s at 96 kHz).
    card(96000, 40000);
    error = false;
    gWaveOutSetFrequency1SweepBurst(100, 0, 0, false, false, 0, 1, 32, error);
    answer({vbAbort, vbNo});
    glWaveOutMake(s, error);
    EXPECT_TRUE(error);
}

// ===================================================================== devices

namespace {
class Playback : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        jig = &installJig(config());
        ASSERT_TRUE(gbWaveInOutMixerThereInit(error));
        gMixerOutMasterSetVolume(65535, error);
        gMixerInMasterSelectMic(error);
        gMixerInMicSetVolume(30000, error);
        gWaveOutSetVolume(16000, error);
        ASSERT_FALSE(error);
    }
    void TearDown() override {
        endOfScript();
        bool e = false;
        gWaveOutClose(true, e);
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    virtual sound::JigConfig config() { return sound::JigConfig::standard(); }

    // A continuous tone, opened (iOpen) or switched to.
    int32_t tone(float iFreq, bool iOpen, bool iReset = false, int32_t iLoops = 0) {
        gWaveOutSetSineFreq(iFreq, error);
        std::vector<int16_t> none(1, 0);
        last.clear();
        return iOpen ? glWaveOutOpenPrepMakeUpdate(iLoops, last, none, error)
                     : glWaveOutMakeUpdate(iLoops, iReset, last, none, error);
    }
    double eventMs(const QString& iWhat, int iNth = 1) {
        for (const sound::JigEvent& e : jig->events())
            if (e.what == iWhat && --iNth == 0) return e.ms;
        return -1;
    }
    int count(const QString& iWhat) {
        int n = 0;
        for (const sound::JigEvent& e : jig->events()) n += e.what == iWhat;
        return n;
    }
    // Where in the output tap the periodic signal iSignal (1-based) stops
    // repeating from iFrom on.
    static size_t repeatsUntil(const std::vector<int16_t>& iTap, const std::vector<int16_t>& iSignal, size_t iFrom,
                               size_t iPhase = 0) {
        const size_t n = iSignal.size() - 1;
        size_t i = iFrom;
        while (i < iTap.size() && iTap[i] == iSignal[1 + (i - iFrom + iPhase) % n]) ++i;
        return i;
    }

    sound::JigBackend* jig = nullptr;
    std::vector<int16_t> last;
    bool error = false;
};

class PlaybackWithLatency : public Playback {
    sound::JigConfig config() override {
        sound::JigConfig c = sound::JigConfig::standard();
        c.outputLatencyFrames = 441;
        c.inputLatencyFrames = 441;
        return c;
    }
};
}

TEST_F(Playback, SwitchingWaitsForThePassThenPlaysOnWithoutAGap) {
    tone(1000, true);
    const std::vector<int16_t> a = last;
    vclock::advance(20);
    const int64_t before = vclock::ticks();
    tone(500, false);   // the second switch after opening: no wait
    const std::vector<int16_t> b = last;
    EXPECT_EQ(vclock::ticks(), before);
    vclock::advance(40);
    const std::vector<int16_t> tap = jig->outputTap();
    const size_t switched = repeatsUntil(tap, a, 0);
    ASSERT_GT(switched, 0u);
    EXPECT_EQ(switched % 441, 0u) << "the old tone ends with a whole pass";
    EXPECT_EQ(repeatsUntil(tap, b, switched), tap.size()) << "the new tone follows at once and loops";

    // With reset the new tone starts at once, in the middle of a pass.
    tone(250, false, true);
    const std::vector<int16_t> c = last;
    vclock::advance(40);
    const std::vector<int16_t>& tap2 = jig->outputTap();
    const size_t reset = repeatsUntil(tap2, b, switched);
    EXPECT_NE((reset - switched) % 882, 0u);
    EXPECT_EQ(repeatsUntil(tap2, c, reset), tap2.size());
    EXPECT_FALSE(error);
}

TEST_F(Playback, TheThirdSwitchWaitsForTheBufferItReloads) {
    tone(100, true);   // 441 samples: 10 ms a pass
    tone(200, false);
    const int64_t asked = vclock::ticks();
    tone(300, false);   // reloads the first buffer, which plays out its last pass first
    EXPECT_FALSE(error);
    QStringList writes;
    for (const sound::JigEvent& e : jig->events())
        if (e.what.startsWith("waveOutWrite")) writes << e.what.section(':', 0, 0);
    ASSERT_EQ(writes.size(), 3);
    EXPECT_EQ(writes[2], writes[0]);
    EXPECT_NE(writes[1], writes[0]);
    const QString header = writes[0].section(' ', 1);
    const double done = eventMs("output header " + header + " done");
    ASSERT_GT(done, 0);
    EXPECT_GT(vclock::ticks(), asked);
    EXPECT_LE(vclock::ticks() - asked, 10 + 10 + 2) << "one pass plus the output latency";
    EXPECT_GE(eventMs("waveOutWrite " + header + ": 294 bytes, loops 2000000000"), done);
}

TEST_F(Playback, AStuckLoopIsReportedAtItsDeadline) {
    tone(1000, true);
    jig->stallOutput(true);
    tone(500, false);
    int64_t shownAt = 0;
    QList<MsgBoxCall> shown;
    setMsgBoxScript([&](const MsgBoxCall& iCall) {
        shownAt = vclock::ticks();
        shown << iCall;
        return int(vbOK);
    });
    const int64_t asked = vclock::ticks();
    tone(250, false);
    EXPECT_TRUE(error);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].prompt, "Loop still playing");
    EXPECT_EQ(shown[0].title, "modWaveInOut.gWaveOutDone");
    // 882 bytes looping without end: (882 / (2 x 2 x 44100) + 1) s x 5 passes,
    // reported at the first millisecond past it.
    const int64_t deadline = asked + int64_t(std::nearbyint((882.0 / (2 * 2 * 44100) + 1) * 5 * 1000));
    EXPECT_EQ(shownAt, deadline + 1);
}

TEST_F(PlaybackWithLatency, ARecordingWithItsSignalStartsAtTheSignal) {
    // A 50 ms burst played once and recorded over the same time: the sound
    // arrives after the 0.5 m to the microphone only, whatever the latency.
    gWaveOutSetShape("Sine", error);
    gWaveOutSetFrequency1SweepBurst(1000, 0, 0, false, false, 0, 50, 0.1f, error);
    std::vector<int16_t> out, rec(2, 0);
    gWaveOutChange("Open", 1, true, false, out, rec, error);
    ASSERT_FALSE(error);
    EXPECT_EQ(glWaveSampleRate, 44100);
    ASSERT_EQ(rec.size(), out.size()) << "the recording covers the signal's time";
    size_t onset = 1;
    while (onset < rec.size() && std::abs(rec[onset]) < 300) ++onset;
    const double travel = 0.5 / 343.0 * 44100;
    EXPECT_NEAR(double(onset), travel, 8);
    gWaveOutClose(false, error);   // waits for the pass to end
    EXPECT_FALSE(error);
    EXPECT_EQ(glWaveOutHandle, 0);
}

TEST_F(Playback, ADeadInputTimesOutAndIsClosed) {
    allowErrors({QStringLiteral("Recording timed out")});
    tone(1000, true);
    jig->killInput(true);
    const int64_t asked = vclock::ticks();
    const float level = gfWaveGetNADCs(1000, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(level, 0.0f);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains("Recording timed out"));
    // 23 ms of samples, a second of input latency allowed, two seconds more.
    EXPECT_GE(vclock::ticks() - asked, 3023);
    EXPECT_LE(vclock::ticks() - asked, 3023 + vclock::kPollStepMs);
    EXPECT_EQ(glWaveInHandle, 0);
    EXPECT_EQ(count("waveInClose"), 1);

    jig->killInput(false);
    error = false;
    EXPECT_NEAR(gfWaveGetNADCs(1000, error), jig->expectedLevelDb(1000, 16000), 0.2);
    EXPECT_FALSE(error);

    // Retry, at a recording that timed out, or that the device refused when it
    // stopped or when its samples were read, records again (the tone still
    // plays) and reads the level.
    enum class Refusal { TimedOut, AtTheStop, AtTheRead };
    for (const Refusal refusal : {Refusal::TimedOut, Refusal::AtTheStop, Refusal::AtTheRead}) {
        SCOPED_TRACE(refusal == Refusal::TimedOut ? "timed out" : refusal == Refusal::AtTheStop ? "refused at the stop"
                                                                                               : "refused at the read");
        clearBoxes();
        const auto starts = [&] {
            int n = 0;
            for (const sound::JigEvent& e : jig->events()) n += e.what.startsWith(QLatin1String("waveInStart"));
            return n;
        };
        const int before = starts();
        if (refusal == Refusal::TimedOut) jig->killInput(true);
        else if (refusal == Refusal::AtTheStop) jig->failCall(sound::SoundCall::WaveInStop, MMSYSERR_ERROR);
        else jig->failCall(sound::SoundCall::WaveInReadHeader, MMSYSERR_ERROR);
        answerAfterLooking(vbRetry, [&](const MsgBoxCall&) { jig->killInput(false); });
        EXPECT_NEAR(gfWaveGetNADCs(1000, error), jig->expectedLevelDb(1000, 16000), 0.2);
        EXPECT_FALSE(error);
        EXPECT_EQ(boxes().size(), 1);
        EXPECT_EQ(starts() - before, 2);
    }
}

TEST_F(Playback, DeviceErrorsLeaveNoDeviceOpen) {
    allowErrors({QStringLiteral("Not enough memory for the sound buffers."),
                 QStringLiteral("Unspecified error in the sound device.")});
    // The output cannot take its buffers: reported with the device's text, released.
    jig->failCall(sound::SoundCall::WaveOutPrepareHeader, MMSYSERR_NOMEM);
    tone(1000, true);
    EXPECT_TRUE(error);
    ASSERT_FALSE(boxes().isEmpty());
    QString text;
    waveOutGetErrorText(MMSYSERR_NOMEM, text);
    EXPECT_TRUE(boxes()[0].prompt.endsWith(text)) << boxes()[0].prompt.toStdString();
    EXPECT_EQ(glWaveOutHandle, 0);

    // The input fails while it is set up, and while it is closed.
    error = false;
    tone(1000, true);
    ASSERT_FALSE(error);
    jig->failCall(sound::SoundCall::WaveInAddBuffer, MMSYSERR_ERROR);
    gfWaveGetNADCs(1000, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(glWaveInHandle, 0);
    error = false;
    clearBoxes();
    jig->failCall(sound::SoundCall::WaveInClose, MMSYSERR_ERROR);
    gfWaveGetNADCs(1000, error);
    EXPECT_NE(glWaveInHandle, 0) << "closed at the next switch";
    tone(500, false);
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_EQ(glWaveInHandle, 0);

    // The output fails to stop: reported, and still closed.
    clearBoxes();
    jig->failCall(sound::SoundCall::WaveOutReset, MMSYSERR_ERROR);
    answer({vbAbort, vbNo});
    error = false;
    gWaveOutClose(true, error);
    EXPECT_TRUE(error);
    EXPECT_EQ(boxes().size(), 2) << "one error box (and the bug-report question)";
    EXPECT_EQ(glWaveOutHandle, 0);

    // Every device opens again and measures.
    error = false;
    clearBoxes();
    tone(1000, true);
    EXPECT_NEAR(gfWaveGetNADCs(1000, error), jig->expectedLevelDb(1000, 16000), 0.2);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(Playback, EightBitInputArrivesAsSixteenBitSamples) {
    tone(1000, true);
    vclock::advance(50);
    const float level16 = gfWaveGetNADCs(1000, error);
    gtypWaveInCaps.nBits = 8;
    std::vector<int16_t> rec(1001, 0);
    gWaveInRecord(44100, 8, rec, error);
    ASSERT_FALSE(error);
    int nonZero = 0;
    for (size_t i = 1; i < rec.size(); ++i) {
        ASSERT_EQ(rec[i] % 256, 0);
        nonZero += rec[i] != 0;
    }
    EXPECT_GT(nonZero, 900) << "every element holds a sample";
    EXPECT_NEAR(gfWaveGetNADCs(1000, error), level16, 0.3);
    EXPECT_FALSE(error);
}

TEST_F(Playback, AMeasurementStartedDuringARecordingIsRefused) {
    allowErrors({QStringLiteral("A measurement is already running")});
    tone(1000, true);
    bool nestedError = false;
    int32_t nestedRate = -1;
    QTimer::singleShot(0, [&] {
        std::vector<int16_t> s, none(1, 0);
        nestedRate = glWaveOutMakeUpdate(0, true, s, none, nestedError);
    });
    const float level = gfWaveGetNADCs(2000, error);
    EXPECT_TRUE(nestedError);
    EXPECT_EQ(nestedRate, 0);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.contains("A measurement is already running"));
    EXPECT_FALSE(error) << "the running recording goes on";
    EXPECT_NEAR(level, jig->expectedLevelDb(1000, 16000), 0.2);
}

TEST_F(Playback, ALongSignalIsWaitedForBeforeItsBufferIsReloaded) {
    tone(1000, true);
    // 1.1 million samples looping, 25 s a pass.
    gWaveOutSetFrequency1SweepBurst(1000, 0, 0, false, false, 0, 25000, 30, error);
    std::vector<int16_t> s, none(1, 0);
    glWaveOutMakeUpdate(0, false, s, none, error);
    ASSERT_EQ(s.size(), 1323001u);
    tone(500, false);
    const int64_t asked = vclock::ticks();
    tone(250, false);   // reloads the long signal's buffer once its pass has ended
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_GE(vclock::ticks() - asked, 25000);
    EXPECT_LE(vclock::ticks() - asked, 30000);
}
