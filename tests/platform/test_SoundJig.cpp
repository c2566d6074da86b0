// The sound API driven the way the audio routines drive it, on the simulated jig.
#include "tests/support/JigBench.h"
#include "tests/support/StationTest.h"
#include <algorithm>
#include <numeric>

using namespace jigbench;
using sound::JigBackend;
using sound::JigConfig;
using sound::UnitModel;

namespace {
class SoundJig : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        jig = &installJig();
    }
    void TearDown() override {
        endOfScript();
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    void closeOutput(HWAVEOUT iOut) { EXPECT_EQ(waveOutClose(iOut), MMSYSERR_NOERROR); }
    WaveHdr header(HWAVEOUT iOut, int iHeader) {
        WaveHdr h;
        EXPECT_EQ(waveOutGetHeader(iOut, iHeader, h), MMSYSERR_NOERROR);
        return h;
    }
    // A plain card: no filters, no distance, no noise; what is recorded is a
    // scaled copy of what was played.
    void flatCard() {
        JigConfig c = jig->config();
        c.unit.resonanceHz = 0;
        c.unit.lowPassHz = 0;
        c.unit.peakGainDb = 0;
        c.distanceM = 0;
        c.noiseRmsLsb = 0;
        jig->setConfig(c);
        mixerReady(*jig, 40000);
    }
    std::vector<int16_t> ramp(int iCount, int iStart, int iStep) {
        std::vector<int16_t> s(static_cast<size_t>(iCount));
        for (int i = 0; i < iCount; ++i) s[size_t(i)] = int16_t(iStart + i * iStep);
        return s;
    }
    JigBackend* jig = nullptr;
};

size_t peakAt(const std::vector<int16_t>& iSamples) {
    return size_t(std::max_element(iSamples.begin(), iSamples.end(),
                                   [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); }) -
                  iSamples.begin());
}
}

TEST_F(SoundJig, ToneRecordsAtTheModelsExpectedLevel) {
    struct Case { UnitModel unit; double f; int cycles; };
    const Case cases[] = {{UnitModel::standard(), 100, 10},       {UnitModel::standard(), 1000, 10},
                          {UnitModel::standard(), 4000, 40},      {UnitModel::peakPlus3dB(), 4000, 40},
                          {UnitModel::resonanceHigh(), 100, 10}, {UnitModel::reversedPolarity(), 1000, 10}};
    mixerReady(*jig, 58000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit.name.toStdString() + " at " + std::to_string(c.f) + " Hz");
        jig->setUnit(c.unit);
        const HWAVEOUT out = startLoop(tone(c.f, 1000, 44100, c.cycles), 44100);
        vclock::busyWait(200);
        const std::vector<int16_t> rec = record(8820);
        closeOutput(out);
        EXPECT_NEAR(levelDb(rec), jig->expectedLevelDb(c.f, 1000), 0.1);
    }
    // The break-up peak and the resonance show where the model says.
    EXPECT_NEAR(jig->expectedLevelDb(4000, 1000) - jig->expectedLevelDb(1000, 1000), 4.0, 0.6);
}

TEST_F(SoundJig, MutedMasterOrLineSelectedReadsTheNoiseFloor) {
    mixerReady(*jig, 58000);
    const HWAVEOUT out = startLoop(tone(1000, 8000, 44100, 10), 44100);
    vclock::busyWait(100);
    EXPECT_GT(levelDb(record(8820)), jig->noiseFloorDb() + 40);

    jig->cardMixer().controlByRole(sound::MixerRole::MasterMute)->values = {1};
    jig->mixerChanged();
    vclock::busyWait(100);
    EXPECT_NEAR(levelDb(record(8820)), jig->noiseFloorDb(), 0.5);

    mixerReady(*jig, 58000);
    sound::MixerControlModel* select = jig->cardMixer().controlByRole(sound::MixerRole::RecordSelect);
    select->values = {1, 0, 0};   // Line In
    jig->mixerChanged();
    vclock::busyWait(100);
    EXPECT_NEAR(levelDb(record(8820)), jig->noiseFloorDb(), 0.5);
    closeOutput(out);
}

