// The measurement engine against the audio time it handles: a 100-point
// frequency response through the simulated jig (virtual audio seconds per
// wall second), the largest test signal made, and a response on a real sound
// server (run through tests/support/with-sound-server.sh), where the wall time
// per point is set by the device's latency and the engine's own share is the
// user-interface thread's processor time, and the whole demo unit there.
#include "audio/modMixer.h"
#include "audio/modResponseSub.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "audio/modWaveResponse.h"
#include "audio/LevelReading.h"
#include "audio/SweepScale.h"
#include "common/modGeneral.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/sound/Jig.h"
#include "platform/sound/PortAudioBackend.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/FormRegistry.h"
#include "station/DemoStation.h"
#include "station/frmVexo.h"
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

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

// The audio a response of nPoints from 20 Hz to 20 kHz records: per point the
// settling stretch and the whole cycles read, at the input's rate.
double responseAudioSeconds(int16_t nPoints) {
    const int32_t rate = gtypWaveInCaps.lSampleFrequency > 0 ? gtypWaveInCaps.lSampleFrequency : 44100;
    const float inc = sweepscale::step(20, 20000, nPoints);
    double samples = 0;
    for (int16_t p = 1; p <= nPoints; ++p) {
        const float f = static_cast<float>(sweepscale::toneHz(20, inc, p));
        samples += levelreading::glSettleSamples(f, rate) + levelreading::glWholeCycleSamples(f, rate);
    }
    return samples / rate;
}

bool soundServerThere(benchmark::State& state) {
    if (qEnvironmentVariable("VEXO_NO_SOUND_SERVER").isEmpty()) return true;
    state.SkipWithError("no sound server (run through tests/support/with-sound-server.sh)");
    return false;
}

