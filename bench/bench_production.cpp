// The production report at production scale: today's 10,000 rows behind
// 100,000 of earlier days in Vexo_Prod.mdb, read through the main window's
// data control as each sequence change does, against a raw SQLite query of the
// same rows; and counting and writing one unit, against the audio time of a
// unit of the demo sequence.
#include "bench/BenchRows.h"
#include "bench/DemoStationOnJig.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/sound/Jig.h"
#include "station/DemoStation.h"
#include "station/ProductionMath.h"
#include "station/frmVexo.h"
#include "station/modProductionReport.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {
constexpr int kOlder = 100000;
constexpr int kToday = 10000;

void fillRows() {
    const Database db = OpenDatabase(QStringLiteral("Vexo_Prod.mdb"));
    SQLite::Database& sql = db.sqlite();
    SQLite::Transaction tx(sql);
    SQLite::Statement q(sql, "INSERT INTO vexo_prod VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    const double today = std::floor(vclock::nowDays());
    for (int r = 0; r < kOlder + kToday; ++r) {
        const double start = r < kOlder ? today - 200.0 + r / 1000.0 : today + (r - kOlder) / (2.0 * kToday);
        benchrows::insertProduction(q, r, start);
    }
    tx.commit();
}

double sUnitAudioSeconds = 0.0;   // the demo unit's time on the jig

// The demo station on the jig: its sequence calibrated and one standard unit
// tested (its virtual time is the unit's audio time), then the rows filled.
frmVexo& station() {
    static frmVexo* sMain = [] {
        frmVexo* m = &benchstation::demoStationOnJig();
        m->cmdTest->click();   // calibrates
        const double v0 = vclock::nowDays();
        m->cmdTest->click();   // tests the unit
        sUnitAudioSeconds = (vclock::nowDays() - v0) * 86400.0;
        fillRows();
        m->dtaProdRep.Refresh();
        return m;
    }();
    return *sMain;
}

void BM_ReadTodaysRows(benchmark::State& state) {
    station();
    for (auto _ : state) {
        bool err = false;
        gMprFileRead(err);
        if (benchboxes::ended(state)) break;
        if (err) state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_ReadTodaysRows)->Unit(benchmark::kMillisecond);

// The same rows and values straight from SQLite: the floor the read is measured against.
void BM_RawQueryOfTodaysRows(benchmark::State& state) {
    station();
    const Database db = OpenDatabase(QStringLiteral("Vexo_Prod.mdb"));
    SQLite::Statement q(db.sqlite(), "SELECT * FROM vexo_prod WHERE rowid > ?");
    for (auto _ : state) {
        q.bind(1, kOlder);
        double total = 0;
        int units = 0;
        while (q.executeStep()) {
            total += q.getColumn(4).getDouble() - q.getColumn(3).getDouble() - q.getColumn(5).getDouble();
            units += q.getColumn(6).getInt() + q.getColumn(7).getInt();
            benchmark::DoNotOptimize(q.getColumn(0).getText());
        }
        q.reset();
        benchmark::DoNotOptimize(total);
        benchmark::DoNotOptimize(units);
    }
}
BENCHMARK(BM_RawQueryOfTodaysRows)->Unit(benchmark::kMillisecond);

// One unit counted and its row written (the label refreshed twice), as a
// share of the demo unit's audio time (target at most 1/1000).
void BM_CountAndWriteOneUnit(benchmark::State& state) {
    station();
    QElapsedTimer wall;
    wall.start();
    for (auto _ : state) {
        bool err = false;
        gMprInc(false, err);
        gMprFileWrite(err);
        if (benchboxes::ended(state)) break;
        if (err) state.SkipWithError("write failed");
    }
    const double perUnit = double(wall.nsecsElapsed()) / 1e9 / double(state.iterations());
    state.counters["unit_audio_s"] = sUnitAudioSeconds;
    state.counters["share_of_unit_audio"] = sUnitAudioSeconds > 0 ? perUnit / sUnitAudioSeconds : 0;
}
BENCHMARK(BM_CountAndWriteOneUnit)->Unit(benchmark::kMicrosecond);
}