TEST_F(SoundJig, RecordingWithTheOutputStartsAtTheSignalsFirstSample) {
    flatCard();
    const int latency = jig->config().outputLatencyFrames + jig->config().inputLatencyFrames;
    std::vector<int16_t> pulse(2000, 0);
    pulse[100] = 8000;

    for (WaveInStartMode mode : {WAVEIN_START_WITH_OUTPUT, WAVEIN_START_NOW}) {
        HWAVEOUT out = 0;
        ASSERT_EQ(waveOutOpen(out, 0, pcm16(44100)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutPrepareHeader(out, 1, 4000), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutLoadHeader(out, 1, pulse.data(), 4000), MMSYSERR_NOERROR);
        vclock::busyWait(50);   // a while after opening, as a measurement would be
        ASSERT_EQ(waveOutWrite(out, 1, WHDR_BEGINLOOP | WHDR_ENDLOOP, 1), MMSYSERR_NOERROR);
        const std::vector<int16_t> rec = record(2000, 44100, mode);
        EXPECT_EQ(peakAt(rec), mode == WAVEIN_START_WITH_OUTPUT ? 100u : size_t(100 + latency));
        closeOutput(out);
    }
}

TEST_F(SoundJig, LoopCountHandOverBreakAndReset) {
    const std::vector<int16_t> a = ramp(441, 1, 1);
    const std::vector<int16_t> b = ramp(300, -1, -1);
    const int latencyMs = 1 + jig->config().outputLatencyFrames * 1000 / 44100;

    // Three passes, then silence; done only once the last sample has left the converter.
    HWAVEOUT out = startLoop(a, 44100, 3);
    vclock::busyWait(30);   // 1323 samples: the third pass ends at 1323
    EXPECT_FALSE(header(out, 1).dwFlags & WHDR_DONE);
    vclock::busyWait(latencyMs);
    EXPECT_TRUE(header(out, 1).dwFlags & WHDR_DONE);
    std::vector<int16_t> tap = jig->outputTap();
    ASSERT_GE(tap.size(), 1400u);
    for (int pass = 0; pass < 3; ++pass)
        EXPECT_TRUE(std::equal(a.begin(), a.end(), tap.begin() + pass * 441)) << "pass " << pass;
    EXPECT_TRUE(std::all_of(tap.begin() + 1323, tap.end(), [](int16_t s) { return s == 0; }));
    closeOutput(out);

    // Endless loop; the next signal follows the current pass without a gap.
    out = startLoop(a, 44100);
    vclock::busyWait(25);
    ASSERT_EQ(waveOutLoadHeader(out, 2, b.data(), 600), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutBreakLoop(out), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(out, 2, WHDR_BEGINLOOP | WHDR_ENDLOOP, kWaveLoopForever), MMSYSERR_NOERROR);
    vclock::busyWait(100);
    EXPECT_TRUE(header(out, 1).dwFlags & WHDR_DONE);
    EXPECT_FALSE(header(out, 2).dwFlags & WHDR_DONE);
    tap = jig->outputTap();
    const auto firstB = std::find(tap.begin(), tap.end(), int16_t(-1));
    ASSERT_NE(firstB, tap.end());
    const size_t at = size_t(firstB - tap.begin());
    EXPECT_EQ(at % 441, 0u) << "the old signal ends at the end of a pass";
    EXPECT_EQ(tap[at - 1], 441) << "and the new one follows it at once";
    EXPECT_TRUE(std::equal(b.begin(), b.end(), firstB));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), firstB + 300)) << "the new signal loops";

    // A loop broken before it has begun plays one pass.
    HWAVEOUT late = 0;
    closeOutput(out);
    ASSERT_EQ(waveOutOpen(late, 0, pcm16(44100)), MMSYSERR_NOERROR);
    out = late;
    for (int hdr : {1, 2}) ASSERT_EQ(waveOutPrepareHeader(out, hdr, 4000), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutLoadHeader(out, 1, a.data(), 882), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutLoadHeader(out, 2, b.data(), 600), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(out, 1, WHDR_BEGINLOOP | WHDR_ENDLOOP, kWaveLoopForever), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutBreakLoop(out), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(out, 2, WHDR_BEGINLOOP | WHDR_ENDLOOP, kWaveLoopForever), MMSYSERR_NOERROR);
    vclock::busyWait(50);
    tap = jig->outputTap();
    EXPECT_TRUE(std::equal(a.begin(), a.end(), tap.begin()));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), tap.begin() + 441));

    // Reset stops now, in the middle of a pass, and hands every header back.
    const size_t before = jig->outputTap().size();
    ASSERT_EQ(waveOutReset(out), MMSYSERR_NOERROR);
    EXPECT_TRUE(header(out, 2).dwFlags & WHDR_DONE);
    EXPECT_FALSE(header(out, 2).dwFlags & WHDR_INQUEUE);
    vclock::busyWait(20);
    tap = jig->outputTap();
    EXPECT_TRUE(std::all_of(tap.begin() + long(before), tap.end(), [](int16_t s) { return s == 0; }));
    closeOutput(out);
}

