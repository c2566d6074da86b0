#include "platform/data/Schema.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <QLocale>
#include <QSet>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cfloat>
#include <cmath>

TableDef& TableDef::field(const QString& iName, FieldType iType, int iSize) {
    FieldDef f;
    f.name = iName;
    f.type = iType;
    f.size = iSize;
    fields << f;
    return *this;
}

TableDef& TableDef::defaultValue(const Variant& iValue) {
    if (fields.isEmpty()) vbRaise(vberr::kInvalidCall, QStringLiteral("Default value before any field of table '%1'.").arg(name));
    fields.last().defaultValue = iValue;
    return *this;
}

TableDef& TableDef::required() {
    if (fields.isEmpty()) vbRaise(vberr::kInvalidCall, QStringLiteral("Required before any field of table '%1'.").arg(name));
    fields.last().required = true;
    return *this;
}

TableDef& TableDef::index(const QString& iName, const QStringList& iFields, bool iUnique) {
    indexes << IndexDef{iName, iFields, iUnique};
    return *this;
}

DatabaseSchema& DatabaseSchema::table(const TableDef& iTable) {
    tables << iTable;
    return *this;
}

namespace {

struct Registered {
    QString name;
    DatabaseSchema schema;
};

QList<Registered>& registry() {
    static QList<Registered> sRegistry;
    return sRegistry;
}

const Registered* findRegistered(const QString& iFileName) {
    for (const Registered& r : registry())
        if (r.name.compare(iFileName, Qt::CaseInsensitive) == 0) return &r;
    return nullptr;
}

[[noreturn]] void schemaError(const QString& iText) { vbRaise(vberr::kInvalidCall, iText); }

void checkTable(const TableDef& iTable) {
    if (iTable.name.trimmed().isEmpty()) schemaError(QStringLiteral("A table without a name."));
    if (iTable.fields.isEmpty()) schemaError(QStringLiteral("Table '%1' has no fields.").arg(iTable.name));
    QSet<QString> names;
    for (const FieldDef& f : iTable.fields) {
        const QString key = f.name.toLower();
        if (key.trimmed().isEmpty()) schemaError(QStringLiteral("A field without a name in table '%1'.").arg(iTable.name));
        if (names.contains(key)) schemaError(QStringLiteral("Field '%1' twice in table '%2'.").arg(f.name, iTable.name));
        names.insert(key);
        if (f.type == FieldType::Text && (f.size < 1 || f.size > 255))
            schemaError(QStringLiteral("Text field '%1.%2' needs a size of 1 to 255.").arg(iTable.name, f.name));
        if (!f.defaultValue.isEmpty()) {
            try {
                dbschema::toStorage(f, f.defaultValue);
            } catch (const VbError& e) {
                schemaError(QStringLiteral("Default of '%1.%2': %3").arg(iTable.name, f.name, e.description));
            }
        }
    }
    QSet<QString> indexNames;
    for (const IndexDef& ix : iTable.indexes) {
        if (ix.name.trimmed().isEmpty() || ix.fields.isEmpty())
            schemaError(QStringLiteral("An index of table '%1' lacks a name or fields.").arg(iTable.name));
        if (indexNames.contains(ix.name.toLower()))
            schemaError(QStringLiteral("Index '%1' twice in table '%2'.").arg(ix.name, iTable.name));
        indexNames.insert(ix.name.toLower());
        for (const QString& fn : ix.fields)
            if (!names.contains(fn.toLower()))
                schemaError(QStringLiteral("Index '%1' names unknown field '%2'.").arg(ix.name, fn));
    }
}

QString typeSql(const FieldDef& iField) {
    switch (iField.type) {
    case FieldType::Integer: return QStringLiteral("SMALLINT");
    case FieldType::Long: return QStringLiteral("INTEGER");
    case FieldType::Single: return QStringLiteral("FLOAT");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Date: return QStringLiteral("DATE REAL");
    case FieldType::Text: return QStringLiteral("VARCHAR(%1) COLLATE NOCASE").arg(iField.size);
    case FieldType::Memo: return QStringLiteral("LONGTEXT COLLATE NOCASE");
    }
    return QString();
}

QString literalSql(const Variant& iStored) {
    switch (iStored.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: return QStringLiteral("NULL");
    case Variant::Type::String: {
        QString t = iStored.text();
        t.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + t + QLatin1Char('\'');
    }
    case Variant::Type::Boolean:
    case Variant::Type::Integer:
    case Variant::Type::Long: return QString::number(static_cast<long long>(iStored.number()));
    default: return QString::number(iStored.number(), 'g', 17);
    }
}

QString createSql(const TableDef& iTable) {
    QStringList cols;
    for (const FieldDef& f : iTable.fields) {
        QString c = dbschema::quoteName(f.name) + QLatin1Char(' ') + typeSql(f);
        if (f.required) c += QStringLiteral(" NOT NULL");
        if (!f.defaultValue.isEmpty()) c += QStringLiteral(" DEFAULT ") + literalSql(dbschema::toStorage(f, f.defaultValue));
        cols << c;
    }
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(dbschema::quoteName(iTable.name), cols.join(QStringLiteral(", ")));
}

// The declared type as the file gives it, back to a field type.
void parseDeclaredType(const QString& iDecl, FieldDef& ioField) {
    const QString d = iDecl.trimmed().toUpper();
    auto sizeIn = [&d]() {
        const int open = d.indexOf(QLatin1Char('('));
        const int close = d.indexOf(QLatin1Char(')'), open);
        return open >= 0 && close > open ? d.mid(open + 1, close - open - 1).trimmed().toInt() : 0;
    };
    if (d.startsWith(QLatin1String("SMALLINT"))) ioField.type = FieldType::Integer;
    else if (d.startsWith(QLatin1String("BOOLEAN")) || d == QLatin1String("BIT")) ioField.type = FieldType::Boolean;
    else if (d.startsWith(QLatin1String("DATE"))) ioField.type = FieldType::Date;
    else if (d.contains(QLatin1String("INT"))) ioField.type = FieldType::Long;
    else if (d.startsWith(QLatin1String("FLOAT"))) ioField.type = FieldType::Single;
    else if (d.startsWith(QLatin1String("DOUBLE")) || d.startsWith(QLatin1String("REAL"))) ioField.type = FieldType::Double;
    else if ((d.startsWith(QLatin1String("VARCHAR")) || d.startsWith(QLatin1String("CHAR")) || d.startsWith(QLatin1String("TEXT")))
             && sizeIn() > 0) {
        ioField.type = FieldType::Text;
        ioField.size = sizeIn();
    } else ioField.type = FieldType::Memo;
}

Variant parseDefault(const FieldDef& iField, const QString& iLiteral) {
    QString t = iLiteral.trimmed();
    while (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) t = t.mid(1, t.size() - 2).trimmed();
    if (t.isEmpty() || t.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) return Variant();
    Variant v;
    if (t.startsWith(QLatin1Char('\'')) && t.endsWith(QLatin1Char('\'')) && t.size() >= 2) {
        v = Variant(t.mid(1, t.size() - 2).replace(QLatin1String("''"), QLatin1String("'")));
    } else {
        bool ok = false;
        const double d = QLocale::c().toDouble(t, &ok);
        if (!ok) return Variant();
        v = Variant(d);
    }
    try {
        return dbschema::toStorage(iField, v);
    } catch (const VbError&) {
        return Variant();
    }
}

[[noreturn]] void conversionError(const FieldDef& iField) {
    vbRaise(3421, QStringLiteral("Data type conversion error: the value does not fit field '%1'.").arg(iField.name));
}

// The number of a value written to a numeric field: a text must be a number
// (or True/False); an empty text is refused rather than stored as Null.
double numberFor(const FieldDef& iField, const Variant& iValue) {
    if (!iValue.isString()) return iValue.number();
    if (iValue.text().trimmed().isEmpty()) conversionError(iField);
    try {
        return CDbl(iValue);
    } catch (const VbError&) {
        conversionError(iField);
    }
}

} // namespace

