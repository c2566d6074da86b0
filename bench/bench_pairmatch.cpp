// Pair matching at production scale: a 100,000-curve store holding 1,000-curve
// models of 100 points, matched, deleted and opened through the pair-match
// window. Every figure is read against the batch read of one such model in the
// same run (BM_ReadBatch), the work the window cannot do without.
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
#include "supervisor/PairMatchMath.h"
#include "supervisor/frmMPairMatch.h"
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>
#include <fstream>
#include <map>
#include <string>

namespace {
const QString kMatched = QStringLiteral("Pair Matched");     // units 2k-1 and 2k alike: every cycle matches
const QString kFailing = QStringLiteral("Pair Failing");     // 1 dB apart: every cycle fails
const QString kDeleted = QStringLiteral("Pair Deleted");     // logged afresh before each deletion

// The level of point p of a model's unit u (from 1).
float level(const QString& iModel, int iUnit, int iPoint) {
    if (iModel == kFailing) return static_cast<float>(iUnit) + 0.01f * static_cast<float>(iPoint);
    return static_cast<float>((iUnit + 1) / 2) * 2.0f + 0.01f * static_cast<float>(iPoint % 7) +
           (iUnit % 2 ? 0.0f : 0.125f);
}

void bindCurve(SQLite::Statement& ioQ, const QString& iModel, int iSerial, int iUnit) {
    benchrows::insertCurve(ioQ, iModel, iSerial, 46000.0, [&](int p) { return level(iModel, iUnit, p); });
}

// 98,000 curves of nine other models with the two 1,000-curve models spread among them.
void fillStore() {
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    SQLite::Transaction tx(db.sqlite());
    SQLite::Statement q = benchrows::curveInsert(db.sqlite());
    int matched = 0, failing = 0;
    for (int r = 0; r < 100000; ++r) {
        if (r % 100 == 0) bindCurve(q, kMatched, 1000 + r, ++matched);
        else if (r % 100 == 50) bindCurve(q, kFailing, 1000 + r, ++failing);
        else bindCurve(q, QStringLiteral("Model %1").arg(r % 9), r, r % 13);
    }
    tx.commit();
}

void logDeletedModel() {
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    SQLite::Transaction tx(db.sqlite());
    SQLite::Statement q = benchrows::curveInsert(db.sqlite());
    for (int u = 1; u <= 1000; ++u) bindCurve(q, kDeleted, 5000 + u, u);
    tx.commit();
}

frmVexo& station() {
    static QTemporaryDir sHome;
    static QTemporaryDir sSettings;
    static frmVexo* sMain = [] {
        qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
        benchboxes::printToFile(sHome.path());
        settingsstore::setFolder(sSettings.path());
        // Deletions are confirmed; any other box ends the benchmark.
        benchboxes::answer([](const MsgBoxCall& iCall) -> std::optional<int> {
            if (iCall.title == QLatin1String("Pair Match") && iCall.answers.contains(vbYes)) return int(vbYes);
            return benchboxes::startUpNotice(iCall);
        });
        frmVexo* m = &form<frmVexo>();
        fillStore();
        m->dtaCurve.Refresh();
        saveUserSetting(QStringLiteral("frmMPairMatch.txtBatchStart"), QStringLiteral("2"));
        saveUserSetting(QStringLiteral("frmMPairMatch.txtBatchEnd"), QStringLiteral("0"));
        return m;
    }();
    return *sMain;
}

frmMPairMatch& window(const QString& iModel) {
    frmVexo& main = station();
    if (main.dcboSeq->Text() != iModel || !isLoaded<frmMPairMatch>()) {
        unload<frmMPairMatch>();
        main.dcboSeq->setText(iModel);
    }
    return form<frmMPairMatch>();
}

long statusKb(const char* iField) {
    // /proc files report no size, so they are read line by line.
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string field(iField);
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
    return 0;
}

// Peak resident growth over the first run in the process (later runs find the
// memory the first one freed), against the batch's own size (levels and serials).
void reportPeakGrowth(benchmark::State& ioState, const std::string& iName, const std::function<void()>& iRun) {
    static std::map<std::string, long> sGrowth;
    if (!sGrowth.count(iName)) {
        {
            std::ofstream clear("/proc/self/clear_refs");
            clear << "5";   // the peak starts again from what is resident now
        }
        const long before = statusKb("VmRSS:");
        iRun();
        sGrowth[iName] = std::max(0L, statusKb("VmHWM:") - before);
    }
    const double batchKb = (101.0 * 1001.0 * 4.0 + 1001.0 * 4.0) / 1024.0;
    ioState.counters["peak_growth_kB"] = static_cast<double>(sGrowth[iName]);
    ioState.counters["peak_growth_per_batch"] = static_cast<double>(sGrowth[iName]) / batchKb;
}

void BM_ReadBatch(benchmark::State& state) {
    station();
    CurveLevels levels;
    std::vector<int32_t> serials;
    int16_t points = 0;
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        bool err = false;
        benchmark::DoNotOptimize(gnVarReadBatch(true, kMatched, levels, serials, points, err));
    }
}
BENCHMARK(BM_ReadBatch)->Unit(benchmark::kMillisecond);

