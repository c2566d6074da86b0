// The core both sound backends share, driven block by block the way a card's
// callback drives it: a loopback card, its input hearing its output a fixed
// round trip later, running at 48 kHz while the signals are made at 44.1 kHz,
// so that rate converters sit on both sides (as on a 48 kHz-only card).
#include "platform/sound/RateConverter.h"
#include "platform/sound/WaveEngine.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <string>

using sound::ConverterQuality;
using sound::DuplexCore;
using sound::RateConverter;

namespace {
constexpr double kCardRate = 48000;
constexpr double kSignalRate = 44100;
constexpr int kBlock = 64;
constexpr int kRoundTrip = 661;     // frames from the output converter back to the input
constexpr int kOutLatency = 441;    // frames from the output converter to the DAC

class LoopbackCard {
public:
    explicit LoopbackCard(ConverterQuality iQuality) : core(kCardRate) {
        mOut = std::make_unique<RateConverter>(kSignalRate, kCardRate, iQuality,
                                               [this](float* o, int n) { return core.renderFloat(o, n); });
        mIn = std::make_unique<RateConverter>(kCardRate, kSignalRate, iQuality,
                                              [this](const float* d, int n) { core.captureFloat(d, n); });
        core.outOpen(2, kSignalRate, mOut.get());
    }
    void openInput() { core.inOpen(2, kSignalRate, mIn.get()); }

    // Runs one block; true when the output header iWatch is done after it.
    bool block(int iWatch = 0) {
        float out[kBlock], in[kBlock];
        core.processOutput(out, kBlock, counter, kRoundTrip, counter + kBlock - kOutLatency);
        for (int i = 0; i < kBlock; ++i) {
            played.push_back(out[i]);
            wire.push_back(out[i] * level);
            in[i] = wire.front();
            wire.pop_front();
        }
        core.processInput(in, kBlock, counter, kRoundTrip);
        counter += kBlock;
        WaveHdr h;
        return iWatch && core.outHeader(iWatch, h) == MMSYSERR_NOERROR && (h.dwFlags & WHDR_DONE);
    }
    void run(int iBlocks) {
        for (int b = 0; b < iBlocks; ++b) block();
    }

    // The station's switch to a new signal with a reset: what looped before
    // stops at once and the new signal starts from its first sample.
    void switchWithReset(int iHeader, const std::vector<int16_t>& iSignal, bool iRecord) {
        uint64_t t = 0;
        ASSERT_EQ(core.outPrepare(iHeader, uint32_t(iSignal.size() * 2)), MMSYSERR_NOERROR);
        ASSERT_EQ(core.outLoad(iHeader, iSignal.data(), uint32_t(iSignal.size() * 2)), MMSYSERR_NOERROR);
        core.outBreak();
        core.outReset();
        block();
        if (iRecord) {
            openInput();
            ASSERT_EQ(core.inPrepare(1, uint32_t(iSignal.size() * 2)), MMSYSERR_NOERROR);
            ASSERT_EQ(core.inAddBuffer(1, t), MMSYSERR_NOERROR);
        }
        ASSERT_EQ(core.outWrite(iHeader, WHDR_BEGINLOOP | WHDR_ENDLOOP, 1, t), MMSYSERR_NOERROR);
        if (iRecord) core.inStart(WAVEIN_START_WITH_OUTPUT);
    }
    // Loops silence on header 2 for iBlocks blocks, so that the output
    // converter has read some way ahead when the switch comes.
    void loopSilenceFor(int iBlocks) {
        const std::vector<int16_t> silence(4410, 0);
        uint64_t t = 0;
        ASSERT_EQ(core.outPrepare(2, 8820), MMSYSERR_NOERROR);
        ASSERT_EQ(core.outLoad(2, silence.data(), 8820), MMSYSERR_NOERROR);
        ASSERT_EQ(core.outWrite(2, WHDR_BEGINLOOP | WHDR_ENDLOOP, kWaveLoopForever, t), MMSYSERR_NOERROR);
        run(iBlocks);
    }

