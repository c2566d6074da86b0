#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/data/Schema.h"
#include "platform/os/AppInfo.h"
#include "platform/vb/VbError.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <vector>
#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

struct DbConnection {
    DbConnection(const QString& iPath, int iFlags)
        : path(iPath), sql(iPath.toStdString(), iFlags, 5000) {}
    QString path;
    SQLite::Database sql;
};

namespace {

QHash<QString, std::weak_ptr<DbConnection>>& connections() {
    static QHash<QString, std::weak_ptr<DbConnection>> sConnections;
    return sConnections;
}

// The entry of a folder that matches a file name without regard to case,
// the exact spelling first.
QString existingSpelling(const QDir& iDir, const QString& iName) {
    if (QFileInfo::exists(iDir.filePath(iName))) return iName;
    const QStringList entries = iDir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& e : entries)
        if (e.compare(iName, Qt::CaseInsensitive) == 0) return e;
    return QString();
}

std::shared_ptr<DbConnection> connect(const QString& iPath) {
    const QString fileName = QFileInfo(iPath).fileName();
    const bool exists = QFileInfo::exists(iPath);
    const bool registered = !registeredDatabaseName(fileName).isEmpty();
    if (!exists && !registered) vbRaise(3024, QStringLiteral("Could not find file '%1'.").arg(iPath));
    if (!exists && !QFileInfo(iPath).absoluteDir().exists())
        vbRaise(3044, QStringLiteral("'%1' isn't a valid path.").arg(QFileInfo(iPath).absolutePath()));
    std::shared_ptr<DbConnection> c;
    try {
        // Only the user-interface thread reads and writes the files: a connection
        // needs no lock of its own around each value read.
        c = std::make_shared<DbConnection>(iPath, SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX |
                                                      (registered ? SQLite::OPEN_CREATE : 0));
        // The first statement reads the header: a file of another kind fails here.
        c->sql.exec("PRAGMA journal_mode=WAL");
        c->sql.exec("PRAGMA synchronous=FULL");
        dbschema::createMissing(c->sql, fileName);
    } catch (const SQLite::Exception& e) {
        raiseDatabaseError(e, iPath);
    }
    return c;
}

void checkWritable(const Database& iDb) {
    if (iDb.ReadOnly())
        vbRaise(3027, QStringLiteral("Cannot update. Database or object is read-only ('%1').").arg(iDb.Name()));
}

} // namespace

QString resolveDatabasePath(const QString& iName) {
    QString n = iName.trimmed();
    // A leading "\" (not a network name) meant the program's own drive folder.
    if (n.startsWith(QLatin1Char('\\')) && !n.startsWith(QLatin1String("\\\\"))) n = n.mid(1);
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(appinfo::programPath(n));
    const QDir dir = info.absoluteDir();
    QString file = existingSpelling(dir, info.fileName());
    if (file.isEmpty()) {
        file = registeredDatabaseName(info.fileName());
        if (file.isEmpty()) file = info.fileName();
    }
    return QDir::cleanPath(dir.absoluteFilePath(file));
}

Database OpenDatabase(const QString& iName, bool iExclusive, bool iReadOnly) {
    const QString path = resolveDatabasePath(iName);
    const QString key = QFileInfo::exists(path) ? QFileInfo(path).canonicalFilePath() : path;
    std::shared_ptr<DbConnection> c = connections().value(key).lock();
    if (!c) {
        c = connect(path);
        for (auto it = connections().begin(); it != connections().end();)
            it = it.value().expired() ? connections().erase(it) : std::next(it);
        connections().insert(QFileInfo(path).canonicalFilePath(), c);
    }
    Database db;
    db.mConnection = c;
    db.mReadOnly = iReadOnly;
    db.mExclusive = iExclusive;
    return db;
}

QString Database::Name() const { return mConnection ? mConnection->path : QString(); }

SQLite::Database& Database::sqlite() const {
    if (!mConnection) vbRaise(3420, QStringLiteral("Object invalid or no longer set."));
    return mConnection->sql;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& iSource, const QList<Variant>& iParams) const {
    auto rs = std::make_unique<Recordset>();
    rs->open(*this, iSource, iParams);
    return rs;
}

