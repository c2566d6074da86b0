// Make Typical at production scale: a 100,000-curve store of ten models, 2,000
// of them "Typical", emptied of its typical batch while the typical sequence
// and test are built again. Read against one DELETE of those 2,000 rows in the
// same run (BM_DeleteTypicalRows), the least the command must do.
#include "bench/BenchBoxes.h"
#include "bench/BenchRows.h"
#include "bench/BenchMain.h"
#include "common/modDatabaseSchema.h"
#include "engineering/frmMESeq.h"
#include "platform/data/Database.h"
#include "platform/os/Settings.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "station/frmVexo.h"
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>

namespace {
const QString kTypical = QStringLiteral("Typical");
const QString kModel = QStringLiteral("Model 0");

void logCurves(const QString& iModel, int iFrom, int iCount, int iModels) {
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    SQLite::Transaction tx(db.sqlite());
    SQLite::Statement q = benchrows::curveInsert(db.sqlite());
    for (int r = 0; r < iCount; ++r) {
        const QString model = iModels > 1 ? QStringLiteral("Model %1").arg(r % iModels) : iModel;
        benchrows::insertCurve(q, model, iFrom + r, 46000.0, [](int p) { return 0.01 * p; });
    }
    tx.commit();
}

// The source sequence with one response test of two layers, and its calibration rows.
void seedSequence() {
    const Database tst = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"));
    tst.Execute(QStringLiteral("INSERT INTO vexo_tst (Test_Name, Test_Type, fLo_Hz, fHi_Hz, Swp_Point, Layer1_On, Layer1_fLo, "
                               "Layer1_fHi, Layer1_Lim, Layer2_On, Layer2_fLo, Layer2_fHi, Layer2_Lim) "
                               "VALUES ('R', 'Response', 20, 20000, 100, 1, 45, 18000, 1, 1, 100, 10000, 2)"));
    const Database seq = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
    seq.Execute(QStringLiteral("INSERT INTO vexo_seq (Seq_Name, Test_No, Test_01, Main_Resp) VALUES (?, 1, 'R', ' ')"),
                {Variant(kModel)});
    for (int k = 1; k <= 16; ++k)
        seq.Execute(QStringLiteral("INSERT INTO vexo_seq_cal%1 (Seq_Name, Test_Name, AttIn) VALUES (?, ' ', 0)")
                        .arg(k, 2, 10, QLatin1Char('0')),
                    {Variant(kModel)});
}

frmMESeq& editor() {
    static QTemporaryDir sHome;
    static QTemporaryDir sSettings;
    static frmMESeq* sEditor = [] {
        qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
        benchboxes::printToFile(sHome.path());
        settingsstore::setFolder(sSettings.path());
        benchboxes::answerStartUpNotices();
        gDatabaseSchemaRegister();
        seedSequence();
        logCurves(QString(), 1, 98000, 9);
        frmVexo& main = form<frmVexo>();
        main.dcboSeq->setText(kModel);
        return &form<frmMESeq>();
    }();
    return *sEditor;
}

void BM_DeleteTypicalRows(benchmark::State& state) {
    editor();
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        state.PauseTiming();
        logCurves(kTypical, 500000, 2000, 1);
        const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
        state.ResumeTiming();
        benchmark::DoNotOptimize(db.Execute(QStringLiteral("DELETE FROM vexo_crv WHERE Model_Name = 'Typical'")));
    }
}
BENCHMARK(BM_DeleteTypicalRows)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_MakeTypical(benchmark::State& state) {
    frmMESeq& e = editor();
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        state.PauseTiming();
        logCurves(kTypical, 500000, 2000, 1);
        e.dcboSeq->setText(kModel);
        state.ResumeTiming();
        e.mnuPairTypMakeTypical->fireClick();
    }
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    state.counters["typical_left"] = static_cast<double>(
        db.OpenRecordset(QStringLiteral("SELECT * FROM vexo_crv WHERE Model_Name = 'Typical'"))->RecordCount());
}
BENCHMARK(BM_MakeTypical)->Unit(benchmark::kMillisecond)->Iterations(10);
}

// The windows the benchmarks left loaded.
static const benchmain::AtEnd sUnload([] {
    unload<frmMESeq>();
});
