// The main window on the jig at production scale (500 sequences, 2,000 tests):
// start-up until the window is shown, and one change of sequence as the
// operator picks it. Target: 100 ms each; "per_target" is the time taken over
// the target (1.0 = exactly on target, below 1 is faster).
#include "bench/BenchBoxes.h"
#include "common/modDatabaseSchema.h"
#include "platform/data/Database.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/sound/Jig.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "station/frmVexo.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>

namespace {
constexpr int kSequences = 500;
constexpr int kTests = 2000;
constexpr double kTargetMs = 100.0;

QString testName(int i) { return QStringLiteral("Test %1").arg(i, 4, 10, QLatin1Char('0')); }
QString seqName(int i) { return QStringLiteral("Model %1").arg(i, 3, 10, QLatin1Char('0')); }

// Types in a repeating pattern: half response tests, then polarity and sine.
QString typeOf(int i) {
    static const char* types[] = {"Response", "Polarity", "Response", "Sine"};
    return QString::fromLatin1(types[i % 4]);
}

void fillStation() {
    gDatabaseSchemaRegister();
    {
        const Database tst = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"));
        SQLite::Database& db = tst.sqlite();
        SQLite::Transaction tx(db);
        SQLite::Statement q(db, "INSERT INTO vexo_tst (Test_Name, Test_Type, fLo_Hz, fHi_Hz, Swp_Point) "
                                "VALUES (?, ?, 20, 20000, 100)");
        for (int i = 0; i < kTests; ++i) {
            q.bind(1, testName(i).toStdString());
            q.bind(2, typeOf(i).toStdString());
            q.exec();
            q.reset();
        }
        tx.commit();
    }
    const Database seq = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
    SQLite::Database& db = seq.sqlite();
    SQLite::Transaction tx(db);
    // Eight tests per sequence, four of them response tests.
    SQLite::Statement q(db, "INSERT INTO vexo_seq (Seq_Name, Test_No, Last_Cali, Ref_Lim, Sel_Lim, Test_01, Test_02, "
                            "Test_03, Test_04, Test_05, Test_06, Test_07, Test_08) "
                            "VALUES (?, 8, 0, 1.5, 0, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int s = 0; s < kSequences; ++s) {
        q.bind(1, seqName(s).toStdString());
        for (int k = 0; k < 8; ++k) q.bind(2 + k, testName((s * 4 + k) % kTests).toStdString());
        q.exec();
        q.reset();
    }
    for (int slot = 1; slot <= 16; ++slot) {
        SQLite::Statement c(db, QStringLiteral("INSERT INTO vexo_seq_cal%1 (Seq_Name, Test_Name, AttIn) VALUES (?, ' ', 0)")
                                    .arg(slot, 2, 10, QLatin1Char('0'))
                                    .toStdString());
        for (int s = 0; s < kSequences; ++s) {
            c.bind(1, seqName(s).toStdString());
            c.exec();
            c.reset();
        }
    }
    tx.commit();
}

// One program folder, settings store and jig per process.
void station() {
    static QTemporaryDir sHome;
    static QTemporaryDir sSettings;
    static bool sReady = [] {
        qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
        benchboxes::printToFile(sHome.path());
        settingsstore::setFolder(sSettings.path());
        vclock::setVirtual(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
        sound::setBackend(std::make_unique<sound::JigBackend>());
        benchboxes::answerStartUpNotices();
        fillStation();
        return true;
    }();
    (void)sReady;
}

void report(benchmark::State& ioState, qint64 iNanoseconds) {
    const double ms = double(iNanoseconds) / 1e6 / double(ioState.iterations());
    ioState.counters["ms"] = ms;
    ioState.counters["per_target"] = ms / kTargetMs;
}

void BM_StartUpToShownWindow(benchmark::State& ioState) {
    station();
    qint64 ns = 0;
    for (auto _ : ioState) {
        if (benchboxes::ended(ioState)) break;
        QElapsedTimer t;
        t.start();
        frmVexo& f = form<frmVexo>();
        benchmark::DoNotOptimize(f.isVisible());
        ns += t.nsecsElapsed();
        ioState.PauseTiming();
        if (!f.isVisible() || f.dcboSeq->Text().isEmpty()) ioState.SkipWithError("window not shown with its sequence");
        unload<frmVexo>();
        ioState.ResumeTiming();
    }
    report(ioState, ns);
}
BENCHMARK(BM_StartUpToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SequenceChange(benchmark::State& ioState) {
    station();
    frmVexo& f = form<frmVexo>();
    int k = 0;
    qint64 ns = 0;
    for (auto _ : ioState) {
        if (benchboxes::ended(ioState)) break;
        // Entries far apart, so that every pick is a change.
        k = (k + 137) % kSequences;
        QElapsedTimer t;
        t.start();
        f.dcboSeq->setListIndex(k);
        ns += t.nsecsElapsed();
    }
    if (f.lblSeq->Caption() != f.dcboSeq->List(k)) ioState.SkipWithError("the pick did not become the current row");
    report(ioState, ns);
    unload<frmVexo>();
}
BENCHMARK(BM_SequenceChange)->Unit(benchmark::kMillisecond)->Iterations(50);
}
