// The measurement engine against the audio time it handles: a 100-point
// frequency response through the simulated jig (virtual audio seconds per
// wall second), the largest test signal made, and a response on a real sound
// server (run through tests/support/with-sound-server.sh), where the wall time
// per point is set by the device's latency and the engine's own share is the
// user-interface thread's processor time.
#include "audio/modMixer.h"
#include "audio/modResponseSub.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "audio/modWaveResponse.h"
#include "common/modGeneral.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/sound/Jig.h"
#include "platform/sound/PortAudioBackend.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PictureBox.h"
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>

namespace {
class frmGraph : public Form, public ResponseWindow {
public:
    frmGraph() : Form(QStringLiteral("frmGraph")) {
        setClientSize(6000, 3400);
        picResponse = new PictureBox(this, QStringLiteral("picResponse"), 0, 0, 1200, 900);
    }
    DrawSurface& windowSurface() override { return formSurface(*this); }
};

// A program folder and settings of its own, boxes answered by their default.
void station() {
    static QTemporaryDir sHome, sSettings;
    qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
    settingsstore::setFolder(sSettings.path());
    setMsgBoxScript([](const MsgBoxCall& iCall) { return iCall.defaultAnswer == vbRetry ? int(vbAbort) : iCall.defaultAnswer; });
    gsMainCaption = QStringLiteral("Vexo v1.000");
    gfVOutSoundboard = 2.0f;
    gfVOutAmp = 40.0f;
}

// Start-up on the backend in use: card, mixer, microphone selected.
bool cardReady(frmGraph& ioGraph) {
    bool error = false;
    if (!gbWaveInOutMixerThereInit(error)) return false;
    gMixerOutMasterSetVolume(65535, error);
    gMixerInMasterSelectMic(error);
    gResponseSubDrawGrid(ioGraph, 600, 200, 4800, 2550, 0, QStringLiteral("(Hz)"), false, error);
    return !error;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

// A 100-point response from 20 Hz to 20 kHz on the jig; the counter
// audio_x_realtime is virtual (audio) seconds per wall second.
void BM_JigResponse100(benchmark::State& state) {
    station();
    vclock::setVirtual(QDateTime(QDate(2026, 1, 5), QTime(8, 0)));
    sound::setBackend(std::make_unique<sound::JigBackend>());
    frmGraph graph;
    if (!cardReady(graph)) {
        state.SkipWithError("the jig did not start");
        return;
    }
    ResponseCurve level(101, 0.0f), corrected(101, 0.0f);
    double audioSeconds = 0;
    for (auto _ : state) {
        const int64_t before = vclock::ticks();
        bool error = false;
        gWaveResponse(graph, 20, 20000, 100, 0, 1.0f, true, 30000, 0, false, 0xFFFFFF, 0, level, corrected, error);
        if (error) {
            state.SkipWithError("the measurement failed");
            break;
        }
        audioSeconds += double(vclock::ticks() - before) / 1000.0;
    }
    state.counters["audio_s"] = benchmark::Counter(audioSeconds, benchmark::Counter::kAvgIterations);
    state.counters["audio_x_realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    sound::setBackend(nullptr);
    vclock::setReal();
}
BENCHMARK(BM_JigResponse100)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest signal the output buffers hold: a 100-step logarithmic sweep
// from 20 Hz to 20 kHz over 47.5 s at 44,100 Hz, about 2.09 million samples.
void BM_MakeLargestSignal(benchmark::State& state) {
    station();
    gtypWaveOutCaps.lSampleFrequency = 44100;
    gtypWaveOutCaps.fTopFrequency = 20000;
    bool error = false;
    gWaveOutSetVolume(32767, error);
    gWaveOutSetFrequency1SweepBurst(20, 20000, 47.5f, true, false, 100, 0, 0, error);
    std::vector<int16_t> samples;
    for (auto _ : state) {
        glWaveOutMake(samples, error);
        benchmark::DoNotOptimize(samples.data());
    }
    if (error || samples.size() < 2000000) state.SkipWithError("the sweep was not made");
    state.counters["samples"] = double(samples.size() - 1);
    state.SetItemsProcessed(state.iterations() * int64_t(samples.size() - 1));
}
BENCHMARK(BM_MakeLargestSignal)->Unit(benchmark::kMillisecond)->UseRealTime();

// Responses of 10 and 40 points from 20 Hz to 20 kHz on a real sound server:
// the difference over the 30 extra points is the wall time a point costs
// (the opening, start tone and closing drop out), and the processor time the
// user-interface thread spends on it.
void BM_RealResponsePerPoint(benchmark::State& state) {
    if (!qEnvironmentVariable("VEXO_NO_SOUND_SERVER").isEmpty()) {
        state.SkipWithError("no sound server");
        return;
    }
    station();
    sound::setBackend(std::make_unique<sound::PortAudioBackend>());
    frmGraph graph;
    if (waveOutGetNumDevs() == 0 || !cardReady(graph)) {
        state.SkipWithError("no sound device");
        sound::setBackend(nullptr);
        return;
    }
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    double wall[2] = {0, 0}, cpu[2] = {0, 0};
    const int16_t points[2] = {10, 40};
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            const auto w0 = std::chrono::steady_clock::now();
            const double c0 = threadCpuSeconds();
            bool error = false;
            gWaveResponse(graph, 20, 20000, points[k], 0, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected,
                          error);
            cpu[k] += threadCpuSeconds() - c0;
            wall[k] += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
            if (error) state.SkipWithError("the measurement failed");
        }
    }
    const double n = double(state.iterations()) * (points[1] - points[0]);
    state.counters["wall_ms_per_point"] = (wall[1] - wall[0]) * 1000 / n;
    state.counters["engine_cpu_ms_per_point"] = (cpu[1] - cpu[0]) * 1000 / n;
    state.counters["fixed_ms_per_measurement"] =
        (wall[0] - (wall[1] - wall[0]) * points[0] / (points[1] - points[0])) * 1000 / double(state.iterations());
    bool error = false;
    gMixerRestore(error);
    sound::setBackend(nullptr);
}
BENCHMARK(BM_RealResponsePerPoint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
