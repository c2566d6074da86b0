#pragma once
// Helpers for tests that play and record through the sound API on the jig.
#include "platform/os/Clock.h"
#include "platform/sound/Jig.h"
#include "platform/sound/Sound.h"
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace jigbench {

// Installs a fresh jig as the sound backend and returns it.
inline sound::JigBackend& installJig(sound::JigConfig iConfig = sound::JigConfig::standard()) {
    auto jig = std::make_unique<sound::JigBackend>(std::move(iConfig));
    sound::JigBackend& ref = *jig;
    sound::setBackend(std::move(jig));
    return ref;
}

inline WaveFormatEx pcm16(uint32_t iRate) {
    WaveFormatEx f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = iRate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = iRate * 2;
    return f;
}

// Whole cycles of a sine, so that it loops without a jump.
inline std::vector<int16_t> tone(double iFrequency, double iAmplitude, double iRate, int iCycles) {
    const int n = int(std::lround(iCycles * iRate / iFrequency));
    std::vector<int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[size_t(i)] = int16_t(std::lround(iAmplitude * std::sin(2 * M_PI * iCycles * i / double(n))));
    return s;
}

// The station's level scale: 0 dB is an rms of half the 16-bit span.
inline double levelDb(const std::vector<int16_t>& iSamples, size_t iFrom = 0) {
    double sum = 0;
    for (size_t i = iFrom; i < iSamples.size(); ++i) sum += double(iSamples[i]) * iSamples[i];
    const double rms = std::sqrt(sum / double(iSamples.size() - iFrom));
    return 20 * std::log10(2 * std::max(rms, 1.0) / 65535.0);
}

// Polls the clock until the predicate holds or a virtual minute has passed.
template <class Pred>
bool pollUntil(Pred iPred, int64_t iDeadlineMs = 60000) {
    const int64_t end = vclock::ticks() + iDeadlineMs;
    while (!iPred()) {
        if (vclock::ticks() > end) return false;
        vclock::poll();
    }
    return true;
}

// Opens the output at iRate and loops iSignal on header 1 until closed.
inline HWAVEOUT startLoop(const std::vector<int16_t>& iSignal, uint32_t iRate, uint32_t iLoops = kWaveLoopForever) {
    HWAVEOUT out = 0;
    EXPECT_EQ(waveOutOpen(out, 0, pcm16(iRate)), MMSYSERR_NOERROR);
    const uint32_t bytes = uint32_t(iSignal.size() * 2);
    EXPECT_EQ(waveOutPrepareHeader(out, 1, 4200000), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutPrepareHeader(out, 2, 4200000), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutLoadHeader(out, 1, iSignal.data(), bytes), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(out, 1, WHDR_BEGINLOOP | WHDR_ENDLOOP, iLoops), MMSYSERR_NOERROR);
    return out;
}

// Records iCount samples at iRate; iMode chooses when the first one is taken.
inline std::vector<int16_t> record(uint32_t iCount, uint32_t iRate = 44100, WaveInStartMode iMode = WAVEIN_START_NOW) {
    HWAVEIN in = 0;
    std::vector<int16_t> samples(iCount);
    EXPECT_EQ(waveInOpen(in, 0, pcm16(iRate)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInPrepareHeader(in, 1, iCount * 2), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInAddBuffer(in, 1), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInStart(in, iMode), MMSYSERR_NOERROR);
    const bool full = pollUntil([&] {
        WaveHdr h;
        waveInGetHeader(in, 1, h);
        return h.dwBytesRecorded >= iCount * 2;
    });
    EXPECT_TRUE(full);
    EXPECT_EQ(waveInStop(in), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInReadHeader(in, 1, samples.data(), iCount * 2), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInClose(in), MMSYSERR_NOERROR);
    return samples;
}

// A standard mixer set as start-up leaves it: master and wave at full and
// unmuted, the microphone selected, the microphone volume as given.
inline void mixerReady(sound::JigBackend& ioJig, int32_t iMicVolume = 65535) {
    sound::MixerModel& m = ioJig.cardMixer();
    m.controlByRole(sound::MixerRole::MasterVolume)->values = {65535};
    m.controlByRole(sound::MixerRole::MasterMute)->values = {0};
    m.controlByRole(sound::MixerRole::WaveVolume)->values = {65535};
    m.controlByRole(sound::MixerRole::WaveMute)->values = {0};
    m.controlByRole(sound::MixerRole::MicVolume)->values = {iMicVolume};
    sound::MixerControlModel* select = m.controlByRole(sound::MixerRole::RecordSelect);
    for (size_t i = 0; i < select->items.size(); ++i)
        select->values[i] = select->items[i].dwParam2 == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE ? 1 : 0;
    ioJig.mixerChanged();
}

}
