// The curve store at production scale: 100,000 logged curves of 10 models in
// Vexo_Crv.mdb, read and written through the main window's data control as the
// station and the supervisor tools do.
#include "bench/BenchBoxes.h"
#include "bench/BenchRows.h"
#include "common/modVarCrvFile.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Settings.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "station/frmVexo.h"
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>

namespace {
const QString kBatchModel = QStringLiteral("Batch Model");

// 99,000 curves over nine models, with the 1,000 of the batch model spread among them.
void fillCurves() {
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    SQLite::Database& sql = db.sqlite();
    SQLite::Transaction tx(sql);
    SQLite::Statement q = benchrows::curveInsert(sql);
    for (int r = 0; r < 100000; ++r) {
        const QString model = r % 100 == 0 ? kBatchModel : QStringLiteral("Model %1").arg(r % 9);
        benchrows::insertCurve(q, model, r, 46000.0 + r / 1000.0, [r](int p) { return static_cast<float>(0.01 * p + r % 7); });
    }
    tx.commit();
}

frmVexo& station() {
    static QTemporaryDir sHome;
    static QTemporaryDir sSettings;
    static frmVexo* sMain = [] {
        qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
        benchboxes::printToFile(sHome.path());
        settingsstore::setFolder(sSettings.path());
        benchboxes::answerStartUpNotices();
        frmVexo* m = &form<frmVexo>();   // creates the empty files
        fillCurves();
        m->dtaCurve.Refresh();
        Recordset& seq = m->dtaSeq.Recordset();
        seq.AddNew();
        seq.setField(QStringLiteral("Seq_Name"), QStringLiteral("Writer"));
        seq.Update();
        seq.setBookmark(seq.LastModified());
        Recordset& tst = m->dtaTest.Recordset();
        tst.AddNew();
        tst.setField(QStringLiteral("Test_Name"), QStringLiteral("Response"));
        tst.setField(QStringLiteral("fLo_Hz"), int32_t{20});
        tst.setField(QStringLiteral("fHi_Hz"), int32_t{20000});
        tst.setField(QStringLiteral("Swp_Point"), int16_t{100});
        tst.Update();
        tst.setBookmark(tst.LastModified());
        return m;
    }();
    return *sMain;
}

void BM_ReadBatchOf1000Curves(benchmark::State& state) {
    station();
    CurveLevels levels;
    std::vector<int32_t> serials;
    int16_t points = 0;
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        bool err = false;
        benchmark::DoNotOptimize(gnVarReadBatch(false, kBatchModel, levels, serials, points, err));
    }
}
BENCHMARK(BM_ReadBatchOf1000Curves)->Unit(benchmark::kMillisecond);

// The same rows and fields straight from SQLite: the floor the batch read is measured against.
void BM_RawQueryOf1000Curves(benchmark::State& state) {
    station();
    const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    SQLite::Statement q(db.sqlite(), "SELECT * FROM vexo_crv WHERE Model_Name = ?");
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        q.bind(1, kBatchModel.toStdString());
        double sum = 0;
        while (q.executeStep())
            for (int c = 7; c < 109; ++c) sum += q.getColumn(c).getDouble();
        q.reset();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RawQueryOf1000Curves)->Unit(benchmark::kMillisecond);

void BM_FindFirstByModelName(benchmark::State& state) {
    Recordset& rs = station().dtaCurve.Recordset();
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        rs.FindFirst(QStringLiteral("Model_Name = ?"), QStringLiteral("Model 5"));
        benchmark::DoNotOptimize(rs.NoMatch());
    }
}
BENCHMARK(BM_FindFirstByModelName)->Unit(benchmark::kMicrosecond);

void BM_LogOneCurve(benchmark::State& state) {
    station();
    std::vector<float> curve(101, -1.5f);
    for (auto _ : state) {
        if (benchboxes::ended(state)) break;
        bool err = false;
        gVarCrvFileWrite(curve, 0, err);
    }
}
BENCHMARK(BM_LogOneCurve)->Unit(benchmark::kMicrosecond);
}