TEST_F(SoundJig, HeadersRefuseWhatWouldCorruptThem) {
    const std::vector<int16_t> a = ramp(441, 1, 1);
    HWAVEOUT out = startLoop(a, 44100);
    EXPECT_EQ(waveOutLoadHeader(out, 1, a.data(), 882), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(out, 1), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutWrite(out, 1, 0, 0), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutLoadHeader(out, 2, a.data(), 4200002), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutLoadHeader(out, 9, a.data(), 882), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutWrite(out, 3, 0, 0), WAVERR_UNPREPARED);
    HWAVEOUT second = 0;
    EXPECT_EQ(waveOutOpen(second, 0, pcm16(44100)), MMSYSERR_ALLOCATED);
    WaveFormatEx stereo = pcm16(44100);
    stereo.nChannels = 2;
    closeOutput(out);
    EXPECT_EQ(waveOutOpen(second, 0, stereo), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutWrite(out, 1, 0, 0), MMSYSERR_INVALHANDLE);
}

TEST_F(SoundJig, OtherRatesAreConvertedInsideTheCard) {
    mixerReady(*jig, 58000);
    // A sweep's low rate out, the input at half the card's rate.
    const HWAVEOUT out = startLoop(tone(100, 1000, 8000, 10), 8000);
    vclock::busyWait(200);
    const std::vector<int16_t> rec = record(2205, 22050);
    closeOutput(out);
    EXPECT_NEAR(levelDb(rec), jig->expectedLevelDb(100, 1000), 0.15);
    // 100 Hz: 10 cycles in 2205 samples at 22050 Hz.
    int crossings = 0;
    for (size_t i = 1; i < rec.size(); ++i) crossings += (rec[i - 1] < 0) != (rec[i] < 0);
    EXPECT_NEAR(crossings, 20, 1);
}

TEST_F(SoundJig, VoltmeterReadsTheBoardAndTheAmplifier) {
    mixerReady(*jig);
    const HWAVEOUT out = startLoop(tone(1000, 32767, 44100, 10), 44100);
    vclock::busyWait(1500);
    EXPECT_NEAR(jig->voltmeter(sound::JigPoint::SoundBoardOutput), 2.0, 0.005);
    EXPECT_NEAR(jig->voltmeter(sound::JigPoint::AmplifierOutput), 40.0, 0.1);
    // The wave volume at half its travel takes half the taper's range off.
    jig->cardMixer().controlByRole(sound::MixerRole::WaveVolume)->values = {32768};
    jig->mixerChanged();
    vclock::busyWait(1500);
    EXPECT_NEAR(20 * std::log10(jig->voltmeter(sound::JigPoint::SoundBoardOutput) / 2.0), -30.0, 0.05);
    // An amplifier that clips at 10 V holds its output below that.
    mixerReady(*jig);
    JigConfig c = jig->config();
    c.ampClips = true;
    c.ampClipVpeak = 10;
    jig->setConfig(c);
    vclock::busyWait(1500);
    EXPECT_LT(jig->voltmeter(sound::JigPoint::AmplifierOutput), 10.0);
    EXPECT_GT(jig->voltmeter(sound::JigPoint::AmplifierOutput), 9.0);
    closeOutput(out);
}

