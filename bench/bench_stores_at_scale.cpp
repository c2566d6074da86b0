// The stores of a station that has tested a million units (production rows and
// logged curves in the station's own schema, see StoresAtScale.h), each figure
// against an anchor measured in the same run:
// - start-up to the shown main window on the jig, for the demo station and for
//   the demo with 1M production rows, and with 1M rows and 1M curves
//   (ratio_to_demo; target at most 1.2);
// - the pair-match window's model list over 10k, 100k and 1M curves, against a
//   DISTINCT read of the model names on their index (ratio_to_distinct; at most 2);
// - gnVarReadBatch of the "Typical" batch against a raw read of the same
//   curves (ratio_to_raw; at most 2);
// - the typical-unit finder over 100, 1,000 and 10,000 curves, against a raw
//   read of the same curves and drawing each as one polyline into a surface of
//   the graph's size (ratio_to_anchor; at most 3).
// The stores are made on the first run and kept (a million curves take a while).
#include "bench/BenchBoxes.h"
#include "bench/BenchRows.h"
#include "bench/BenchMain.h"
#include "bench/StoresAtScale.h"
#include "audio/modAudio.h"
#include "common/modVarCrvFile.h"
#include "platform/os/Settings.h"
#include "platform/sound/Jig.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/PictureBox.h"
#include "station/DemoStation.h"
#include "station/frmVexo.h"
#include "supervisor/frmMPairMatch.h"
#include "supervisor/frmMTypical.h"
#include <QElapsedTimer>
#include <QPainter>
#include <cmath>
#include <map>

