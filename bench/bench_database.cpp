// The database layer at production scale: a curve table of ~109 columns with
// 1,000 and 100,000 rows over 10 models, indexed on the model name.
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/data/Schema.h"
#include "platform/vb/Conversions.h"
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>

namespace {

constexpr int kPoints = 106;   // with model, serial and date: 109 columns
const QString kFile = QStringLiteral("Bench_Crv.mdb");

QString tableFor(int64_t iRows) { return iRows >= 100000 ? QStringLiteral("crv_100k") : QStringLiteral("crv_1k"); }

TableDef curveTable(const QString& iName) {
    TableDef t(iName);
    t.field(QStringLiteral("Model_Name"), FieldType::Text, 50)
        .field(QStringLiteral("Serial_No"), FieldType::Long)
        .field(QStringLiteral("Date_Time"), FieldType::Date);
    for (int i = 1; i <= kPoints; ++i) t.field(QStringLiteral("Pt%1").arg(i), FieldType::Single);
    t.index(iName + QStringLiteral("_Model_Name"), {QStringLiteral("Model_Name")});
    return t;
}

// Model_0 holds every 100th row (1,000 of 100,000); the rest spread over Model_1..9.
QString modelOf(int iRow, int iRows) {
    if (iRows >= 100000) return iRow % 100 == 0 ? QStringLiteral("Model_0") : QStringLiteral("Model_%1").arg(1 + iRow % 9);
    return QStringLiteral("Model_%1").arg(iRow % 10);
}

void fill(SQLite::Database& ioDb, const QString& iTable, int iRows) {
    QStringList marks;
    for (int i = 0; i < kPoints + 3; ++i) marks << QStringLiteral("?");
    SQLite::Transaction tx(ioDb);
    SQLite::Statement q(ioDb, QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(iTable, marks.join(',')).toStdString());
    for (int r = 0; r < iRows; ++r) {
        q.bind(1, modelOf(r, iRows).toStdString());
        q.bind(2, r);
        q.bind(3, 46000.0 + r / 1000.0);
        for (int i = 1; i <= kPoints; ++i) q.bind(3 + i, static_cast<double>(static_cast<float>(0.01 * i + r % 7)));
        q.exec();
        q.reset();
    }
    tx.commit();
}

// Built once per process.
Database benchDatabase() {
    static QTemporaryDir sHome;
    static Database sDb = [] {
        qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
        registerDatabaseSchema(kFile, DatabaseSchema().table(curveTable(QStringLiteral("crv_1k"))).table(curveTable(QStringLiteral("crv_100k"))));
        Database db = OpenDatabase(kFile);
        fill(db.sqlite(), QStringLiteral("crv_1k"), 1000);
        fill(db.sqlite(), QStringLiteral("crv_100k"), 100000);
        return db;
    }();
    return sDb;
}

void BM_FindFirstByName(benchmark::State& ioState) {
    auto rs = benchDatabase().OpenRecordset(tableFor(ioState.range(0)));
    int model = 0;
    for (auto _ : ioState) {
        rs->FindFirst(QStringLiteral("Model_Name = 'Model_%1'").arg(1 + model++ % 9));
        if (rs->NoMatch()) ioState.SkipWithError("no match");
    }
}
BENCHMARK(BM_FindFirstByName)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// A data control on the whole table opens on its first record without
// reading the other records' keys: flat in the table's size.
void BM_OpenTableRecordset(benchmark::State& ioState) {
    const Database db = benchDatabase();
    for (auto _ : ioState) {
        auto rs = db.OpenRecordset(tableFor(ioState.range(0)));
        benchmark::DoNotOptimize(rs->EOF_());
    }
}
BENCHMARK(BM_OpenTableRecordset)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(0.2);

// Counting its records reads every key.
void BM_OpenTableRecordsetAndCount(benchmark::State& ioState) {
    const Database db = benchDatabase();
    for (auto _ : ioState) {
        auto rs = db.OpenRecordset(tableFor(ioState.range(0)));
        benchmark::DoNotOptimize(rs->RecordCount());
    }
}
BENCHMARK(BM_OpenTableRecordsetAndCount)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(0.2);

// A model's 1,000 curves, every field, through a record set opened on the query.
void BM_ReadModelRecordset(benchmark::State& ioState) {
    const Database db = benchDatabase();
    for (auto _ : ioState) {
        auto rs = db.OpenRecordset(QStringLiteral("SELECT * FROM crv_100k WHERE Model_Name = ?"), {Variant("Model_0")});
        double sum = 0;
        long rows = 0;
        for (; !rs->EOF_(); rs->MoveNext(), ++rows) {
            sum += CLng(rs->field(1));
            for (int i = 3; i < kPoints + 3; ++i) sum += CSng(rs->field(i));
        }
        benchmark::DoNotOptimize(sum);
        if (rows != 1000) ioState.SkipWithError("wrong row count");
    }
    ioState.SetItemsProcessed(ioState.iterations() * 1000);
}
BENCHMARK(BM_ReadModelRecordset)->Unit(benchmark::kMillisecond)->MinTime(0.2);

// The same rows by a plain SQLite query: the floor for the record set.
void BM_ReadModelRawSqlite(benchmark::State& ioState) {
    SQLite::Database& db = benchDatabase().sqlite();
    for (auto _ : ioState) {
        SQLite::Statement q(db, "SELECT * FROM crv_100k WHERE Model_Name = ? ORDER BY rowid");
        q.bind(1, "Model_0");
        double sum = 0;
        long rows = 0;
        for (; q.executeStep(); ++rows) {
            sum += q.getColumn(1).getInt();
            for (int i = 3; i < kPoints + 3; ++i) sum += static_cast<float>(q.getColumn(i).getDouble());
        }
        benchmark::DoNotOptimize(sum);
        if (rows != 1000) ioState.SkipWithError("wrong row count");
    }
    ioState.SetItemsProcessed(ioState.iterations() * 1000);
}
BENCHMARK(BM_ReadModelRawSqlite)->Unit(benchmark::kMillisecond)->MinTime(0.2);

// One curve logged: AddNew, 109 fields, Update (one durable transaction).
void BM_AddNewUpdate(benchmark::State& ioState) {
    auto rs = benchDatabase().OpenRecordset(QStringLiteral("crv_100k"));
    int32_t serial = 1000000;
    for (auto _ : ioState) {
        rs->AddNew();
        rs->setField(0, "Model_3");
        rs->setField(1, Variant(serial++));
        rs->setField(2, Variant::date(46500.5));
        for (int i = 3; i < kPoints + 3; ++i) rs->setField(i, Variant(0.5f * i));
        rs->Update();
    }
}
BENCHMARK(BM_AddNewUpdate)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

} // namespace