    DuplexCore core;
    int64_t counter = 0;
    float level = 1.0f;          // the microphone level, as the sound enters the loop
    std::vector<float> played;   // device frames, as the output converter played them
    std::deque<float> wire = std::deque<float>(kRoundTrip, 0.0f);

private:
    std::unique_ptr<RateConverter> mOut;
    std::unique_ptr<RateConverter> mIn;
};

template <class T>
size_t peakAt(const std::vector<T>& iSamples, size_t iFrom = 0) {
    return size_t(std::max_element(iSamples.begin() + long(iFrom), iSamples.end(),
                                   [](T a, T b) { return std::abs(a) < std::abs(b); }) -
                  iSamples.begin());
}

struct Case {
    ConverterQuality quality;
    int blocksBefore;
    std::string name() const {
        return std::string(quality == ConverterQuality::Best ? "best" : "fast") + " converter, " +
               std::to_string(blocksBefore) + " blocks of silence before the switch";
    }
};

std::vector<Case> cases() {
    std::vector<Case> all;
    for (ConverterQuality q : {ConverterQuality::Fast, ConverterQuality::Best})
        for (int blocks : {0, 1, 7, 40, 333}) all.push_back({q, blocks});
    return all;
}
}

TEST(WaveEngine, ARecordingStartedWithASignalAfterAResetHearsItFromItsFirstSample) {
    std::vector<int16_t> pulse(4410, 0);
    pulse[1000] = 20000;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name());
        LoopbackCard card(c.quality);
        if (c.blocksBefore > 0) card.loopSilenceFor(c.blocksBefore);
        card.switchWithReset(1, pulse, true);
        card.run(200);
        WaveHdr h;
        ASSERT_EQ(card.core.inHeader(1, h), MMSYSERR_NOERROR);
        ASSERT_EQ(h.dwBytesRecorded, 8820u);
        std::vector<int16_t> rec(4410);
        ASSERT_EQ(card.core.inRead(1, rec.data(), 8820), MMSYSERR_NOERROR);
        EXPECT_NEAR(double(peakAt(rec)), 1000.0, 1.0);
        EXPECT_FALSE(card.core.inStartedLate());
    }
}

TEST(WaveEngine, DoneComesWhenTheLastSampleHasLeftTheConverterAfterAReset) {
    // A signal whose last sample stands out, so that the played frames show where it went.
    std::vector<int16_t> signal(2205, 0);
    signal.back() = 20000;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name());
        LoopbackCard card(c.quality);
        if (c.blocksBefore > 0) card.loopSilenceFor(c.blocksBefore);
        const size_t from = card.played.size();
        card.switchWithReset(1, signal, false);
        int64_t doneBefore = -1;   // the first frame not yet out of the converter when done showed
        for (int b = 0; b < 400 && doneBefore < 0; ++b)
            if (card.block(1)) doneBefore = card.counter - kOutLatency;
        ASSERT_GE(doneBefore, 0) << "never done";
        card.run(20);
        const int64_t last = int64_t(peakAt(card.played, from));
        EXPECT_LT(last, doneBefore) << "done before the last sample had left";
        EXPECT_GE(last + 1, doneBefore - kBlock) << "done a block or more after it had left";
    }
}

