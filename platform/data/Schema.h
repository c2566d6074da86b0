#pragma once
#include "platform/vb/Variant.h"
#include <QList>
#include <QString>
#include <QStringList>

namespace SQLite { class Database; class Column; class Statement; }

// The field types of a database file. Each is stored so that the file itself
// says what a column holds (a field created here reads back with its type):
// Integer SMALLINT, Long INTEGER, Single FLOAT, Double DOUBLE, Boolean BOOLEAN
// (-1/0), Date "DATE REAL" (days since 1899-12-30), Text VARCHAR(size) and
// Memo LONGTEXT, both compared without regard to case.
enum class FieldType { Integer, Long, Single, Double, Boolean, Date, Text, Memo };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Memo;
    int size = 0;            // Text: the maximum length in characters (1..255)
    Variant defaultValue;    // Empty: none, a new record starts with Null
    bool required = false;   // Null refused on write
};

struct IndexDef {
    QString name;
    QStringList fields;
    bool unique = false;     // unique without regard to case on text fields
};

// A table's fields in their order (column 0 is the record's own first field:
// there is no declared key, rows keep insertion order) and its indexes.
struct TableDef {
    QString name;
    QList<FieldDef> fields;
    QList<IndexDef> indexes;

    explicit TableDef(QString iName = QString()) : name(std::move(iName)) {}
    TableDef& field(const QString& iName, FieldType iType, int iSize = 0);
    // These two apply to the field declared last.
    TableDef& defaultValue(const Variant& iValue);
    TableDef& required();
    TableDef& index(const QString& iName, const QStringList& iFields, bool iUnique = false);
};

struct DatabaseSchema {
    QList<TableDef> tables;
    DatabaseSchema& table(const TableDef& iTable);
};

// The application declares each database file's tables once, under the file's
// canonical name ("Vexo_Seq.mdb"). Opening a registered file creates it when
// missing and adds any missing table or index. Raises 5 on an ill-formed schema.
void registerDatabaseSchema(const QString& iFileName, const DatabaseSchema& iSchema);
// The canonical name registered for a file name in any letter case; empty if none.
QString registeredDatabaseName(const QString& iFileName);

// What the layer itself uses; callers need none of it.
namespace dbschema {
// Creates the registered tables and indexes the file lacks, in one transaction.
void createMissing(SQLite::Database& ioDb, const QString& iFileName);
// A table's fields as the file declares them, and its name as stored;
// raises 3078 naming the table when the file has no such table.
QList<FieldDef> readTable(SQLite::Database& iDb, const QString& iTable, QString& oStoredName);
// A value converted for a field before it is written: 6 when a number leaves an
// Integer or Long, 3163 when a text exceeds its size, 3421 for a value that is
// no number/date (an empty text included); Empty becomes Null.
Variant toStorage(const FieldDef& iField, const Variant& iValue);
// The value of a column as the field's type (Null stays Null).
Variant fromStorage(const FieldDef& iField, const SQLite::Column& iColumn);
// Binds a value returned by toStorage.
void bindValue(SQLite::Statement& ioStatement, int iIndex, const Variant& iValue);
// A name quoted for SQL ("Layer1_Pt#" included).
QString quoteName(const QString& iName);
}
