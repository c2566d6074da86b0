// The typical-unit finder's load step (read, correct, draw, rank, print),
// offscreen, on 1,000 and 10,000 "Typical" curves of 100 points in a
// 100,000-curve store. Each size is read against gnVarReadBatch of the same
// curves in the same run (ratio_to_read); peak resident growth is taken from
// ru_maxrss around the first run, so it means something only when that case
// runs alone in the process (--benchmark_filter=BM_TypicalRun/10000/).
#include "bench/BenchBoxes.h"
#include "bench/BenchRows.h"
#include "bench/BenchMain.h"
#include "common/modVarCrvFile.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Settings.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "station/frmVexo.h"
#include "supervisor/frmMTypical.h"
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/resource.h>

namespace {
const QString kTypical = QStringLiteral("Typical");

// The store holds 100,000 curves, iTypical of them "Typical", spread evenly.
void fillStore(int iTypical) {
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    SQLite::Transaction tx(db.sqlite());
    db.sqlite().exec("DELETE FROM vexo_crv");
    SQLite::Statement q = benchrows::curveInsert(db.sqlite());
    const int every = 100000 / iTypical;
    for (int r = 0; r < 100000; ++r) {
        const bool typical = r % every == 0;
        benchrows::insertCurve(q, typical ? kTypical : QStringLiteral("Model %1").arg(r % 9), 1000 + r, 46000.0,
                               [r](int p) { return -20.0 + 0.01 * p + 0.001 * (r % 997); });
    }
    tx.commit();
}

frmVexo& station(int iTypical) {
    static QTemporaryDir sHome;
    static QTemporaryDir sSettings;
    static int sFilled = 0;
    static frmVexo* sMain = [] {
        qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
        benchboxes::printToFile(sHome.path());
        settingsstore::setFolder(sSettings.path());
        benchboxes::answerStartUpNotices();
        frmVexo* m = &form<frmVexo>();
        benchrows::typicalRows(kTypical);
        saveUserSetting(QStringLiteral("frmMTypical.txtTypBatchMin"), QStringLiteral("2"));
        return m;
    }();
    if (sFilled != iTypical) {
        fillStore(iTypical);
        sMain->dtaCurve.Refresh();
        sFilled = iTypical;
    }
    return *sMain;
}

double readSeconds() {
    CurveLevels levels;
    std::vector<int32_t> serials;
    int16_t points = 0;
    bool err = false;
    const auto t0 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(gnVarReadBatch(false, kTypical, levels, serials, points, err));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

long maxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_ReadBatch(benchmark::State& state) {
    station(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        benchmark::DoNotOptimize(readSeconds());
    }
}
BENCHMARK(BM_ReadBatch)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_TypicalRun(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    station(n);
    const double read = readSeconds();
    const long before = maxRssKb();
    form<frmMTypical>();
    unload<frmMTypical>();
    const long growth = std::max(0L, maxRssKb() - before);
    double total = 0;
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        const auto t0 = std::chrono::steady_clock::now();
        form<frmMTypical>();
        unload<frmMTypical>();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double batchKb = (101.0 * (n + 1) * 4.0 + (n + 1) * 4.0) / 1024.0;
    state.counters["read_ms"] = read * 1000.0;
    state.counters["ratio_to_read"] = total / static_cast<double>(state.iterations()) / read;
    state.counters["peak_growth_kB"] = static_cast<double>(growth);
    state.counters["peak_growth_per_batch"] = static_cast<double>(growth) / batchKb;
}
BENCHMARK(BM_TypicalRun)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
}

// The windows the benchmarks left loaded.
static const benchmain::AtEnd sUnload([] {
    unload<frmMTypical>();
});