namespace {
const QString kTypical = QStringLiteral("Typical");

QTemporaryDir& settingsFolder() {
    static QTemporaryDir sFolder;
    return sFolder;
}

// One station folder per arrangement of stores, made once per process: the
// demo station with the "Typical" test and sequence the finder needs.
enum class Stores { Demo, Production, ProductionAndCurves, Curves10k, Curves100k };

QString stationFolder(Stores iStores) {
    static std::map<Stores, std::unique_ptr<QTemporaryDir>> sFolders;
    auto& dir = sFolders[iStores];
    if (dir) return dir->path();
    static const bool sReady = [] {
        settingsstore::setFolder(settingsFolder().path());
        vclock::setVirtual(storesatscale::benchNow());
        sound::setBackend(std::make_unique<sound::JigBackend>());
        benchboxes::answerNone();
        return true;
    }();
    (void)sReady;
    dir = std::make_unique<QTemporaryDir>();
    const QString home = dir->path();
    qputenv("VEXO_HOME", home.toLocal8Bit());
    demostation::build(home);
    benchboxes::printToFile(home);
    // The typical batch is judged by a "Typical" test and sequence with a calibration row.
    benchrows::typicalRows(kTypical);
    using namespace storesatscale;
    switch (iStores) {
    case Stores::Demo: break;
    case Stores::Production: link(productionStore(1000000), home, QStringLiteral("Vexo_Prod.mdb")); break;
    case Stores::ProductionAndCurves:
        link(productionStore(1000000), home, QStringLiteral("Vexo_Prod.mdb"));
        link(curveStore(1000000), home, QStringLiteral("Vexo_Crv.mdb"));
        break;
    case Stores::Curves10k: link(curveStore(10000), home, QStringLiteral("Vexo_Crv.mdb")); break;
    case Stores::Curves100k: link(curveStore(100000), home, QStringLiteral("Vexo_Crv.mdb")); break;
    }
    return home;
}

// The station of that folder with its main window shown (the one of another folder unloaded).
frmVexo& station(Stores iStores) {
    static Stores sShown = Stores::Demo;
    static bool sAny = false;
    const QString home = stationFolder(iStores);
    if (sAny && sShown == iStores && isLoaded<frmVexo>()) return form<frmVexo>();
    unload<frmMPairMatch>();
    unload<frmVexo>();
    qputenv("VEXO_HOME", home.toLocal8Bit());
    sShown = iStores;
    sAny = true;
    return form<frmVexo>();
}

double medianMs(std::vector<double> ioMs) {
    std::sort(ioMs.begin(), ioMs.end());
    return ioMs.empty() ? 0.0 : ioMs[ioMs.size() / 2];
}

// ---- start-up --------------------------------------------------------------

double startUpMs(Stores iStores) {
    const QString home = stationFolder(iStores);
    unload<frmMPairMatch>();
    unload<frmVexo>();
    qputenv("VEXO_HOME", home.toLocal8Bit());
    QElapsedTimer t;
    t.start();
    frmVexo& f = form<frmVexo>();
    benchmark::DoNotOptimize(f.isVisible());
    const double ms = double(t.nsecsElapsed()) / 1e6;
    unload<frmVexo>();
    return ms;
}

// The demo's start-up in this run: the median of 15 after one to warm up.
double demoStartUpMs() {
    static const double sMs = [] {
        startUpMs(Stores::Demo);
        std::vector<double> ms;
        for (int i = 0; i < 15; ++i) ms.push_back(startUpMs(Stores::Demo));
        return medianMs(ms);
    }();
    return sMs;
}

void startUp(benchmark::State& ioState, Stores iStores) {
    const double anchor = demoStartUpMs();
    startUpMs(iStores);   // the stores' pages read once, as on a station that ran before
    std::vector<double> ms;
    for (auto _ : ioState) {
        const double one = startUpMs(iStores);
        ioState.SetIterationTime(one / 1000.0);
        ms.push_back(one);
        if (benchboxes::ended(ioState)) break;
    }
    ioState.counters["median_ms"] = medianMs(ms);
    ioState.counters["demo_ms"] = anchor;
    ioState.counters["ratio_to_demo"] = medianMs(ms) / anchor;
}

void BM_StartUpDemo(benchmark::State& s) { startUp(s, Stores::Demo); }
void BM_StartUp1MProductionRows(benchmark::State& s) { startUp(s, Stores::Production); }
void BM_StartUp1MRowsAnd1MCurves(benchmark::State& s) { startUp(s, Stores::ProductionAndCurves); }
BENCHMARK(BM_StartUpDemo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_StartUp1MProductionRows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_StartUp1MRowsAnd1MCurves)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// ---- the pair-match model list -----------------------------------------------

Stores curveStores(int64_t iCurves) {
    return iCurves >= 1000000 ? Stores::ProductionAndCurves : iCurves >= 100000 ? Stores::Curves100k : Stores::Curves10k;
}

// The model names on their index, each once: the floor of any model list.
double distinctReadMs(const QString& iFile) {
    const Database db = OpenDatabase(iFile, false, true);
    QElapsedTimer t;
    t.start();
    SQLite::Statement q(db.sqlite(), "SELECT DISTINCT Model_Name FROM vexo_crv");
    int n = 0;
    while (q.executeStep()) n += q.getColumn(0).size();
    benchmark::DoNotOptimize(n);
    return double(t.nsecsElapsed()) / 1e6;
}

// The window opened on a model the store does not hold: the model list and
// the "No curve data" notice, no batch read.
void BM_PairMatchModelList(benchmark::State& ioState) {
    frmVexo& main = station(curveStores(ioState.range(0)));
    const QString file = main.dtaCurve.DatabaseName();
    benchboxes::answer([](const MsgBoxCall& iCall) -> std::optional<int> {
        if (iCall.title == QLatin1String("Pair Matching")) return iCall.defaultAnswer;
        return std::nullopt;
    });
    main.dcboSeq->setText(QStringLiteral("No Such Model"));
    distinctReadMs(file);
    std::vector<double> ms, anchor;
    int models = 0;
    for (auto _ : ioState) {
        anchor.push_back(distinctReadMs(file));
        QElapsedTimer t;
        t.start();
        frmMPairMatch& f = form<frmMPairMatch>();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        ioState.SetIterationTime(ms.back() / 1000.0);
        models = f.cboSeq->ListCount();
        unload<frmMPairMatch>();
        if (benchboxes::ended(ioState)) break;
    }
    benchboxes::answerNone();
    ioState.counters["models"] = models;
    ioState.counters["median_ms"] = medianMs(ms);
    ioState.counters["distinct_ms"] = medianMs(anchor);
    ioState.counters["ratio_to_distinct"] = medianMs(ms) / medianMs(anchor);
}
BENCHMARK(BM_PairMatchModelList)->Arg(10000)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

// ---- the typical batch: gnVarReadBatch and the finder -----------------------

// The batch's curves straight from SQLite, drawn (when a surface is given) as
// one polyline each in the graph's coordinates.
double rawReadMs(const QString& iFile, QImage* ioSurface) {
    const Database db = OpenDatabase(iFile, false, true);
    QElapsedTimer t;
    t.start();
    SQLite::Statement q(db.sqlite(), "SELECT * FROM vexo_crv WHERE Model_Name = ?");
    q.bind(1, kTypical.toStdString());
    std::unique_ptr<QPainter> painter;
    if (ioSurface) {
        painter = std::make_unique<QPainter>(ioSurface);
        painter->setPen(Qt::white);
    }
    QPolygon line(100);
    const double w = ioSurface ? ioSurface->width() : 0, h = ioSurface ? ioSurface->height() : 0;
    double sum = 0;
    while (q.executeStep()) {
        for (int p = 1; p <= 100; ++p) {
            const double level = q.getColumn(8 + p).getDouble();
            sum += level;
            if (painter) {
                const double f = 20.0 * std::pow(1000.0, (p - 1) / 99.0);
                line[p - 1] = QPoint(int(std::log10(f / 20.0) * w / 3.0), int(h / 2 - level * h / 60.0));
            }
        }
        benchmark::DoNotOptimize(q.getColumn(1).getInt());
        if (painter) painter->drawPolyline(line);
    }
    benchmark::DoNotOptimize(sum);
    return double(t.nsecsElapsed()) / 1e6;
}

void BM_ReadBatchTypical(benchmark::State& ioState) {
    frmVexo& main = station(curveStores(ioState.range(0) * 100));
    const QString file = main.dtaCurve.DatabaseName();
    rawReadMs(file, nullptr);
    std::vector<double> ms, anchor;
    int16_t count = 0;
    for (auto _ : ioState) {
        anchor.push_back(rawReadMs(file, nullptr));
        CurveLevels levels;
        std::vector<int32_t> serials;
        int16_t points = 0;
        bool err = false;
        QElapsedTimer t;
        t.start();
        count = gnVarReadBatch(false, kTypical, levels, serials, points, err);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        ioState.SetIterationTime(ms.back() / 1000.0);
        if (err) ioState.SkipWithError("the read failed");
        if (benchboxes::ended(ioState)) break;
    }
    ioState.counters["curves"] = count;
    ioState.counters["median_ms"] = medianMs(ms);
    ioState.counters["raw_ms"] = medianMs(anchor);
    ioState.counters["ratio_to_raw"] = medianMs(ms) / medianMs(anchor);
}
BENCHMARK(BM_ReadBatchTypical)->Arg(100)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_TypicalFinder(benchmark::State& ioState) {
    frmVexo& main = station(curveStores(ioState.range(0) * 100));
    const QString file = main.dtaCurve.DatabaseName();
    saveUserSetting(QStringLiteral("frmMTypical.txtTypBatchMin"), QStringLiteral("2"));
    QImage surface = main.picResponse->image().copy();
    rawReadMs(file, &surface);
    form<frmMTypical>();
    unload<frmMTypical>();
    std::vector<double> ms, anchor;
    for (auto _ : ioState) {
        anchor.push_back(rawReadMs(file, &surface));
        QElapsedTimer t;
        t.start();
        form<frmMTypical>();
        unload<frmMTypical>();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        ioState.SetIterationTime(ms.back() / 1000.0);
        if (benchboxes::ended(ioState)) break;
    }
    ioState.counters["median_ms"] = medianMs(ms);
    ioState.counters["anchor_ms"] = medianMs(anchor);
    ioState.counters["ratio_to_anchor"] = medianMs(ms) / medianMs(anchor);
}
BENCHMARK(BM_TypicalFinder)->Arg(100)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
}

// The windows the benchmarks left loaded.
static const benchmain::AtEnd sUnload([] {
    unload<frmMTypical>();
    unload<frmMPairMatch>();
    unload<frmVexo>();
});