QList<Variant> Database::DistinctValues(const QString& iTable, const QString& iField) const {
    try {
        const QString table = dbschema::quoteName(iTable), field = dbschema::quoteName(iField);
        // The values from the index, then each value's first record by a seek on
        // it (the index holds the keys in order within a value): as fast as the
        // distinct values alone, whatever the number of records.
        auto statement = [&](const char* iSql) {
            return SQLite::Statement(sqlite(), QString::fromLatin1(iSql).arg(field, table).toStdString());
        };
        SQLite::Statement values = statement("SELECT DISTINCT %1 FROM %2 WHERE %1 IS NOT NULL");
        SQLite::Statement first = statement("SELECT min(rowid) FROM %2 WHERE %1 = ?");
        SQLite::Statement spelling = statement("SELECT %1 FROM %2 WHERE rowid = ?");
        std::vector<std::pair<int64_t, Variant>> firsts;
        while (values.executeStep()) {
            first.reset();
            const SQLite::Column value = values.getColumn(0);
            if (value.isInteger()) first.bind(1, value.getInt64());
            else if (value.isFloat()) first.bind(1, value.getDouble());
            else first.bind(1, value.getString());
            if (!first.executeStep() || first.getColumn(0).isNull()) continue;
            const int64_t rowid = first.getColumn(0).getInt64();
            spelling.reset();
            spelling.bind(1, rowid);
            if (!spelling.executeStep()) continue;
            const SQLite::Column c = spelling.getColumn(0);
            Variant v = c.isInteger() ? Variant(static_cast<double>(c.getInt64()))
                        : c.isFloat() ? Variant(c.getDouble())
                                      : Variant(QString::fromUtf8(c.getText()));
            firsts.emplace_back(rowid, std::move(v));
        }
        std::sort(firsts.begin(), firsts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        QList<Variant> result;
        result.reserve(static_cast<qsizetype>(firsts.size()));
        for (auto& f : firsts) result.append(std::move(f.second));
        return result;
    } catch (const SQLite::Exception& e) {
        raiseDatabaseError(e, Name());
    }
}

long Database::Execute(const QString& iSql, const QList<Variant>& iParams) const {
    checkWritable(*this);
    SQLite::Database& db = sqlite();
    try {
        SQLite::Statement q(db, iSql.toStdString());
        for (int i = 0; i < iParams.size(); ++i) dbschema::bindValue(q, i + 1, iParams[i]);
        return q.exec();
    } catch (const SQLite::Exception& e) {
        raiseDatabaseError(e, Name());
    }
}

void Database::BeginTrans() const {
    checkWritable(*this);
    try {
        sqlite().exec("BEGIN IMMEDIATE");
    } catch (const SQLite::Exception& e) {
        raiseDatabaseError(e, Name());
    }
}

void Database::CommitTrans() const {
    try {
        sqlite().exec("COMMIT");
    } catch (const SQLite::Exception& e) {
        raiseDatabaseError(e, Name());
    }
}

void Database::Rollback() const {
    try {
        sqlite().exec("ROLLBACK");
    } catch (const SQLite::Exception& e) {
        raiseDatabaseError(e, Name());
    }
}

void Database::Close() { mConnection.reset(); }

void raiseDatabaseError(const SQLite::Exception& iError, const QString& iFile) {
    const QString detail = QString::fromUtf8(iError.what());
    switch (iError.getErrorCode() & 0xff) {
    case SQLITE_NOTADB:
        vbRaise(3343, QStringLiteral("Unrecognized database format '%1'.").arg(iFile));
    case SQLITE_CORRUPT:
        vbRaise(3049, QStringLiteral("Cannot open database '%1'. It may be damaged (%2).").arg(iFile, detail));
    case SQLITE_CANTOPEN:
        vbRaise(3051, QStringLiteral("The database engine cannot open the file '%1' (%2).").arg(iFile, detail));
    case SQLITE_READONLY:
        vbRaise(3027, QStringLiteral("Cannot update. Database or object is read-only ('%1').").arg(iFile));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        vbRaise(3260, QStringLiteral("Couldn't update '%1'; currently locked by another program.").arg(iFile));
    case SQLITE_FULL:
        vbRaise(3026, QStringLiteral("Not enough space on disk for '%1'.").arg(iFile));
    case SQLITE_IOERR:
        vbRaise(3043, QStringLiteral("Disk or network error on '%1' (%2).").arg(iFile, detail));
    case SQLITE_CONSTRAINT:
        if (iError.getExtendedErrorCode() == SQLITE_CONSTRAINT_UNIQUE)
            vbRaise(3022, QStringLiteral("The changes you requested to the table were not successful because they "
                                         "would create duplicate values in the index (%1).").arg(detail));
        if (iError.getExtendedErrorCode() == SQLITE_CONSTRAINT_NOTNULL)
            vbRaise(3314, QStringLiteral("A required field can't contain a Null value (%1).").arg(detail));
        break;
    default:
        break;
    }
    vbRaise(3000, QStringLiteral("Database error in '%1': %2").arg(iFile, detail));
}