// Responses of 10 and 40 points from 20 Hz to 20 kHz on a real sound server:
// the difference over the 30 extra points is the wall time a point costs
// (the opening, start tone and closing drop out), and the processor time the
// user-interface thread spends on it. The card's first open (the host's
// settling and the loop's measurement) is made before the timing starts;
// only repetitions whose two measurements both ran to their end count.
// Against: the audio a point records and the loop the card measured.
void BM_RealResponsePerPoint(benchmark::State& state) {
    if (!soundServerThere(state)) return;
    station();
    auto* backend = new sound::PortAudioBackend;
    sound::setBackend(std::unique_ptr<sound::Backend>(backend));
    frmGraph graph;
    if (waveOutGetNumDevs() == 0 || !cardReady(graph)) {
        state.SkipWithError("no sound device");
        sound::setBackend(nullptr);
        return;
    }
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    auto measure = [&](int16_t inPoints) {
        bool error = false;
        gWaveResponse(graph, 20, 20000, inPoints, 0, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected,
                      error);
        return !error;
    };
    measure(10);   // the card's first open
    double wall[2] = {0, 0}, cpu[2] = {0, 0};
    int complete = 0, cut = 0;
    const int16_t points[2] = {10, 40};
    for (auto _ : state) {
        double w[2] = {0, 0}, c[2] = {0, 0};
        bool ok = true;
        for (int k = 0; k < 2 && ok; ++k) {
            const auto w0 = std::chrono::steady_clock::now();
            const double c0 = threadCpuSeconds();
            ok = measure(points[k]);
            c[k] = threadCpuSeconds() - c0;
            w[k] = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        }
        if (!ok) {
            ++cut;
            continue;
        }
        ++complete;
        for (int k = 0; k < 2; ++k) {
            wall[k] += w[k];
            cpu[k] += c[k];
        }
    }
    state.counters["cut_short"] = cut;
    if (complete == 0) {
        state.SkipWithError("no measurement ran to its end");
    } else {
        const double n = double(complete) * (points[1] - points[0]);
        const double perPoint = (wall[1] - wall[0]) / n;
        const double audio = (responseAudioSeconds(points[1]) - responseAudioSeconds(points[0])) / (points[1] - points[0]);
        const double loop = backend->loopSeconds();
        state.counters["wall_ms_per_point"] = perPoint * 1000;
        state.counters["audio_ms_per_point"] = audio * 1000;
        state.counters["loop_ms"] = loop * 1000;
        state.counters["latency_step_ms"] = backend->latencySeconds() * 1000;
        state.counters["beyond_audio_loop_ms"] = (perPoint - audio - loop) * 1000;
        state.counters["engine_cpu_ms_per_point"] = (cpu[1] - cpu[0]) * 1000 / n;
        state.counters["fixed_ms_per_measurement"] =
            (wall[0] - (wall[1] - wall[0]) * points[0] / (points[1] - points[0])) * 1000 / complete;
    }
    bool error = false;
    gMixerRestore(error);
    sound::setBackend(nullptr);
}
BENCHMARK(BM_RealResponsePerPoint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The demo unit as the operator tests it, on a real sound server: the demo
// sequence (a 100-point response from 20 Hz to 20 kHz, a polarity and a sine
// test) calibrated first, then Test pressed for one unit per repetition.
// Against: the audio the unit plays (each response point's settling stretch
// and whole cycles, the polarity's 0.1 s and the sine's 0.03 s) and one loop
// per response point. The processor time is the whole process's and the
// user-interface thread's, as a share of the wall time and per point.
void BM_RealDemoUnit(benchmark::State& state) {
    if (!soundServerThere(state)) return;
    static QTemporaryDir sHome, sSettings;
    qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
    settingsstore::setFolder(sSettings.path());
    vclock::setReal();
    auto* backend = new sound::PortAudioBackend;
    sound::setBackend(std::unique_ptr<sound::Backend>(backend));
    if (waveOutGetNumDevs() == 0) {
        state.SkipWithError("no sound device");
        sound::setBackend(nullptr);
        return;
    }
    demostation::build(sHome.path());
    // Reports and labels go to a file; a question is answered Yes (the
    // calibration accepted), a refused step Ignore (the unit goes on, as an
    // operator at a loaded station would), anything else ends the run.
    qputenv("VEXO_PRINT_TO", (sHome.path() + QStringLiteral("/printed.pdf")).toLocal8Bit());
    int boxes = 0;
    QString unexpected;
    setMsgBoxScript([&](const MsgBoxCall& iCall) {
        ++boxes;
        if (iCall.answers.contains(vbYes)) return int(vbYes);
        if (iCall.answers.contains(vbIgnore)) return int(vbIgnore);
        if (unexpected.isEmpty()) unexpected = iCall.prompt;
        return iCall.answers.contains(vbAbort) ? int(vbAbort) : iCall.answers.contains(vbCancel) ? int(vbCancel) : iCall.defaultAnswer;
    });
    setModalScript([](QWidget& w) { w.close(); });
    frmVexo& f = form<frmVexo>();
    f.cmdTest->click();   // calibrates the sequence: the card's first open
    boxes = 0;
    double wall = 0, cpu = 0, uiCpu = 0;
    int passed = 0;
    for (auto _ : state) {
        const auto w0 = std::chrono::steady_clock::now();
        const double c0 = processCpuSeconds();
        const double u0 = threadCpuSeconds();
        f.cmdTest->click();
        uiCpu += threadCpuSeconds() - u0;
        cpu += processCpuSeconds() - c0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        if (f.lblPassFail->Caption() == QLatin1String("PASS")) ++passed;
    }
    const double units = double(state.iterations());
    const double audio = responseAudioSeconds(100) + 0.1 + 0.03;
    const double loop = backend->loopSeconds();
    const double limit = audio + 100 * loop;
    state.counters["unit_wall_s"] = wall / units;
    state.counters["audio_s"] = audio;
    state.counters["loop_ms"] = loop * 1000;
    state.counters["latency_step_ms"] = backend->latencySeconds() * 1000;
    state.counters["x_audio_and_loops"] = wall / units / limit;
    state.counters["process_cpu_share"] = wall > 0 ? cpu / wall : 0;
    state.counters["ui_cpu_ms_per_point"] = uiCpu * 1000 / units / 100;
    state.counters["boxes"] = boxes;
    state.counters["passed"] = passed;
    static std::string sWhy;
    sWhy = "a box came up: " + unexpected.toStdString();
    if (!unexpected.isEmpty()) state.SkipWithError(sWhy.c_str());
    else if (passed < state.iterations()) state.SkipWithError("a unit did not pass");
    unload<frmVexo>();
    setMsgBoxScript(nullptr);
    setModalScript(nullptr);
    sound::setBackend(nullptr);
}
BENCHMARK(BM_RealDemoUnit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
}