TEST_F(SoundJig, UnitModelsSwapBetweenMeasurements) {
    flatCard();
    const std::vector<int16_t> signal = tone(1000, 2000, 44100, 10);
    auto measure = [&](const UnitModel& iUnit) {
        JigConfig c = jig->config();
        c.unit = iUnit;
        c.unit.resonanceHz = 0;
        c.unit.lowPassHz = 0;
        c.unit.peakGainDb = 0;
        jig->setConfig(c);
        const HWAVEOUT out = startLoop(signal, 44100);
        const std::vector<int16_t> rec = record(441, 44100, WAVEIN_START_WITH_OUTPUT);
        closeOutput(out);
        return rec;
    };
    const std::vector<int16_t> normal = measure(UnitModel::standard());
    const std::vector<int16_t> reversed = measure(UnitModel::reversedPolarity());
    const double dot = std::inner_product(normal.begin(), normal.end(), reversed.begin(), 0.0);
    const double norm = std::inner_product(normal.begin(), normal.end(), normal.begin(), 0.0);
    EXPECT_NEAR(dot / norm, -1.0, 0.001);
    const std::vector<int16_t> dead = measure(UnitModel::deadUnit());
    EXPECT_TRUE(std::all_of(dead.begin(), dead.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(SoundJig, InjectedFaultsStallsAndDeadInputs) {
    jig->failCall(sound::SoundCall::WaveOutOpen, MMSYSERR_ALLOCATED);
    HWAVEOUT out = 0;
    EXPECT_EQ(waveOutOpen(out, 0, pcm16(44100)), MMSYSERR_ALLOCATED);
    EXPECT_EQ(out, 0);
    out = startLoop(tone(1000, 1000, 44100, 10), 44100, 1);

    // A failing close still releases the device.
    jig->failCall(sound::SoundCall::WaveOutClose, MMSYSERR_ERROR);
    EXPECT_EQ(waveOutClose(out), MMSYSERR_ERROR);
    out = startLoop(tone(1000, 1000, 44100, 10), 44100, 1);

    // A stalled output never finishes its buffer.
    jig->stallOutput(true);
    ASSERT_EQ(waveOutReset(out), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(out, 1, WHDR_BEGINLOOP | WHDR_ENDLOOP, 1), MMSYSERR_NOERROR);
    vclock::busyWait(2000);
    EXPECT_FALSE(header(out, 1).dwFlags & WHDR_DONE);
    jig->stallOutput(false);
    vclock::busyWait(100);
    EXPECT_TRUE(header(out, 1).dwFlags & WHDR_DONE);
    closeOutput(out);

    // A dead input delivers nothing, however long it is polled.
    jig->killInput(true);
    HWAVEIN in = 0;
    ASSERT_EQ(waveInOpen(in, 0, pcm16(44100)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInPrepareHeader(in, 1, 2000), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(in, 1), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(in), MMSYSERR_NOERROR);
    EXPECT_FALSE(pollUntil([&] {
        WaveHdr h;
        waveInGetHeader(in, 1, h);
        return h.dwBytesRecorded > 0;
    }, 1000));
    jig->failCall(sound::SoundCall::WaveInClose, MMSYSERR_NOMEM, -1);
    EXPECT_EQ(waveInClose(in), MMSYSERR_NOMEM);
    EXPECT_EQ(waveInClose(in), MMSYSERR_INVALHANDLE) << "closed all the same";
}

TEST_F(SoundJig, TimeMovesOnlyWithTheClockAndIsLogged) {
    mixerReady(*jig);
    const HWAVEOUT out = startLoop(tone(1000, 1000, 44100, 10), 44100);
    HWAVEIN in = 0;
    ASSERT_EQ(waveInOpen(in, 0, pcm16(44100)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInPrepareHeader(in, 1, 88200), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(in, 1), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(in), MMSYSERR_NOERROR);
    WaveHdr h;
    waveInGetHeader(in, 1, h);
    EXPECT_EQ(h.dwBytesRecorded, 0u);
    vclock::busyWait(100);
    waveInGetHeader(in, 1, h);
    EXPECT_EQ(h.dwBytesRecorded, 8820u);
    vclock::busyWait(1000);
    waveInGetHeader(in, 1, h);
    EXPECT_EQ(h.dwBytesRecorded, 88200u);
    EXPECT_TRUE(h.dwFlags & WHDR_DONE);
    EXPECT_EQ(waveInClose(in), MMSYSERR_NOERROR);
    closeOutput(out);

    // The output starts when the card next plays, at the same moment the input is started.
    QStringList what;
    QList<double> when;
    for (const sound::JigEvent& e : jig->events()) {
        what << e.what;
        when << std::round((e.ms - jig->events().front().ms) / 10) * 10;   // to a block or so
    }
    EXPECT_EQ(what, QStringList({"waveOutOpen 44100 Hz 16 bit", "waveOutWrite 1: 882 bytes, loops 2000000000",
                                 "waveInOpen 44100 Hz 16 bit", "waveInStart", "output starts header 1", "input starts",
                                 "input header 1 full", "waveInClose", "waveOutClose"}));
    EXPECT_EQ(when, QList<double>({0, 0, 0, 0, 0, 0, 1000, 1100, 1100}));
}

TEST_F(SoundJig, ExactSilenceIsExact) {
    mixerReady(*jig);
    JigConfig c = jig->config();
    c.exactSilence = true;
    c.humLsb = 30;
    c.dcLsb = 12;
    jig->setConfig(c);
    const HWAVEOUT out = startLoop(tone(1000, 30000, 44100, 10), 44100);
    vclock::busyWait(100);
    const std::vector<int16_t> rec = record(4410);
    closeOutput(out);
    EXPECT_TRUE(std::all_of(rec.begin(), rec.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(SoundJig, HumAndDcShowInTheNoiseFloor) {
    JigConfig c = jig->config();
    c.noiseRmsLsb = 0;
    c.humLsb = 100;
    c.dcLsb = 50;
    jig->setConfig(c);
    const std::vector<int16_t> rec = record(44100);
    EXPECT_NEAR(levelDb(rec), jig->noiseFloorDb(), 0.05);
    const double mean = std::accumulate(rec.begin(), rec.end(), 0.0) / double(rec.size());
    EXPECT_NEAR(mean, 50, 0.5);
}

TEST_F(SoundJig, ASwitchWithAResetStaysAlignedOnACardOfAnotherRate) {
    JigConfig c = jig->config();
    c.cardRate = 48000;
    jig->setConfig(c);
    flatCard();
    const std::vector<int16_t> silence(4410, 0);
    std::vector<int16_t> pulse(4410, 0);
    pulse[1000] = 200;   // the converters ring around it: kept clear of clipping
    // However far the output converter had read ahead when the reset came.
    for (int playedMs : {0, 3, 17, 160}) {
        SCOPED_TRACE(std::to_string(playedMs) + " ms of the previous signal");
        const HWAVEOUT out = startLoop(silence, 44100);
        vclock::busyWait(playedMs);
        ASSERT_EQ(waveOutLoadHeader(out, 2, pulse.data(), 8820), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutBreakLoop(out), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutReset(out), MMSYSERR_NOERROR);
        HWAVEIN in = 0;
        ASSERT_EQ(waveInOpen(in, 0, pcm16(44100)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInPrepareHeader(in, 1, 8820), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(in, 1), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(out, 2, WHDR_BEGINLOOP | WHDR_ENDLOOP, 1), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInStart(in, WAVEIN_START_WITH_OUTPUT), MMSYSERR_NOERROR);
        ASSERT_TRUE(pollUntil([&] {
            WaveHdr h;
            waveInGetHeader(in, 1, h);
            return (h.dwFlags & WHDR_DONE) != 0;
        }));
        EXPECT_EQ(waveInStop(in), MMSYSERR_NOERROR);
        std::vector<int16_t> rec(4410);
        ASSERT_EQ(waveInReadHeader(in, 1, rec.data(), 8820), MMSYSERR_NOERROR);
        EXPECT_EQ(waveInClose(in), MMSYSERR_NOERROR);
        EXPECT_NEAR(double(peakAt(rec)), 1000.0, 1.0);
        closeOutput(out);
    }
}

TEST_F(SoundJig, ARecordingStartedAfterItsSignalReachedTheInputIsReportedLate) {
    flatCard();
    const int roundTripMs = 1 + (jig->config().outputLatencyFrames + jig->config().inputLatencyFrames) * 1000 / 44100;
    std::vector<int16_t> pulse(2000, 0);
    pulse[100] = 8000;
    HWAVEOUT out = 0;
    ASSERT_EQ(waveOutOpen(out, 0, pcm16(44100)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPrepareHeader(out, 1, 4000), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutLoadHeader(out, 1, pulse.data(), 4000), MMSYSERR_NOERROR);
    // As a measurement records: the input is set up, the signal written and
    // the input started with it, with iLateMs between the last two.
    struct Run { MMRESULT stop; size_t peak; };
    auto measure = [&](int iLateMs) {
        HWAVEIN in = 0;
        std::vector<int16_t> rec(2000);
        EXPECT_EQ(waveInOpen(in, 0, pcm16(44100)), MMSYSERR_NOERROR);
        EXPECT_EQ(waveInPrepareHeader(in, 1, 4000), MMSYSERR_NOERROR);
        EXPECT_EQ(waveInAddBuffer(in, 1), MMSYSERR_NOERROR);
        EXPECT_EQ(waveOutWrite(out, 1, WHDR_BEGINLOOP | WHDR_ENDLOOP, 1), MMSYSERR_NOERROR);
        vclock::busyWait(iLateMs);
        EXPECT_EQ(waveInStart(in, WAVEIN_START_WITH_OUTPUT), MMSYSERR_NOERROR);
        EXPECT_TRUE(pollUntil([&] {
            WaveHdr h;
            waveInGetHeader(in, 1, h);
            return (h.dwFlags & WHDR_DONE) != 0;
        }));
        const MMRESULT stop = waveInStop(in);
        EXPECT_EQ(waveInReadHeader(in, 1, rec.data(), 4000), MMSYSERR_NOERROR);
        EXPECT_EQ(waveInClose(in), MMSYSERR_NOERROR);
        vclock::busyWait(100);   // the pulse has played out
        return Run{stop, peakAt(rec)};
    };

    // In time, however little is left: aligned.
    Run r = measure(roundTripMs - 2);
    EXPECT_EQ(r.stop, MMSYSERR_NOERROR);
    EXPECT_EQ(r.peak, 100u);
    // Later than the round trip: the signal's start is lost, and the stop says so.
    r = measure(roundTripMs + 5);
    EXPECT_EQ(r.stop, MMSYSERR_ERROR);
    QString text;
    EXPECT_EQ(waveInGetErrorText(r.stop, text), MMSYSERR_NOERROR);
    EXPECT_TRUE(text.contains("recording started late")) << text.toStdString();
    // The next recording is judged on its own.
    r = measure(0);
    EXPECT_EQ(r.stop, MMSYSERR_NOERROR);
    EXPECT_EQ(r.peak, 100u);

    // A signal playing before the input was opened is recorded from now, as a
    // level reading wants it: no error.
    const std::vector<int16_t> sine = tone(1000, 8000, 44100, 10);
    ASSERT_EQ(waveOutPrepareHeader(out, 2, 4000), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutLoadHeader(out, 2, sine.data(), uint32_t(sine.size() * 2)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(out, 2, WHDR_BEGINLOOP | WHDR_ENDLOOP, kWaveLoopForever), MMSYSERR_NOERROR);
    vclock::busyWait(200);
    const std::vector<int16_t> rec = record(441, 44100, WAVEIN_START_WITH_OUTPUT);   // its stop is checked inside
    EXPECT_GT(levelDb(rec), -40.0);
    closeOutput(out);
}
