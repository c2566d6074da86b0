#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <limits>
#include <unordered_set>

namespace {

// Quoted parts ('...', "...", [...]) blanked out, so that keywords are only
// found in the text around them; positions stay the same.
QString maskQuoted(const QString& iText) {
    QString m = iText;
    QChar close;
    for (int i = 0; i < m.size(); ++i) {
        const QChar c = m[i];
        if (close.isNull()) {
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) close = c;
            else if (c == QLatin1Char('[')) close = QLatin1Char(']');
        } else {
            if (c == close) close = QChar();
            else m[i] = QLatin1Char('x');
        }
    }
    return m;
}

// Jet's [name] as the SQL's "name".
QString bracketsToQuotes(const QString& iText) {
    QString out;
    QChar close;
    for (const QChar c : iText) {
        if (close.isNull()) {
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) { close = c; out += c; }
            else if (c == QLatin1Char('[')) { close = QLatin1Char(']'); out += QLatin1Char('"'); }
            else out += c;
        } else if (c == close) {
            out += close == QLatin1Char(']') ? QChar(QLatin1Char('"')) : c;
            close = QChar();
        } else if (close == QLatin1Char(']') && c == QLatin1Char('"')) {
            out += QLatin1String("\"\"");
        } else {
            out += c;
        }
    }
    return out;
}

QString unquoteName(QString iName) {
    iName = iName.trimmed();
    if (iName.size() >= 2 && ((iName.startsWith(QLatin1Char('[')) && iName.endsWith(QLatin1Char(']')))
                              || (iName.startsWith(QLatin1Char('"')) && iName.endsWith(QLatin1Char('"')))))
        iName = iName.mid(1, iName.size() - 2);
    return iName;
}

struct Source {
    QString table;
    QStringList columns;   // empty: all
    QString where;
    QString order;
};

[[noreturn]] void sourceError(const QString& iSource) {
    vbRaise(3131, QStringLiteral("Syntax error in FROM clause of '%1'.").arg(iSource));
}

