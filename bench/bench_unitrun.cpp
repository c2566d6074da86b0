// The demo sequence on the jig in virtual time as the operator runs it: Test
// on the due sequence calibrates it, the next Test tests one standard unit.
// Reported: audio seconds handled per wall second over both (target >= 100;
// "per_target" is the rate over the target, above 1 is faster) and the wall
// milliseconds of the unit test alone.
#include "bench/DemoStationOnJig.h"
#include "common/modVarSystemParams.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/sound/Jig.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "station/DemoStation.h"
#include "station/frmVexo.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
constexpr double kTargetRate = 100.0;

frmVexo& station() { return benchstation::demoStationOnJig(); }

void BM_DemoCalibrationAndOneUnit(benchmark::State& state) {
    frmVexo& f = station();
    double audioSeconds = 0, wallSeconds = 0, unitMs = 0;
    for (auto _ : state) {
        bool e = false;
        state.PauseTiming();
        f.gForceReCalAll(demostation::kResponseTest, e);   // due again
        state.ResumeTiming();
        const double v0 = vclock::nowDays();
        QElapsedTimer wall;
        wall.start();
        f.cmdTest->click();   // calibrates
        QElapsedTimer unit;
        unit.start();
        f.cmdTest->click();   // tests the unit
        unitMs += double(unit.nsecsElapsed()) / 1e6;
        wallSeconds += double(wall.nsecsElapsed()) / 1e9;
        audioSeconds += (vclock::nowDays() - v0) * 86400.0;
        if (benchboxes::ended(state)) break;
        if (f.lblPassFail->Caption() != QLatin1String("PASS")) state.SkipWithError("the standard unit did not pass");
    }
    const double rate = wallSeconds > 0 ? audioSeconds / wallSeconds : 0;
    state.counters["audio_s_per_wall_s"] = rate;
    state.counters["per_target"] = rate / kTargetRate;
    state.counters["unit_wall_ms"] = unitMs / double(state.iterations());
    state.counters["audio_s_per_iteration"] = audioSeconds / double(state.iterations());
}
BENCHMARK(BM_DemoCalibrationAndOneUnit)->Unit(benchmark::kMillisecond)->Iterations(5);
}   // namespace
