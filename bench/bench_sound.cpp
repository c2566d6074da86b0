// The sound layer: how fast the jig simulates (so that a test's sweep costs
// milliseconds), and what the start-up discovery and mixer listing cost on the
// real backend. Run the real-backend ones through
// tests/support/with-sound-server.sh to give them a sound server.
#include "bench/BenchBoxes.h"
#include "audio/modMixer.h"
#include "audio/modWaveInOutDevices.h"
#include "platform/os/Clock.h"
#include "platform/sound/Jig.h"
#include "platform/sound/PortAudioBackend.h"
#include "platform/ui/MsgBox.h"
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

WaveFormatEx pcm16(uint32_t iRate) {
    WaveFormatEx f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = iRate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = iRate * 2;
    return f;
}

// One second of the card per iteration, the output looping a tone at the
// given rate and the input recording all of it; items are card samples.
void BM_JigSimulation(benchmark::State& state) {
    const uint32_t outRate = uint32_t(state.range(0));
    vclock::setVirtual(QDateTime(QDate(2026, 1, 5), QTime(8, 0)));
    auto owned = std::make_unique<sound::JigBackend>();
    sound::JigBackend& jig = *owned;
    sound::setBackend(std::move(owned));
    std::vector<int16_t> tone(size_t(outRate / 100));
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = int16_t(10000 * std::sin(2 * M_PI * double(i) / double(tone.size())));
    HWAVEOUT out = 0;
    HWAVEIN in = 0;
    waveOutOpen(out, 0, pcm16(outRate));
    waveOutPrepareHeader(out, 1, uint32_t(tone.size() * 2));
    waveOutLoadHeader(out, 1, tone.data(), uint32_t(tone.size() * 2));
    waveOutWrite(out, 1, WHDR_BEGINLOOP | WHDR_ENDLOOP, kWaveLoopForever);
    waveInOpen(in, 0, pcm16(44100));
    for (int h : {1, 2}) {
        waveInPrepareHeader(in, h, 2 * 44100);
        waveInAddBuffer(in, h);
    }
    waveInStart(in);
    int next = 1;
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        vclock::advance(1000);
        jig.simulateToNow();
        // Hand the filled buffer back, as a recording loop would.
        WaveHdr h;
        waveInGetHeader(in, next, h);
        if (h.dwFlags & WHDR_DONE) waveInAddBuffer(in, next);
        next = 3 - next;
    }
    state.SetItemsProcessed(state.iterations() * 44100);
    waveInClose(in);
    waveOutClose(out);
    sound::setBackend(nullptr);
    vclock::setReal();
}
BENCHMARK(BM_JigSimulation)->Arg(44100)->Arg(8000)->Unit(benchmark::kMillisecond);

bool realBackendWithDevices(benchmark::State& state) {
    if (!qEnvironmentVariable("VEXO_NO_SOUND_SERVER").isEmpty()) {
        state.SkipWithError("no sound server");
        return false;
    }
    return true;
}

// Start-up discovery on the real backend: the backend found (PortAudio's
// device scan), the output and input chosen with their formats probed.
void BM_RealDiscovery(benchmark::State& state) {
    if (!realBackendWithDevices(state)) return;
    benchboxes::answerNone();
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        sound::setBackend(std::make_unique<sound::PortAudioBackend>());
        if (waveOutGetNumDevs() == 0) {
            state.SkipWithError("no sound device");
            break;
        }
        bool error = false;
        benchmark::DoNotOptimize(gbWaveOutThere(error) && gbWaveInThere(error));
        sound::setBackend(nullptr);
    }
}
BENCHMARK(BM_RealDiscovery)->Unit(benchmark::kMillisecond)->Iterations(5);

// The mixer listing of start-up on the real backend's card.
void BM_RealMixerListing(benchmark::State& state) {
    if (!realBackendWithDevices(state)) return;
    benchboxes::answerNone();
    sound::setBackend(std::make_unique<sound::PortAudioBackend>());
    bool error = false;
    if (waveOutGetNumDevs() == 0 || !gbWaveOutThere(error) || !gbWaveInThere(error)) {
        state.SkipWithError("no sound device");
    } else {
        for (auto _ : state) {
            if (benchboxes::ended(state)) break;
            gsWaveInOutInfoShort.clear();
            benchmark::DoNotOptimize(gbMixerThere(error));
        }
    }
    sound::setBackend(nullptr);
}
BENCHMARK(BM_RealMixerListing)->Unit(benchmark::kMillisecond)->Iterations(10);

}