// A level set while a tone plays (the sine test's microphone level) is the
// one the whole recording that follows reads, though a round trip of the old
// level is still in the loop when the recording starts.
TEST(WaveEngine, ARecordingAfterALevelSetHearsOnlyTheNewLevel) {
    // The tone has played for a while, or was switched to just before the level was set.
    for (int blocksPlayed : {100, 2}) {
        SCOPED_TRACE(std::to_string(blocksPlayed) + " blocks played");
        LoopbackCard card(ConverterQuality::Best);
        const std::vector<int16_t> tone(4410, 10000);
        uint64_t t = 0;
        ASSERT_EQ(card.core.outPrepare(2, 8820), MMSYSERR_NOERROR);
        ASSERT_EQ(card.core.outLoad(2, tone.data(), 8820), MMSYSERR_NOERROR);
        ASSERT_EQ(card.core.outWrite(2, WHDR_BEGINLOOP | WHDR_ENDLOOP, kWaveLoopForever, t), MMSYSERR_NOERROR);
        card.run(blocksPlayed);
        card.level = 0.5f;
        card.core.inLevelSet();
        card.openInput();
        ASSERT_EQ(card.core.inPrepare(1, 4000), MMSYSERR_NOERROR);
        ASSERT_EQ(card.core.inAddBuffer(1, t), MMSYSERR_NOERROR);
        card.core.inStart(WAVEIN_START_WITH_OUTPUT);
        card.run(200);
        std::vector<int16_t> rec(2000);
        ASSERT_EQ(card.core.inRead(1, rec.data(), 4000), MMSYSERR_NOERROR);
        // Past the input converter's own start, every sample reads the new level.
        for (size_t i = 200; i < rec.size(); ++i) ASSERT_NEAR(rec[i], 5000, 50) << "sample " << i;
        EXPECT_FALSE(card.core.inStartedLate());
    }
}

// A gap the stream flags (an overflow on a real card) spoils only a recording
// under way, and the stop says so until the next start; one before the
// recording started, or after it filled, does not.
TEST(WaveEngine, AStreamGapDuringARecordingIsItsStopFault) {
    LoopbackCard card(ConverterQuality::Fast);
    std::vector<int16_t> tone(4410, 1000);
    card.core.noteStreamGap();
    card.switchWithReset(1, tone, true);
    card.run(2);
    EXPECT_EQ(card.core.inStopFault(), QString()) << "a gap before the recording took anything";
    card.run(20);
    WaveHdr h;
    ASSERT_EQ(card.core.inHeader(1, h), MMSYSERR_NOERROR);
    ASSERT_GT(h.dwBytesRecorded, 0u);
    card.core.noteStreamGap();
    card.run(200);
    EXPECT_EQ(card.core.inStopFault(), sound::lostSamplesText());
    card.core.inStop();
    card.run(1);
    EXPECT_EQ(card.core.inStopFault(), sound::lostSamplesText()) << "it holds after the stop";

    // The next recording starts clean; a gap once its header is full is none of its business.
    card.core.inReset();
    card.switchWithReset(1, tone, true);
    card.run(200);
    card.core.noteStreamGap();
    card.run(1);
    EXPECT_EQ(card.core.inStopFault(), QString());
}

// The output buffers stay allocated from one open to the next; prepared again
// they hold silence, whatever an earlier signal left in them.
TEST(WaveEngine, AnOutputBufferPreparedAgainHoldsSilence) {
    DuplexCore core(kCardRate);
    core.outOpen(2, kSignalRate, nullptr);
    const std::vector<int16_t> tone(4000, 1234);
    ASSERT_EQ(core.outPrepare(1, 20000), MMSYSERR_NOERROR);
    ASSERT_EQ(core.outLoad(1, tone.data(), 8000), MMSYSERR_NOERROR);
    ASSERT_EQ(core.outUnprepare(1), MMSYSERR_NOERROR);
    core.outOpen(2, kSignalRate, nullptr);
    ASSERT_EQ(core.outPrepare(1, 16000), MMSYSERR_NOERROR);
    uint32_t count = 0;
    const int16_t* samples = core.outSamples(1, count);
    ASSERT_EQ(count, 8000u);
    EXPECT_TRUE(std::all_of(samples, samples + count, [](int16_t v) { return v == 0; }));
    // A larger buffer than the kept one is made afresh, silent too.
    ASSERT_EQ(core.outLoad(1, tone.data(), 8000), MMSYSERR_NOERROR);
    ASSERT_EQ(core.outPrepare(1, 40000), MMSYSERR_NOERROR);
    samples = core.outSamples(1, count);
    ASSERT_EQ(count, 20000u);
    EXPECT_TRUE(std::all_of(samples, samples + count, [](int16_t v) { return v == 0; }));
}
