#pragma once
#include "platform/vb/Variant.h"
#include <QList>
#include <QString>
#include <memory>

namespace SQLite { class Database; class Exception; }
class Recordset;

// One open database file. Every handle on the same file in this process shares
// one SQLite connection, so whatever one handle commits the others read at once.
struct DbConnection;

// A handle on a database file, as OpenDatabase returns it. Copies share the
// file; a read-only handle refuses writes (3027) even though its connection
// is shared with handles that may write.
class Database {
public:
    Database() = default;

    bool isOpen() const { return mConnection != nullptr; }
    QString Name() const;            // the full path of the file
    bool ReadOnly() const { return mReadOnly; }
    bool Exclusive() const { return mExclusive; }

    // A record set on a table name or on "SELECT fields FROM table [WHERE ...]
    // [ORDER BY ...]" whose '?' parameters take iParams in order.
    std::unique_ptr<Recordset> OpenRecordset(const QString& iSource, const QList<Variant>& iParams = {}) const;

    // Each value of a field once, as the table compares values (text without
    // regard to case), spelled as in the first record that holds it, in the
    // order of those first records; Null is left out. What a walk over every
    // record would collect, read from the field's index where it has one.
    QList<Variant> DistinctValues(const QString& iTable, const QString& iField) const;

    // An action query (UPDATE/DELETE/INSERT) with bound '?' parameters, as one
    // transaction; returns the number of records it touched.
    long Execute(const QString& iSql, const QList<Variant>& iParams = {}) const;

    // One transaction for the writes that follow, through any handle or record
    // set on the file, until CommitTrans writes them at once or Rollback drops
    // them: many records are then written with one wait for the disk. Not nested.
    void BeginTrans() const;
    void CommitTrans() const;
    void Rollback() const;

    void Close();

    // The shared connection, for the layer itself and for measurements.
    SQLite::Database& sqlite() const;
    const std::shared_ptr<DbConnection>& connection() const { return mConnection; }

private:
    friend Database OpenDatabase(const QString&, bool, bool);
    std::shared_ptr<DbConnection> mConnection;
    bool mReadOnly = false;
    bool mExclusive = false;
};

// Opens a database file by name. The name resolves to the file in the program
// folder whatever its letter case or separators ("\Vexo_seq.mdb" is
// <program folder>/Vexo_Seq.mdb); an absolute path stays in its folder.
// A registered file that is missing is created with its tables; an existing one
// gets the tables and indexes it lacks. Raises 3024 for a missing file nobody
// registered and 3343 naming the file when it is not a database.
// Exclusive is accepted for the callers' sake; within the process the file is shared.
Database OpenDatabase(const QString& iName, bool iExclusive = false, bool iReadOnly = false);

// The full path a database name resolves to (the file need not exist).
QString resolveDatabasePath(const QString& iName);

// A database engine failure as the run-time's error, naming the file.
[[noreturn]] void raiseDatabaseError(const SQLite::Exception& iError, const QString& iFile);