void registerDatabaseSchema(const QString& iFileName, const DatabaseSchema& iSchema) {
    QSet<QString> tables;
    for (const TableDef& t : iSchema.tables) {
        checkTable(t);
        if (tables.contains(t.name.toLower())) schemaError(QStringLiteral("Table '%1' twice in '%2'.").arg(t.name, iFileName));
        tables.insert(t.name.toLower());
    }
    QList<Registered>& reg = registry();
    for (Registered& r : reg) {
        if (r.name.compare(iFileName, Qt::CaseInsensitive) == 0) {
            r = Registered{iFileName, iSchema};
            return;
        }
    }
    reg << Registered{iFileName, iSchema};
}

QString registeredDatabaseName(const QString& iFileName) {
    const Registered* r = findRegistered(iFileName);
    return r ? r->name : QString();
}

namespace dbschema {

QString quoteName(const QString& iName) {
    QString n = iName;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

void createMissing(SQLite::Database& ioDb, const QString& iFileName) {
    const Registered* r = findRegistered(iFileName);
    if (!r) return;
    // Immediate: two programs opening a new file at once must not both create it.
    SQLite::Transaction tx(ioDb, SQLite::TransactionBehavior::IMMEDIATE);
    for (const TableDef& t : r->schema.tables) {
        ioDb.exec(createSql(t).toStdString());
        for (const IndexDef& ix : t.indexes) {
            QStringList cols;
            for (const QString& c : ix.fields) cols << quoteName(c);
            // The file's index names are shared by all its tables; ours belong to one table.
            ioDb.exec(QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)")
                          .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), quoteName(t.name + QLatin1Char('.') + ix.name),
                               quoteName(t.name), cols.join(QStringLiteral(", ")))
                          .toStdString());
        }
    }
    tx.commit();
}