void runFromWindow(benchmark::State& state, const QString& iModel) {
    frmMPairMatch& f = window(iModel);
    reportPeakGrowth(state, iModel.toStdString(), [&] { f.cmdPairMatch->click(); });
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        f.cmdPairMatch->click();
    }
    state.counters["lines"] = f.lstPair->ListCount();
}

void BM_RunAllMatched(benchmark::State& state) { runFromWindow(state, kMatched); }
BENCHMARK(BM_RunAllMatched)->Unit(benchmark::kMillisecond);

void BM_RunAllFailing(benchmark::State& state) { runFromWindow(state, kFailing); }
BENCHMARK(BM_RunAllFailing)->Unit(benchmark::kMillisecond);

// The arithmetic alone, without the list.
void BM_MatchArithmeticAllFailing(benchmark::State& state) {
    station();
    CurveLevels levels;
    std::vector<int32_t> serials;
    int16_t points = 0;
    bool err = false;
    const int16_t n = gnVarReadBatch(true, kFailing, levels, serials, points, err);
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        benchmark::DoNotOptimize(pairMatchRun(levels, serials, points, n, 0, 0.38f, 1.44f).pairs);
    }
}
BENCHMARK(BM_MatchArithmeticAllFailing)->Unit(benchmark::kMillisecond);

void deleteFromWindow(benchmark::State& state, bool iOnlyMatched) {
    station();
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        state.PauseTiming();
        logDeletedModel();
        station().dtaCurve.Refresh();
        unload<frmMPairMatch>();
        frmMPairMatch& f = window(kDeleted);
        f.dtaCurve.Refresh();
        if (iOnlyMatched) f.cmdPairMatch->click();
        state.ResumeTiming();
        if (iOnlyMatched) f.mnuFileDeleteMatched->fireClick();
        else f.mnuFileDeleteAll->fireClick();
        state.PauseTiming();
        state.counters["left"] = f.txtBatchSize->Text().toDouble();
        state.ResumeTiming();
    }
}

void BM_DeleteAll(benchmark::State& state) { deleteFromWindow(state, false); }
BENCHMARK(BM_DeleteAll)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DeleteMatched(benchmark::State& state) { deleteFromWindow(state, true); }
BENCHMARK(BM_DeleteMatched)->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening the window with the model chosen: the model list over the whole store and the batch read.
void BM_OpenWindow(benchmark::State& state) {
    station().dcboSeq->setText(kMatched);
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        unload<frmMPairMatch>();
        benchmark::DoNotOptimize(form<frmMPairMatch>().txtBatchSize->Text());
    }
}
BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond);
}

// The windows the benchmarks left loaded.
static const benchmain::AtEnd sUnload([] {
    unload<frmMPairMatch>();
});