Source parseSource(const QString& iSource) {
    Source s;
    static const QRegularExpression select(
        QStringLiteral(R"(^\s*SELECT\s+(.+?)\s+FROM\s+(\[[^\]]+\]|"(?:[^"]|"")+"|[A-Za-z0-9_#$]+)(.*?)\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = select.match(iSource);
    if (!m.hasMatch()) {
        if (iSource.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)) sourceError(iSource);
        s.table = unquoteName(iSource);
        return s;
    }
    s.table = unquoteName(m.captured(2));
    const QString cols = m.captured(1).trimmed();
    if (cols != QLatin1String("*")) {
        for (const QString& c : cols.split(QLatin1Char(','))) {
            QString n = unquoteName(c);
            if (n.isEmpty() || n.contains(QLatin1Char('('))) sourceError(iSource);
            s.columns << n;
        }
    }
    const QString rest = m.captured(3).trimmed();
    if (rest.isEmpty()) return s;
    const QString masked = maskQuoted(rest);
    static const QRegularExpression orderBy(QStringLiteral(R"(\bORDER\s+BY\b)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression where(QStringLiteral(R"(^WHERE\b)"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch o = orderBy.match(masked);
    const int orderAt = o.hasMatch() ? static_cast<int>(o.capturedStart()) : static_cast<int>(rest.size());
    const QString head = rest.left(orderAt).trimmed();
    if (o.hasMatch()) s.order = bracketsToQuotes(rest.mid(o.capturedEnd()).trimmed());
    if (!head.isEmpty()) {
        const QRegularExpressionMatch w = where.match(head);
        if (!w.hasMatch()) sourceError(iSource);
        s.where = bracketsToQuotes(head.mid(w.capturedEnd()).trimmed());
    }
    return s;
}

struct Term {
    QString field;
    QString op;
    Variant value;
};

[[noreturn]] void criteriaError(const QString& iCriteria) {
    vbRaise(3077, QStringLiteral("Syntax error in criteria expression '%1'.").arg(iCriteria));
}

// "Seq_Name = 'O''Brien'", "Seq_Name  ='x'", "[Layer1_Pt#] > 3 AND Test_No = ?":
// field, comparison and value, the value kept apart from any SQL.
QList<Term> parseCriteria(const QString& iCriteria, const Variant* iValue) {
    QList<Term> terms;
    const QString& c = iCriteria;
    int i = 0;
    bool valueUsed = false;
    auto skipSpace = [&] { while (i < c.size() && c[i].isSpace()) ++i; };
    auto isNameChar = [](QChar ch) { return ch.isLetterOrNumber() || ch == QLatin1Char('_') || ch == QLatin1Char('#') || ch == QLatin1Char('$'); };
    for (;;) {
        Term t;
        skipSpace();
        if (i < c.size() && c[i] == QLatin1Char('[')) {
            const int end = c.indexOf(QLatin1Char(']'), i);
            if (end < 0) criteriaError(c);
            t.field = c.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            const int start = i;
            while (i < c.size() && (isNameChar(c[i]) || c[i] == QLatin1Char('.'))) ++i;
            t.field = c.mid(start, i - start);
            // "table.field": the field
            t.field = t.field.section(QLatin1Char('.'), -1);
        }
        if (t.field.isEmpty()) criteriaError(c);
        skipSpace();
        static const char* const ops[] = {"<=", ">=", "<>", "=", "<", ">"};
        for (const char* op : ops) {
            const QLatin1String o(op);
            if (c.mid(i, o.size()) == o) {
                t.op = o;
                i += o.size();
                break;
            }
        }
        if (t.op.isEmpty()) criteriaError(c);
        skipSpace();
        if (i >= c.size()) criteriaError(c);
        const QChar q = c[i];
        if (q == QLatin1Char('\'') || q == QLatin1Char('"')) {
            QString text;
            ++i;
            for (;;) {
                if (i >= c.size()) criteriaError(c);
                if (c[i] == q) {
                    if (i + 1 < c.size() && c[i + 1] == q) { text += q; i += 2; continue; }
                    ++i;
                    break;
                }
                text += c[i++];
            }
            t.value = Variant(text);
        } else if (q == QLatin1Char('?')) {
            if (!iValue || valueUsed) criteriaError(c);
            valueUsed = true;
            t.value = *iValue;
            ++i;
        } else {
            const int start = i;
            while (i < c.size() && !c[i].isSpace()) ++i;
            const QString word = c.mid(start, i - start);
            bool ok = false;
            const double d = QLocale::c().toDouble(word, &ok);
            if (ok) t.value = Variant(d);
            else if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) t.value = Variant(true);
            else if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) t.value = Variant(false);
            else if (word.compare(QLatin1String("Null"), Qt::CaseInsensitive) == 0) t.value = Variant::null();
            else criteriaError(c);
        }
        terms << t;
        skipSpace();
        if (i >= c.size()) break;
        if (c.mid(i, 3).compare(QLatin1String("AND"), Qt::CaseInsensitive) != 0 || i + 3 >= c.size() || !c[i + 3].isSpace())
            criteriaError(c);
        i += 3;
    }
    if (iValue && !valueUsed) criteriaError(c);
    return terms;
}

// A criteria value as the field compares it; a comparison with Null matches nothing.
Variant criteriaValue(const FieldDef& iField, const Variant& iValue) {
    if (iValue.isNull() || iValue.isEmpty()) return Variant::null();
    try {
        switch (iField.type) {
        case FieldType::Text:
        case FieldType::Memo: return Variant(CStr(iValue));
        case FieldType::Boolean: return Variant(CBool(iValue));
        case FieldType::Date: return Variant(CDate(iValue));
        default: return Variant(CDbl(iValue));
        }
    } catch (const VbError&) {
        vbRaise(3464, QStringLiteral("Data type mismatch in criteria expression (field '%1').").arg(iField.name));
    }
}

} // namespace

template <class F>
static void guarded(const Database& iDb, F&& iWork) {
    try {
        iWork();
    } catch (const SQLite::Exception& e) {
        raiseDatabaseError(e, iDb.Name());
    }
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::open(const Database& iDb, const QString& iSource, const QList<Variant>& iParams) {
    const Database db = iDb;   // may be this set's own handle, which Close() drops
    const QList<Variant> params = iParams;
    Close();
    if (!db.isOpen()) vbRaise(3420, QStringLiteral("Object invalid or no longer set."));
    const Source src = parseSource(iSource);
    mDb = db;
    mFileName = db.Name();
    try {
        mTableFields = dbschema::readTable(mDb.sqlite(), src.table, mTable);
        if (src.columns.isEmpty()) {
            mFields = mTableFields;
        } else {
            for (const QString& name : src.columns) {
                auto f = std::find_if(mTableFields.cbegin(), mTableFields.cend(), [&](const FieldDef& d) {
                    return d.name.compare(name, Qt::CaseInsensitive) == 0;
                });
                if (f == mTableFields.cend())
                    vbRaise(3265, QStringLiteral("Item not found in this collection ('%1' in '%2').").arg(name, mTable));
                mFields << *f;
            }
        }
        QStringList cols;
        for (int i = 0; i < mFields.size(); ++i) {
            cols << dbschema::quoteName(mFields[i].name);
            mFieldIndex.insert(mFields[i].name.toLower(), i);
            mFieldIndexExact.insert(mFields[i].name, i);
        }
        mWhere = src.where;
        mOrder = src.order;
        mParams = params;
        mFetch = std::make_unique<SQLite::Statement>(
            mDb.sqlite(), QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                              .arg(cols.join(QStringLiteral(", ")), dbschema::quoteName(mTable)).toStdString());
        mOpen = true;
        if (mOrder.isEmpty() && mWhere.isEmpty()) {
            lazyTake();
        } else {
            buildKeys();
            mPos = 0;
            if (!seek(0, Direction::Forward)) mPos = static_cast<long>(mKeys.size());
        }
    } catch (const SQLite::Exception& e) {
        Close();
        raiseDatabaseError(e, db.Name());
    } catch (...) {
        Close();
        throw;
    }
}

void Recordset::Close() {
    mFetch.reset();
    for (auto& step : mSteps) step.reset();
    mStatements.clear();
    mDb = Database();
    mOpen = false;
    mTable.clear();
    mWhere.clear();
    mOrder.clear();
    mParams.clear();
    mFields.clear();
    mTableFields.clear();
    mFieldIndex.clear();
    mFieldIndexExact.clear();
    mKeys.clear();
    mKeysSorted = true;
    mLazy = false;
    mLastKey = 0;
    mAdded.clear();
    mAt = At::Bof;
    mCur = 0;
    mPos = -1;
    mDeletedHere = false;
    mRow.clear();
    mEditMode = dbEditNone;
    mBuffer.clear();
    mAssigned.clear();
    mLastModified = RecordBookmark();
    mNoMatch = false;
}

void Recordset::checkOpen() const {
    if (mOpen) return;
    if (mFileName.isEmpty()) vbRaise(3420, QStringLiteral("Object invalid or no longer set."));
    vbRaise(3420, QStringLiteral("The database file '%1' is not open.").arg(QFileInfo(mFileName).fileName()));
}

void Recordset::checkWritable() const {
    if (mDb.ReadOnly())
        vbRaise(3027, QStringLiteral("Cannot update. Database or object is read-only ('%1').").arg(mDb.Name()));
}

bool Recordset::hasCurrent() const {
    if (mLazy) return mOpen && !mDeletedHere && mAt == At::Record;
    return mOpen && !mDeletedHere && mPos >= 0 && mPos < static_cast<long>(mKeys.size());
}

void Recordset::act(int iAction, const std::function<void()>& iOperation) {
    checkOpen();
    if (mEvents) mEvents->recordsetAction(iAction, iOperation);
    else iOperation();
}

SQLite::Statement& Recordset::statement(const QString& iSql) {
    auto it = mStatements.find(iSql);
    if (it == mStatements.end()) {
        if (mStatements.size() > 32) mStatements.clear();
        it = mStatements.insert(iSql, std::make_shared<SQLite::Statement>(mDb.sqlite(), iSql.toStdString()));
    }
    SQLite::Statement& q = **it;
    // A kept statement whose last run failed (a write the file refused) reports
    // that failure again on reset: it is cleared, never raised, so that the next
    // run is judged on its own.
    q.tryReset();
    q.clearBindings();
    return q;
}

void Recordset::buildKeys() {
    mKeys.clear();
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(dbschema::quoteName(mTable));
    if (!mWhere.isEmpty()) sql += QStringLiteral(" WHERE ") + mWhere;
    // Equal sort keys keep insertion order.
    sql += mOrder.isEmpty() ? QStringLiteral(" ORDER BY rowid") : QStringLiteral(" ORDER BY %1, rowid").arg(mOrder);
    SQLite::Statement q(mDb.sqlite(), sql.toStdString());
    for (int i = 0; i < mParams.size(); ++i) dbschema::bindValue(q, i + 1, mParams[i]);
    while (q.executeStep()) mKeys.push_back(q.getColumn(0).getInt64());
    mKeysSorted = std::is_sorted(mKeys.begin(), mKeys.end());
}

int64_t Recordset::currentRowid() const {
    return mLazy ? mCur : mKeys[static_cast<size_t>(mPos)];
}

void Recordset::lazyTake() {
    mLazy = true;
    mKeys.clear();
    mKeysSorted = true;
    mPos = -1;
    mAdded.clear();
    SQLite::Statement q(mDb.sqlite(), QStringLiteral("SELECT max(rowid) FROM %1").arg(dbschema::quoteName(mTable)).toStdString());
    mLastKey = q.executeStep() && !q.getColumn(0).isNull() ? q.getColumn(0).getInt64() : std::numeric_limits<int64_t>::min();
    mDeletedHere = false;
    mAt = At::Bof;
    if (!lazySeek(std::numeric_limits<int64_t>::min(), true, Direction::Forward)) mAt = At::Eof;
}

// The next key of the set from iFrom on (or before it): a key the table had
// when the set was taken (meeting the query's WHERE), or one added here since;
// the former all come before the latter.
bool Recordset::lazyStep(int64_t iFrom, bool iInclusive, Direction iDirection, int64_t& oRowid) {
    const bool forward = iDirection == Direction::Forward;
    if (!forward) {
        const auto it = iInclusive ? std::upper_bound(mAdded.begin(), mAdded.end(), iFrom)
                                   : std::lower_bound(mAdded.begin(), mAdded.end(), iFrom);
        if (it != mAdded.begin()) {
            oRowid = *(it - 1);
            return true;
        }
    }
    const bool inTable = forward ? (iInclusive ? iFrom <= mLastKey : iFrom < mLastKey) : true;
    if (inTable) {
        // Made once per set: a walk takes a step per record.
        std::unique_ptr<SQLite::Statement>& step = mSteps[(forward ? 2 : 0) + (iInclusive ? 1 : 0)];
        if (!step) {
            QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE rowid %2 ? AND rowid <= ?")
                              .arg(dbschema::quoteName(mTable), forward ? (iInclusive ? QStringLiteral(">=") : QStringLiteral(">"))
                                                                        : (iInclusive ? QStringLiteral("<=") : QStringLiteral("<")));
            if (!mWhere.isEmpty()) sql += QStringLiteral(" AND (%1)").arg(mWhere);
            sql += forward ? QStringLiteral(" ORDER BY rowid ASC LIMIT 1") : QStringLiteral(" ORDER BY rowid DESC LIMIT 1");
            step = std::make_unique<SQLite::Statement>(mDb.sqlite(), sql.toStdString());
        }
        SQLite::Statement& q = *step;
        q.tryReset();   // as statement(): an earlier failure is not raised again
        q.bind(1, iFrom);
        q.bind(2, mLastKey);
        for (int i = 0; i < mParams.size(); ++i) dbschema::bindValue(q, i + 3, mParams[i]);
        const bool found = q.executeStep();
        if (found) oRowid = q.getColumn(0).getInt64();
        q.reset();
        if (found) return true;
    }
    if (forward) {
        const auto it = iInclusive ? std::lower_bound(mAdded.begin(), mAdded.end(), iFrom)
                                   : std::upper_bound(mAdded.begin(), mAdded.end(), iFrom);
        if (it != mAdded.end()) {
            oRowid = *it;
            return true;
        }
    }
    return false;
}

bool Recordset::lazySeek(int64_t iFrom, bool iInclusive, Direction iDirection) {
    int64_t from = iFrom;
    bool inclusive = iInclusive;
    int64_t r = 0;
    while (lazyStep(from, inclusive, iDirection, r)) {
        if (lazyLoad(r)) {
            mCur = r;
            mAt = At::Record;
            mDeletedHere = false;
            return true;
        }
        from = r;
        inclusive = false;
    }
    return false;
}

bool Recordset::lazyEmpty() {
    int64_t r = 0;
    return !lazyStep(std::numeric_limits<int64_t>::min(), true, Direction::Forward, r);
}

bool Recordset::lazyLoad(int64_t iRowid) {
    SQLite::Statement& q = *mFetch;
    q.tryReset();   // as statement(): an earlier failure is not raised again
    q.bind(1, iRowid);
    if (q.executeStep()) {
        mRow.resize(static_cast<size_t>(mFields.size()));
        for (int i = 0; i < mFields.size(); ++i) mRow[static_cast<size_t>(i)] = dbschema::fromStorage(mFields[i], q.getColumn(i));
        q.reset();
        return true;
    }
    q.reset();
    // Deleted through another handle: an added key is forgotten; the table's keys are not asked for again anyway.
    const auto added = std::lower_bound(mAdded.begin(), mAdded.end(), iRowid);
    if (added != mAdded.end() && *added == iRowid) mAdded.erase(added);
    return false;
}

bool Recordset::lazyFindIn(const QString& iCond, const QList<Variant>& iBinds, int64_t iFrom, bool iInclusive,
                           Direction iDirection, int64_t& oRowid) {
    const bool forward = iDirection == Direction::Forward;
    auto inTable = [&]() {
        if (forward && (iInclusive ? iFrom > mLastKey : iFrom >= mLastKey)) return false;
        SQLite::Statement& q = statement(
            QStringLiteral("SELECT rowid FROM %1 WHERE (%2) AND rowid %3 ? AND rowid <= ? ORDER BY rowid %4 LIMIT 1")
                .arg(dbschema::quoteName(mTable), iCond,
                     forward ? (iInclusive ? QStringLiteral(">=") : QStringLiteral(">"))
                             : (iInclusive ? QStringLiteral("<=") : QStringLiteral("<")),
                     forward ? QStringLiteral("ASC") : QStringLiteral("DESC")));
        for (int i = 0; i < iBinds.size(); ++i) dbschema::bindValue(q, i + 1, iBinds[i]);
        q.bind(iBinds.size() + 1, iFrom);
        q.bind(iBinds.size() + 2, mLastKey);
        const bool found = q.executeStep();
        if (found) oRowid = q.getColumn(0).getInt64();
        q.reset();
        return found;
    };
    auto inAdded = [&]() {
        if (mAdded.empty()) return false;
        SQLite::Statement& q = statement(
            QStringLiteral("SELECT 1 FROM %1 WHERE (%2) AND rowid = ?").arg(dbschema::quoteName(mTable), iCond));
        auto matches = [&](int64_t r) {
            for (int i = 0; i < iBinds.size(); ++i) dbschema::bindValue(q, i + 1, iBinds[i]);
            q.bind(iBinds.size() + 1, r);
            const bool m = q.executeStep();
            q.reset();
            return m;
        };
        if (forward) {
            for (auto it = iInclusive ? std::lower_bound(mAdded.begin(), mAdded.end(), iFrom)
                                      : std::upper_bound(mAdded.begin(), mAdded.end(), iFrom);
                 it != mAdded.end(); ++it)
                if (matches(*it)) { oRowid = *it; return true; }
        } else {
            auto it = iInclusive ? std::upper_bound(mAdded.begin(), mAdded.end(), iFrom)
                                 : std::lower_bound(mAdded.begin(), mAdded.end(), iFrom);
            while (it != mAdded.begin()) {
                --it;
                if (matches(*it)) { oRowid = *it; return true; }
            }
        }
        return false;
    };
    return forward ? inTable() || inAdded() : inAdded() || inTable();
}

void Recordset::materialize() {
    if (!mLazy) return;
    std::vector<int64_t> keys;
    QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE rowid <= ?").arg(dbschema::quoteName(mTable));
    if (!mWhere.isEmpty()) sql += QStringLiteral(" AND (%1)").arg(mWhere);
    sql += QStringLiteral(" ORDER BY rowid");
    SQLite::Statement q(mDb.sqlite(), sql.toStdString());
    q.bind(1, mLastKey);
    for (int i = 0; i < mParams.size(); ++i) dbschema::bindValue(q, i + 2, mParams[i]);
    while (q.executeStep()) keys.push_back(q.getColumn(0).getInt64());
    keys.insert(keys.end(), mAdded.begin(), mAdded.end());
    mKeys = std::move(keys);
    mKeysSorted = true;
    const auto at = std::lower_bound(mKeys.begin(), mKeys.end(), mCur);
    if (mDeletedHere) mPos = static_cast<long>(at - mKeys.begin());   // the one after the deleted record
    else if (mAt == At::Bof) mPos = -1;
    else if (mAt == At::Eof) mPos = static_cast<long>(mKeys.size());
    else if (at != mKeys.end() && *at == mCur) mPos = static_cast<long>(at - mKeys.begin());
    else {
        // The current record, deleted elsewhere since: it keeps its place until the next move.
        mPos = static_cast<long>(at - mKeys.begin());
        mKeys.insert(mKeys.begin() + mPos, mCur);
    }
    mLazy = false;
    mAdded.clear();
}

bool Recordset::load(long iIndex) {
    SQLite::Statement& q = *mFetch;
    q.tryReset();   // as statement(): an earlier failure is not raised again
    q.bind(1, static_cast<int64_t>(mKeys[static_cast<size_t>(iIndex)]));
    if (q.executeStep()) {
        mRow.resize(static_cast<size_t>(mFields.size()));
        for (int i = 0; i < mFields.size(); ++i) mRow[static_cast<size_t>(i)] = dbschema::fromStorage(mFields[i], q.getColumn(i));
        q.reset();
        return true;
    }
    q.reset();
    // Deleted through another handle: the set forgets it.
    forget(iIndex);
    return false;
}

void Recordset::forget(long iIndex) {
    mKeys.erase(mKeys.begin() + iIndex);
    if (iIndex < mPos) --mPos;
    else if (iIndex == mPos && !mDeletedHere) mDeletedHere = true;   // no current record until the next move
}

bool Recordset::seek(long iFrom, Direction iDirection) {
    long i = iFrom;
    if (iDirection == Direction::Forward) {
        while (i >= 0 && i < static_cast<long>(mKeys.size())) {
            if (load(i)) { mPos = i; mDeletedHere = false; return true; }
        }
    } else {
        if (i >= static_cast<long>(mKeys.size())) i = static_cast<long>(mKeys.size()) - 1;
        while (i >= 0) {
            if (load(i)) { mPos = i; mDeletedHere = false; return true; }
            --i;
        }
    }
    return false;
}

void Recordset::discardEdit() {
    mEditMode = dbEditNone;
    mBuffer.clear();
    mAssigned.clear();
}

long Recordset::keyIndex(int64_t iRowid) const {
    if (mKeysSorted) {
        const auto it = std::lower_bound(mKeys.begin(), mKeys.end(), iRowid);
        return it != mKeys.end() && *it == iRowid ? static_cast<long>(it - mKeys.begin()) : -1;
    }
    const auto it = std::find(mKeys.begin(), mKeys.end(), iRowid);
    return it != mKeys.end() ? static_cast<long>(it - mKeys.begin()) : -1;
}

bool Recordset::BOF() const {
    checkOpen();
    if (mLazy) {
        if (!mDeletedHere && mAt != At::Eof) return mAt == At::Bof;
        bool empty = false;
        guarded(mDb, [&] { empty = const_cast<Recordset*>(this)->lazyEmpty(); });
        return empty;
    }
    return mKeys.empty() || (!mDeletedHere && mPos < 0);
}

bool Recordset::EOF_() const {
    checkOpen();
    if (mLazy) {
        if (!mDeletedHere && mAt != At::Bof) return mAt == At::Eof;
        bool empty = false;
        guarded(mDb, [&] { empty = const_cast<Recordset*>(this)->lazyEmpty(); });
        return empty;
    }
    return mKeys.empty() || (!mDeletedHere && mPos >= static_cast<long>(mKeys.size()));
}

long Recordset::AbsolutePosition() const {
    checkOpen();
    if (mLazy) guarded(mDb, [&] { const_cast<Recordset*>(this)->materialize(); });
    return hasCurrent() ? mPos : -1;
}

long Recordset::RecordCount() const {
    checkOpen();
    if (mLazy) guarded(mDb, [&] { const_cast<Recordset*>(this)->materialize(); });
    return static_cast<long>(mKeys.size());
}

RecordBookmark Recordset::Bookmark() const {
    checkOpen();
    if (!hasCurrent()) vbRaise(vberr::kNoCurrentRecord);
    return RecordBookmark{currentRowid(), true};
}

void Recordset::MoveFirst() { act(vbDataActionMoveFirst, [this] { doMoveFirst(); }); }
void Recordset::MoveLast() { act(vbDataActionMoveLast, [this] { doMoveLast(); }); }
void Recordset::MoveNext() { act(vbDataActionMoveNext, [this] { doMoveNext(); }); }
void Recordset::MovePrevious() { act(vbDataActionMovePrevious, [this] { doMovePrevious(); }); }

void Recordset::doMoveFirst() {
    if (mLazy) {
        bool moved = false;
        guarded(mDb, [&] {
            if (lazyEmpty()) return;
            discardEdit();
            moved = true;
            if (!lazySeek(std::numeric_limits<int64_t>::min(), true, Direction::Forward)) mAt = At::Eof;
        });
        if (!moved) vbRaise(vberr::kNoCurrentRecord);
        return;
    }
    if (mKeys.empty()) vbRaise(vberr::kNoCurrentRecord);
    discardEdit();
    guarded(mDb, [this] { if (!seek(0, Direction::Forward)) mPos = static_cast<long>(mKeys.size()); });
}

void Recordset::doMoveLast() {
    if (mLazy) {
        bool moved = false;
        guarded(mDb, [&] {
            if (lazyEmpty()) return;
            discardEdit();
            moved = true;
            if (!lazySeek(std::numeric_limits<int64_t>::max(), true, Direction::Backward)) {
                mAt = At::Bof;
                mDeletedHere = false;
            }
        });
        if (!moved) vbRaise(vberr::kNoCurrentRecord);
        return;
    }
    if (mKeys.empty()) vbRaise(vberr::kNoCurrentRecord);
    discardEdit();
    guarded(mDb, [this] {
        if (!seek(static_cast<long>(mKeys.size()) - 1, Direction::Backward)) {
            mPos = -1;
            mDeletedHere = false;
        }
    });
}

void Recordset::doMoveNext() {
    if (EOF_()) vbRaise(vberr::kNoCurrentRecord);
    discardEdit();
    if (mLazy) {
        guarded(mDb, [&] {
            const bool fromStart = !mDeletedHere && mAt == At::Bof;
            if (!lazySeek(fromStart ? std::numeric_limits<int64_t>::min() : mCur, fromStart, Direction::Forward)) {
                mAt = At::Eof;
                mDeletedHere = false;
            }
        });
        return;
    }
    const long from = mDeletedHere ? mPos : mPos + 1;
    guarded(mDb, [&] {
        if (!seek(from, Direction::Forward)) {
            mPos = static_cast<long>(mKeys.size());
            mDeletedHere = false;
        }
    });
}

void Recordset::doMovePrevious() {
    if (BOF()) vbRaise(vberr::kNoCurrentRecord);
    discardEdit();
    if (mLazy) {
        guarded(mDb, [&] {
            const bool fromEnd = !mDeletedHere && mAt == At::Eof;
            if (!lazySeek(fromEnd ? std::numeric_limits<int64_t>::max() : mCur, fromEnd, Direction::Backward)) {
                mAt = At::Bof;
                mDeletedHere = false;
            }
        });
        return;
    }
    guarded(mDb, [&] {
        if (!seek(mPos - 1, Direction::Backward)) {
            mPos = -1;
            mDeletedHere = false;
        }
    });
}

void Recordset::setBookmark(const RecordBookmark& iBookmark) {
    act(vbDataActionBookmark, [this, iBookmark] { doSetBookmark(iBookmark); });
}

void Recordset::doSetBookmark(const RecordBookmark& iBookmark) {
    if (mLazy) {
        const int64_t r = iBookmark.rowid;
        const bool added = std::binary_search(mAdded.begin(), mAdded.end(), r);
        if (!iBookmark.valid || (r > mLastKey && !added)) vbRaise(3159, QStringLiteral("Not a valid bookmark."));
        discardEdit();
        // A record gone from the file is forgotten, as one passed over by a move is.
        bool member = true;
        guarded(mDb, [&] {
            if (!added && !mWhere.isEmpty()) {
                SQLite::Statement& q = statement(QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ? AND (%2)")
                                                     .arg(dbschema::quoteName(mTable), mWhere));
                q.bind(1, r);
                for (int i = 0; i < mParams.size(); ++i) dbschema::bindValue(q, i + 2, mParams[i]);
                member = q.executeStep();
                q.reset();
            }
            member = member && lazyLoad(r);
        });
        if (!member) vbRaise(3159, QStringLiteral("Not a valid bookmark."));
        mCur = r;
        mAt = At::Record;
        mDeletedHere = false;
        return;
    }
    const long index = iBookmark.valid ? keyIndex(iBookmark.rowid) : -1;
    if (index < 0) vbRaise(3159, QStringLiteral("Not a valid bookmark."));
    discardEdit();
    guarded(mDb, [&] {
        if (!load(index)) vbRaise(3167, QStringLiteral("Record is deleted."));
    });
    mPos = index;
    mDeletedHere = false;
}

void Recordset::FindFirst(const QString& iCriteria) {
    act(vbDataActionFind, [&] { doFind(iCriteria, nullptr, true, Direction::Forward); });
}
void Recordset::FindLast(const QString& iCriteria) {
    act(vbDataActionFind, [&] { doFind(iCriteria, nullptr, true, Direction::Backward); });
}
void Recordset::FindNext(const QString& iCriteria) {
    act(vbDataActionFind, [&] { doFind(iCriteria, nullptr, false, Direction::Forward); });
}
void Recordset::FindPrevious(const QString& iCriteria) {
    act(vbDataActionFind, [&] { doFind(iCriteria, nullptr, false, Direction::Backward); });
}
void Recordset::FindFirst(const QString& iCriteria, const Variant& iValue) {
    act(vbDataActionFind, [&] { doFind(iCriteria, &iValue, true, Direction::Forward); });
}
void Recordset::FindLast(const QString& iCriteria, const Variant& iValue) {
    act(vbDataActionFind, [&] { doFind(iCriteria, &iValue, true, Direction::Backward); });
}
void Recordset::FindNext(const QString& iCriteria, const Variant& iValue) {
    act(vbDataActionFind, [&] { doFind(iCriteria, &iValue, false, Direction::Forward); });
}
void Recordset::FindPrevious(const QString& iCriteria, const Variant& iValue) {
    act(vbDataActionFind, [&] { doFind(iCriteria, &iValue, false, Direction::Backward); });
}

QString Recordset::findCondition(const QString& iCriteria, const Variant* iValue, QList<Variant>& oBinds) const {
    const QList<Term> terms = parseCriteria(iCriteria, iValue);
    QStringList conds;
    oBinds.clear();
    for (const Term& t : terms) {
        auto f = std::find_if(mTableFields.cbegin(), mTableFields.cend(), [&](const FieldDef& d) {
            return d.name.compare(t.field, Qt::CaseInsensitive) == 0;
        });
        if (f == mTableFields.cend())
            vbRaise(3070, QStringLiteral("The database engine does not recognize '%1' as a valid field name.").arg(t.field));
        conds << QStringLiteral("%1 %2 ?").arg(dbschema::quoteName(f->name), t.op);
        oBinds << criteriaValue(*f, t.value);
    }
    QString cond = conds.join(QStringLiteral(" AND "));
    if (!mWhere.isEmpty()) {
        cond = QStringLiteral("(%1) AND (%2)").arg(cond, mWhere);
        oBinds += mParams;
    }
    return cond;
}

void Recordset::doFind(const QString& iCriteria, const Variant* iValue, bool iFromEnd, Direction iDirection) {
    QList<Variant> binds;
    const QString cond = findCondition(iCriteria, iValue, binds);
    discardEdit();

    if (mLazy) {
        const bool forward = iDirection == Direction::Forward;
        const int64_t edge = forward ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        int64_t from = edge;
        bool inclusive = true;
        bool any = true;
        if (iFromEnd) {
        } else if (hasCurrent() || mDeletedHere) {
            from = mCur;
            inclusive = false;
        } else {
            // Before the first record only a forward search finds anything, after the last only a backward one.
            any = forward ? mAt == At::Bof : mAt == At::Eof;
        }
        bool found = false;
        int64_t r = 0;
        guarded(mDb, [&] {
            found = any && lazyFindIn(cond, binds, from, inclusive, iDirection, r) && lazyLoad(r);
        });
        if (!found) {
            mNoMatch = true;   // the current record stays
            return;
        }
        mCur = r;
        mAt = At::Record;
        mDeletedHere = false;
        mNoMatch = false;
        return;
    }

    const long n = static_cast<long>(mKeys.size());
    const bool forward = iDirection == Direction::Forward;
    long start;
    if (iFromEnd) start = forward ? 0 : n - 1;
    else if (hasCurrent()) start = forward ? mPos + 1 : mPos - 1;
    else if (mDeletedHere) start = forward ? mPos : mPos - 1;
    else start = forward ? (mPos < 0 ? 0 : n) : (mPos >= n ? n - 1 : -1);

    long found = -1;
    guarded(mDb, [&] {
        if (start < 0 || start >= n) return;
        if (mKeysSorted) {
            // The keys ascend, so the file's own index finds the next match at any table size.
            SQLite::Statement& q = statement(
                QStringLiteral("SELECT rowid FROM %1 WHERE (%2) AND rowid %3 ? ORDER BY rowid %4 LIMIT 1")
                    .arg(dbschema::quoteName(mTable), cond, forward ? QStringLiteral(">=") : QStringLiteral("<="),
                         forward ? QStringLiteral("ASC") : QStringLiteral("DESC")));
            int64_t bound = mKeys[static_cast<size_t>(start)];
            for (;;) {
                q.reset();
                for (int i = 0; i < binds.size(); ++i) dbschema::bindValue(q, i + 1, binds[i]);
                q.bind(binds.size() + 1, bound);
                if (!q.executeStep()) break;
                const int64_t r = q.getColumn(0).getInt64();
                q.reset();
                const long index = keyIndex(r);
                if (index >= 0) { found = index; break; }
                bound = forward ? r + 1 : r - 1;   // added elsewhere after the set was taken: not ours
            }
            q.reset();
        } else {
            SQLite::Statement& q = statement(
                QStringLiteral("SELECT rowid FROM %1 WHERE %2").arg(dbschema::quoteName(mTable), cond));
            for (int i = 0; i < binds.size(); ++i) dbschema::bindValue(q, i + 1, binds[i]);
            std::unordered_set<int64_t> matches;
            while (q.executeStep()) matches.insert(q.getColumn(0).getInt64());
            q.reset();
            for (long i = start; i >= 0 && i < n; i += forward ? 1 : -1)
                if (matches.count(mKeys[static_cast<size_t>(i)])) { found = i; break; }
        }
        if (found >= 0 && !load(found)) found = -1;
    });
    if (found < 0) {
        mNoMatch = true;   // the current record stays
        return;
    }
    mPos = found;
    mDeletedHere = false;
    mNoMatch = false;
}

void Recordset::FindEach(const QString& iCriteria, const Variant& iValue, const std::function<bool()>& iVisit) {
    act(vbDataActionFind, [&] { doFindEach(iCriteria, iValue, iVisit); });
}

void Recordset::doFindEach(const QString& iCriteria, const Variant& iValue, const std::function<bool()>& iVisit) {
    QList<Variant> binds;
    const QString cond = findCondition(iCriteria, &iValue, binds);
    discardEdit();
    mNoMatch = true;
    if (!mLazy && mKeys.empty()) return;
    QStringList cols;
    for (const FieldDef& f : mFields) cols << dbschema::quoteName(f.name);
    // One statement reads the matching records with their fields in one read of
    // the file, with no search and no fetch of its own per record; a statement
    // of its own, so that what a visit does cannot reset it halfway.
    const bool ordered = mLazy || mKeysSorted;
    int64_t low = std::numeric_limits<int64_t>::min(), high = std::numeric_limits<int64_t>::max();
    if (!mLazy && mKeysSorted) {
        low = mKeys.front();
        high = mKeys.back();
    } else if (mLazy && mAdded.empty()) {
        high = mLastKey;
    }
    std::unique_ptr<SQLite::Statement> q;
    guarded(mDb, [&] {
        q = std::make_unique<SQLite::Statement>(
            mDb.sqlite(), QStringLiteral("SELECT rowid, %1 FROM %2 WHERE (%3) AND rowid >= ? AND rowid <= ? ORDER BY rowid")
                              .arg(cols.join(QStringLiteral(", ")), dbschema::quoteName(mTable), cond)
                              .toStdString());
        for (int i = 0; i < binds.size(); ++i) dbschema::bindValue(*q, i + 1, binds[i]);
        q->bind(binds.size() + 1, low);
        q->bind(binds.size() + 2, high);
    });
    // Ours: a key of the set (one added elsewhere after the set was taken is not).
    auto member = [&](int64_t iRowid, long& oIndex) {
        if (!mLazy) return (oIndex = keyIndex(iRowid)) >= 0;
        return iRowid <= mLastKey || std::binary_search(mAdded.begin(), mAdded.end(), iRowid);
    };
    auto current = [&](int64_t iRowid, long iIndex) {
        if (mLazy) {
            mCur = iRowid;
            mAt = At::Record;
        } else {
            mPos = iIndex;
        }
        mDeletedHere = false;
        mNoMatch = false;
    };
    // An unordered set meets its records in its own order: visited after the read.
    std::vector<std::pair<long, std::vector<Variant>>> unordered;
    for (;;) {
        bool more = false;
        long index = -1;
        int64_t rowid = 0;
        guarded(mDb, [&] {
            while ((more = q->executeStep()))
                if (member(rowid = q->getColumn(0).getInt64(), index)) break;
            if (!more) return;
            std::vector<Variant> row;
            std::vector<Variant>& into = ordered ? mRow : row;
            into.resize(static_cast<size_t>(mFields.size()));
            for (int i = 0; i < mFields.size(); ++i)
                into[static_cast<size_t>(i)] = dbschema::fromStorage(mFields[i], q->getColumn(i + 1));
            if (!ordered) unordered.emplace_back(index, std::move(row));
        });
        if (!more) break;
        if (!ordered) continue;
        current(rowid, index);
        if (!iVisit()) return;
    }
    if (ordered) return;
    std::sort(unordered.begin(), unordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [index, row] : unordered) {
        mRow = std::move(row);
        current(0, index);
        if (!iVisit()) return;
    }
}

void Recordset::Edit() {
    checkOpen();
    checkWritable();
    if (!hasCurrent()) vbRaise(vberr::kNoCurrentRecord);
    discardEdit();
    bool present = false;
    guarded(mDb, [&] { present = mLazy ? lazyLoad(mCur) : load(mPos); });
    if (!present) vbRaise(3167, QStringLiteral("Record is deleted."));
    mBuffer = mRow;
    mAssigned.assign(mRow.size(), false);
    mEditMode = dbEditInProgress;
}

void Recordset::AddNew() { act(vbDataActionAddNew, [this] { doAddNew(); }); }

void Recordset::doAddNew() {
    checkWritable();
    discardEdit();
    mBuffer.clear();
    for (const FieldDef& f : mFields) mBuffer.push_back(f.defaultValue.isEmpty() ? Variant::null() : f.defaultValue);
    mAssigned.assign(mBuffer.size(), false);
    mEditMode = dbEditAdd;
}

void Recordset::CancelUpdate() {
    checkOpen();
    if (mEditMode == dbEditNone) vbRaise(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    discardEdit();
}

void Recordset::Update() { act(vbDataActionUpdate, [this] { doUpdate(); }); }

void Recordset::doUpdate() {
    if (mEditMode == dbEditNone) vbRaise(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    checkWritable();
    QList<int> written;
    for (int i = 0; i < mFields.size(); ++i) {
        const bool counts = mEditMode == dbEditAdd || mAssigned[static_cast<size_t>(i)];
        if (counts && mFields[i].required && mBuffer[static_cast<size_t>(i)].isNull())
            vbRaise(3314, QStringLiteral("The field '%1.%2' can't contain a Null value because the Required property "
                                         "for this field is set to True. Enter a value in this field.")
                              .arg(mTable, mFields[i].name));
        if (mAssigned[static_cast<size_t>(i)]) written << i;
    }
    const QString table = dbschema::quoteName(mTable);
    if (mEditMode == dbEditInProgress) {
        const int64_t rowid = currentRowid();
        if (!written.isEmpty()) {
            QStringList sets;
            for (int i : written) sets << dbschema::quoteName(mFields[i].name) + QStringLiteral(" = ?");
            int changed = 0;
            guarded(mDb, [&] {
                SQLite::Statement& q = statement(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                                     .arg(table, sets.join(QStringLiteral(", "))));
                int b = 1;
                for (int i : written) dbschema::bindValue(q, b++, mBuffer[static_cast<size_t>(i)]);
                q.bind(b, rowid);
                changed = q.exec();
                q.reset();
            });
            if (changed == 0) {
                discardEdit();
                guarded(mDb, [&] { mLazy ? lazyLoad(mCur) : load(mPos); });
                vbRaise(3167, QStringLiteral("Record is deleted."));
            }
        }
        discardEdit();
        mLastModified = RecordBookmark{rowid, true};
        guarded(mDb, [&] { mLazy ? lazyLoad(mCur) : load(mPos); });
        return;
    }
    int64_t rowid = 0;
    guarded(mDb, [&] {
        QString sql;
        if (written.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
        } else {
            QStringList names, marks;
            for (int i : written) {
                names << dbschema::quoteName(mFields[i].name);
                marks << QStringLiteral("?");
            }
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        }
        SQLite::Statement& q = statement(sql);
        int b = 1;
        for (int i : written) dbschema::bindValue(q, b++, mBuffer[static_cast<size_t>(i)]);
        q.exec();
        q.reset();
        rowid = mDb.sqlite().getLastInsertRowid();
    });
    // A key below one the set holds (the file reused a key): the set takes its keys, to keep its order.
    if (mLazy && (rowid <= mLastKey || (!mAdded.empty() && rowid <= mAdded.back()))) {
        try {
            guarded(mDb, [&] { materialize(); });
        } catch (...) {
            discardEdit();
            throw;
        }
    }
    if (mLazy) {
        mAdded.push_back(rowid);
        discardEdit();
        mLastModified = RecordBookmark{rowid, true};
        return;
    }
    // The file gives a new record the key of one deleted through another handle
    // (or, when the keys were read just now, already holds the new one): the set
    // still holding that key forgets it, so the new record is listed once, at the
    // end. Were it the current record, it is gone: no current record until the
    // next move, so that an Edit or Delete cannot reach the new one in its stead.
    if (const long held = keyIndex(rowid); held >= 0) forget(held);
    const bool wasEof = !mDeletedHere && mPos >= static_cast<long>(mKeys.size());
    if (!mKeys.empty() && rowid < mKeys.back()) mKeysSorted = false;
    mKeys.push_back(rowid);
    if (wasEof) mPos = static_cast<long>(mKeys.size());
    discardEdit();
    mLastModified = RecordBookmark{rowid, true};
}

void Recordset::Delete() { act(vbDataActionDelete, [this] { doDelete(); }); }

void Recordset::doDelete() {
    checkWritable();
    if (!hasCurrent()) vbRaise(vberr::kNoCurrentRecord);
    discardEdit();
    const int64_t rowid = currentRowid();
    guarded(mDb, [&] {
        SQLite::Statement& q = statement(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(dbschema::quoteName(mTable)));
        q.bind(1, rowid);
        q.exec();
        q.reset();
    });
    if (mLazy) {
        // The key stays as the place the next move starts from.
        const auto added = std::lower_bound(mAdded.begin(), mAdded.end(), rowid);
        if (added != mAdded.end() && *added == rowid) mAdded.erase(added);
    } else {
        mKeys.erase(mKeys.begin() + mPos);
    }
    mDeletedHere = true;
    mRow.clear();
}

void Recordset::Requery() {
    checkOpen();
    discardEdit();
    mNoMatch = false;
    mDeletedHere = false;
    guarded(mDb, [this] {
        if (mOrder.isEmpty() && mWhere.isEmpty()) {
            lazyTake();
            return;
        }
        buildKeys();
        mPos = 0;
        if (!seek(0, Direction::Forward)) mPos = static_cast<long>(mKeys.size());
    });
}

QString Recordset::fieldName(int iIndex) const {
    checkOpen();
    if (iIndex < 0 || iIndex >= mFields.size()) vbRaise(3265, QStringLiteral("Item not found in this collection."));
    return mFields[iIndex].name;
}

int Recordset::fieldIndex(const QString& iName) const {
    // Callers mostly spell a field as it is declared: that look-up needs no case folding.
    const auto exact = mFieldIndexExact.constFind(iName);
    if (exact != mFieldIndexExact.cend()) return *exact;
    return mFieldIndex.value(iName.toLower(), -1);
}

int Recordset::checkedIndex(const QString& iName) const {
    checkOpen();
    const int i = fieldIndex(iName);
    if (i < 0) vbRaise(3265, QStringLiteral("Item not found in this collection ('%1' in '%2').").arg(iName, mTable));
    return i;
}

Variant Recordset::field(const QString& iName) const { return field(checkedIndex(iName)); }

Variant Recordset::field(int iIndex) const {
    checkOpen();
    if (iIndex < 0 || iIndex >= mFields.size()) vbRaise(3265, QStringLiteral("Item not found in this collection."));
    if (mEditMode != dbEditNone) return mBuffer[static_cast<size_t>(iIndex)];
    if (!hasCurrent()) vbRaise(vberr::kNoCurrentRecord);
    return mRow[static_cast<size_t>(iIndex)];
}

void Recordset::setField(const QString& iName, const Variant& iValue) { setField(checkedIndex(iName), iValue); }

void Recordset::setField(int iIndex, const Variant& iValue) {
    checkOpen();
    if (iIndex < 0 || iIndex >= mFields.size()) vbRaise(3265, QStringLiteral("Item not found in this collection."));
    if (mEditMode == dbEditNone) vbRaise(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    mBuffer[static_cast<size_t>(iIndex)] = dbschema::toStorage(mFields[iIndex], iValue);
    mAssigned[static_cast<size_t>(iIndex)] = true;
}