QList<FieldDef> readTable(SQLite::Database& iDb, const QString& iTable, QString& oStoredName) {
    {
        SQLite::Statement q(iDb, "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
        q.bind(1, iTable.toStdString());
        if (!q.executeStep())
            vbRaise(3078, QStringLiteral("The database engine cannot find the input table or query '%1'. "
                                         "Make sure it exists and that its name is spelled correctly.").arg(iTable));
        oStoredName = QString::fromStdString(q.getColumn(0).getString());
    }
    QList<FieldDef> fields;
    SQLite::Statement info(iDb, QStringLiteral("PRAGMA table_info(%1)").arg(quoteName(oStoredName)).toStdString());
    while (info.executeStep()) {
        FieldDef f;
        f.name = QString::fromStdString(info.getColumn(1).getString());
        parseDeclaredType(QString::fromStdString(info.getColumn(2).getString()), f);
        f.required = info.getColumn(3).getInt() != 0;
        if (!info.getColumn(4).isNull()) f.defaultValue = parseDefault(f, QString::fromStdString(info.getColumn(4).getString()));
        fields << f;
    }
    return fields;
}

Variant toStorage(const FieldDef& iField, const Variant& iValue) {
    if (iValue.isNull() || iValue.isEmpty()) return Variant::null();
    switch (iField.type) {
    case FieldType::Integer: {
        const double r = roundHalfEven(numberFor(iField, iValue));
        if (!(r >= -32768.0 && r <= 32767.0)) vbRaise(vberr::kOverflow);
        return Variant(static_cast<int16_t>(r));
    }
    case FieldType::Long: {
        const double r = roundHalfEven(numberFor(iField, iValue));
        if (!(r >= -2147483648.0 && r <= 2147483647.0)) vbRaise(vberr::kOverflow);
        return Variant(static_cast<int32_t>(r));
    }
    case FieldType::Single: {
        const double d = numberFor(iField, iValue);
        if (std::isfinite(d) && std::fabs(d) > FLT_MAX) vbRaise(vberr::kOverflow);
        return Variant(static_cast<float>(d));
    }
    case FieldType::Double: return Variant(numberFor(iField, iValue));
    case FieldType::Boolean: return Variant(numberFor(iField, iValue) != 0.0);
    case FieldType::Date: {
        if (iValue.isString() && iValue.text().trimmed().isEmpty()) conversionError(iField);
        try {
            return Variant::date(CDate(iValue));
        } catch (const VbError&) {
            conversionError(iField);
        }
    }
    case FieldType::Text:
    case FieldType::Memo: {
        const QString t = CStr(iValue);
        if (iField.type == FieldType::Text && t.size() > iField.size)
            vbRaise(3163, QStringLiteral("The field '%1' is too small to accept the amount of data you attempted to add "
                                         "(%2 characters, at most %3).").arg(iField.name).arg(t.size()).arg(iField.size));
        return Variant(t);
    }
    }
    return Variant::null();
}

Variant fromStorage(const FieldDef& iField, const SQLite::Column& iColumn) {
    if (iColumn.isNull()) return Variant::null();
    // A number field holding a text (a damaged record: "NaN", a word) reads as
    // that text, so that the conversion that needs a number refuses it, rather
    // than as the 0 the engine would make of it.
    if (iField.type != FieldType::Text && iField.type != FieldType::Memo && (iColumn.isText() || iColumn.isBlob()))
        return Variant(QString::fromUtf8(static_cast<const char*>(iColumn.getBlob()), iColumn.getBytes()));
    switch (iField.type) {
    case FieldType::Integer:
    case FieldType::Long: {
        // A float where a whole number belongs keeps its value, so that one out of
        // range is refused as an overflow rather than cut to the engine's limit.
        if (iColumn.isFloat()) return Variant(iColumn.getDouble());
        const long long v = iColumn.getInt64();
        if (iField.type == FieldType::Integer && v >= -32768 && v <= 32767) return Variant(static_cast<int16_t>(v));
        if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
        return Variant(static_cast<double>(v));
    }
    case FieldType::Single: {
        // Beyond a single's range it stays a double, for the conversion to refuse as an overflow.
        const double d = iColumn.getDouble();
        if (std::isfinite(d) && std::fabs(d) > FLT_MAX) return Variant(d);
        return Variant(static_cast<float>(d));
    }
    case FieldType::Double: return Variant(iColumn.getDouble());
    case FieldType::Boolean: return Variant(iColumn.getDouble() != 0.0);
    case FieldType::Date: return Variant::date(iColumn.getDouble());
    case FieldType::Text:
    case FieldType::Memo:
        if (iColumn.isInteger()) {
            const long long v = iColumn.getInt64();
            if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
            return Variant(static_cast<double>(v));
        }
        if (iColumn.isFloat()) return Variant(iColumn.getDouble());
        return Variant(QString::fromUtf8(static_cast<const char*>(iColumn.getBlob()), iColumn.getBytes()));
    }
    return Variant::null();
}

void bindValue(SQLite::Statement& ioStatement, int iIndex, const Variant& iValue) {
    switch (iValue.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: ioStatement.bind(iIndex); break;
    case Variant::Type::Boolean:
    case Variant::Type::Integer:
    case Variant::Type::Long: ioStatement.bind(iIndex, static_cast<int64_t>(iValue.number())); break;
    case Variant::Type::Single:
    case Variant::Type::Double:
    case Variant::Type::Date: ioStatement.bind(iIndex, iValue.number()); break;
    case Variant::Type::String: ioStatement.bind(iIndex, iValue.text().toStdString()); break;
    }
}

} // namespace dbschema
