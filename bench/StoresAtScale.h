#pragma once
// The stores of a station that has tested a million units: production rows and
// logged curves in the station's own schema, made once and kept in a folder of
// the temporary folder (VEXO_BENCH_STORES to choose another), keyed by the
// schema, since making a million curves takes a while. Benchmarks only read
// them: a station folder links them under their own names.
#include "bench/BenchRows.h"
#include "common/modDatabaseSchema.h"
#include "platform/data/Database.h"
#include "platform/os/Clock.h"
#include "station/ProductionMath.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cmath>
#include <unistd.h>

namespace storesatscale {

// The day the benchmarks' virtual clock stands on; the rows of the last 200
// units are of that day, the others of the days before it.
inline QDateTime benchNow() { return QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)); }
constexpr int kTodaysRows = 200;

// The models the curves are logged under, one in a hundred of them "Typical".
inline QString curveModel(int iRow) {
    if (iRow % 100 == 7) return QStringLiteral("Typical");
    return QStringLiteral("Model %1").arg(iRow % 23, 2, 10, QLatin1Char('0'));
}

// The folder of the kept stores, named after the schema the station makes.
inline QString cacheFolder() {
    static const QString sFolder = [] {
        gDatabaseSchemaRegister();
        QTemporaryDir probe;
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const char* file : {"Vexo_Crv.mdb", "Vexo_Prod.mdb"}) {
            const Database db = OpenDatabase(probe.filePath(QString::fromLatin1(file)));
            SQLite::Statement q(db.sqlite(), "SELECT coalesce(sql, '') FROM sqlite_master ORDER BY name");
            while (q.executeStep()) hash.addData(QByteArray(q.getColumn(0).getText()));
        }
        QString root = qEnvironmentVariable("VEXO_BENCH_STORES");
        if (root.isEmpty()) root = QDir::temp().filePath(QStringLiteral("vexo-bench-stores"));
        const QString folder = QDir(root).filePath(QString::fromLatin1(hash.result().toHex().left(12)));
        QDir().mkpath(folder);
        return folder;
    }();
    return sFolder;
}

// Makes the file under a passing name and renames it when complete, so that a
// run stopped halfway or one running beside it never takes a part-made store.
template <class Fill>
QString kept(const QString& iName, const QString& iStationFile, Fill&& iFill) {
    const QString path = QDir(cacheFolder()).filePath(iName);
    if (QFileInfo::exists(path)) return path;
    const QString making = path + QStringLiteral(".making.%1").arg(::getpid());
    QDir(making).removeRecursively();
    QDir().mkpath(making);
    {
        const Database db = OpenDatabase(QDir(making).filePath(iStationFile));
        SQLite::Database& sql = db.sqlite();
        sql.exec("PRAGMA synchronous=OFF");
        SQLite::Transaction tx(sql);
        iFill(sql);
        tx.commit();
        sql.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    QFile::rename(QDir(making).filePath(iStationFile), path);
    QDir(making).removeRecursively();
    return path;
}

// iRows production rows, one per unit, the last kTodaysRows of them today.
inline QString productionStore(int iRows) {
    return kept(QStringLiteral("prod-%1.mdb").arg(iRows), QStringLiteral("Vexo_Prod.mdb"), [&](SQLite::Database& ioSql) {
        SQLite::Statement q(ioSql, "INSERT INTO vexo_prod VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        const double today = double(QDate(1899, 12, 30).daysTo(benchNow().date()));
        const int older = iRows - kTodaysRows;
        for (int r = 0; r < iRows; ++r) {
            // Earlier rows on the days before, oldest first; today's from 08:00.
            const double start = r < older ? today - 1.0 - double(older - r) / 2000.0 : today + 1.0 / 3.0 + (r - older) / 20000.0;
            benchrows::insertProduction(q, r, start);
        }
    });
}

// The level of point p of curve row r: each model near its own shape.
inline double curveLevel(int iRow, int iPoint) {
    return -20.0 + 0.01 * iPoint + 0.001 * (iRow % 997) + 0.1 * std::sin(0.1 * iPoint + iRow % 23);
}

// iRows logged curves of 100 points over 23 models and the "Typical" batch.
inline QString curveStore(int iRows) {
    return kept(QStringLiteral("crv-%1.mdb").arg(iRows), QStringLiteral("Vexo_Crv.mdb"), [&](SQLite::Database& ioSql) {
        SQLite::Statement q = benchrows::curveInsert(ioSql);
        for (int r = 0; r < iRows; ++r)
            benchrows::insertCurve(q, curveModel(r), 1000 + r, 46000.0 + r / 1000.0,
                                   [r](int p) { return static_cast<float>(curveLevel(r, p)); });
    });
}

// Puts a kept store into a station folder under the station's name for it.
inline void link(const QString& iStore, const QString& iFolder, const QString& iStationFile) {
    const QString target = QDir(iFolder).filePath(iStationFile);
    for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(target + QString::fromLatin1(suffix));
    QFile::link(iStore, target);
}

}
