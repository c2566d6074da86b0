#pragma once
#include "platform/data/Database.h"
#include "platform/data/Schema.h"
#include "platform/vb/Variant.h"
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace SQLite { class Statement; }

// What a data control is told before each operation on its record set
// (the run-time's action codes).
constexpr int vbDataActionCancel = 0;
constexpr int vbDataActionMoveFirst = 1;
constexpr int vbDataActionMovePrevious = 2;
constexpr int vbDataActionMoveNext = 3;
constexpr int vbDataActionMoveLast = 4;
constexpr int vbDataActionAddNew = 5;
constexpr int vbDataActionUpdate = 6;
constexpr int vbDataActionDelete = 7;
constexpr int vbDataActionFind = 8;
constexpr int vbDataActionBookmark = 9;
constexpr int vbDataActionClose = 10;
constexpr int vbDataActionUnload = 11;

constexpr int dbEditNone = 0;
constexpr int dbEditInProgress = 1;
constexpr int dbEditAdd = 2;

// A record's place in its record set, valid for the record's life.
struct RecordBookmark {
    int64_t rowid = 0;
    bool valid = false;
    friend bool operator==(const RecordBookmark&, const RecordBookmark&) = default;
};

// Implemented by the data control that owns a record set: every move, find,
// AddNew, Update and Delete runs through it so that it can validate, write its
// bound controls and refill them around the operation.
class RecordsetEvents {
public:
    virtual void recordsetAction(int iAction, const std::function<void()>& iOperation) = 0;
protected:
    ~RecordsetEvents() = default;
};

// An updatable set of records of one table: the keys of its records are taken
// when it opens (in insertion order, or the ORDER BY of a query), the values
// are read from the file whenever a record becomes current. Records added here
// join the end; records added elsewhere later are not in the set; records
// deleted elsewhere are passed over silently; when the file gives a record
// added here the key of one deleted elsewhere, the set drops the old key, so
// that it lists every record once. A set on a whole table does not
// read its keys when it opens: it keeps the last key the table had then and
// the keys it added itself, and moves by asking the file for the next key; its
// keys are read only when its RecordCount or AbsolutePosition is asked for.
// A query's set takes its keys when it opens (its WHERE is read on its index).
// Errors: 3021 no current record, 3020 Update without Edit/AddNew, 3027
// read-only, 3159 bad bookmark, 3167 record deleted, 3265 no such field,
// 3077 criteria not understood, 3464 criteria value of the wrong type.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // (Re)opens in place on a table name or "SELECT * | fields FROM table
    // [WHERE ...] [ORDER BY ...]" with '?' parameters; the first record becomes current.
    void open(const Database& iDb, const QString& iSource, const QList<Variant>& iParams = {});
    void Close();
    bool isOpen() const { return mOpen; }
    const Database& database() const { return mDb; }
    QString tableName() const { return mTable; }

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    bool BOF() const;
    bool EOF_() const;                 // EOF is the C library's macro
    long AbsolutePosition() const;     // 0-based; -1 without a current record
    long RecordCount() const;          // every record of the set, no MoveLast needed
    RecordBookmark Bookmark() const;
    void setBookmark(const RecordBookmark& iBookmark);
    RecordBookmark LastModified() const { return mLastModified; }
    bool NoMatch() const { return mNoMatch; }
    int EditMode() const { return mEditMode; }

    // Criteria: field comparison value, joined by AND; comparisons = <> < > <= >=;
    // values 'text' ('' inside for an apostrophe), "text", numbers, True, False,
    // or ? for the value passed separately. Text compares without regard to case.
    // No match: NoMatch is True and the current record stays.
    void FindFirst(const QString& iCriteria);
    void FindLast(const QString& iCriteria);
    void FindNext(const QString& iCriteria);
    void FindPrevious(const QString& iCriteria);
    void FindFirst(const QString& iCriteria, const Variant& iValue);
    void FindLast(const QString& iCriteria, const Variant& iValue);
    void FindNext(const QString& iCriteria, const Variant& iValue);
    void FindPrevious(const QString& iCriteria, const Variant& iValue);

    // Visits the records that meet the criteria (with ? for iValue) in the set's
    // order, each current in turn, as FindFirst and FindNext would meet them,
    // but in one read of the file; iVisit returns false to stop. The last record
    // visited stays current; with none, NoMatch is True and the current record
    // stays. The set must not be changed while it walks.
    void FindEach(const QString& iCriteria, const Variant& iValue, const std::function<bool()>& iVisit);

    void Edit();          // re-reads the current record into the edit buffer
    void AddNew();        // a new record with the fields' defaults
    void Update();        // writes the fields assigned since Edit/AddNew
    void CancelUpdate();
    void Delete();        // no current record until the next move
    void Requery();       // takes the keys again; the first record becomes current

    int fieldCount() const { return static_cast<int>(mFields.size()); }
    QString fieldName(int iIndex) const;
    int fieldIndex(const QString& iName) const;   // any letter case; -1 when none
    Variant field(const QString& iName) const;
    Variant field(int iIndex) const;
    void setField(const QString& iName, const Variant& iValue);
    void setField(int iIndex, const Variant& iValue);

private:
    friend class DataControl;
    enum class Direction { Forward, Backward };

    void act(int iAction, const std::function<void()>& iOperation);
    void checkOpen() const;
    void checkWritable() const;
    bool hasCurrent() const;
    int checkedIndex(const QString& iName) const;
    void discardEdit();
    bool load(long iIndex);                    // false (and the key dropped) when the record is gone
    void forget(long iIndex);                  // a key of a record gone from the file
    bool seek(long iFrom, Direction iDirection);
    void buildKeys();
    void doMoveFirst();
    void doMoveLast();
    void doMoveNext();
    void doMovePrevious();
    QString findCondition(const QString& iCriteria, const Variant* iValue, QList<Variant>& oBinds) const;
    void doFind(const QString& iCriteria, const Variant* iValue, bool iFromEnd, Direction iDirection);
    void doFindEach(const QString& iCriteria, const Variant& iValue, const std::function<bool()>& iVisit);
    void doSetBookmark(const RecordBookmark& iBookmark);
    void doAddNew();
    void doUpdate();
    void doDelete();
    long keyIndex(int64_t iRowid) const;       // -1 when not in the set
    // The set in insertion order whose keys are not read (see above).
    enum class At { Bof, Record, Eof };
    void lazyTake();                           // the last key now; the first record current
    bool lazyStep(int64_t iFrom, bool iInclusive, Direction iDirection, int64_t& oRowid);
    bool lazySeek(int64_t iFrom, bool iInclusive, Direction iDirection);
    bool lazyEmpty();
    bool lazyLoad(int64_t iRowid);             // false (and an added key dropped) when the record is gone
    bool lazyFindIn(const QString& iCond, const QList<Variant>& iBinds, int64_t iFrom, bool iInclusive,
                    Direction iDirection, int64_t& oRowid);
    void materialize();                        // reads the keys: the set in the eager form
    int64_t currentRowid() const;
    SQLite::Statement& statement(const QString& iSql);

    Database mDb;                              // first: outlives the statements below
    RecordsetEvents* mEvents = nullptr;
    bool mOpen = false;
    QString mTable;                            // as the file spells it
    QString mWhere;                            // of a query, without WHERE
    QString mOrder;                            // of a query, without ORDER BY
    QList<Variant> mParams;
    QList<FieldDef> mFields;                   // the set's fields
    QList<FieldDef> mTableFields;              // all of the table's, for criteria
    QHash<QString, int> mFieldIndex;           // lower-case name -> position
    QHash<QString, int> mFieldIndexExact;      // declared name -> position
    bool mLazy = false;
    int64_t mLastKey = 0;                      // lazy: the table's last key when the set was taken
    std::vector<int64_t> mAdded;               // lazy: keys added here after it, ascending
    At mAt = At::Bof;                          // lazy: where the set stands
    int64_t mCur = 0;                          // lazy: the current record's key (or the one deleted here)
    std::vector<int64_t> mKeys;
    bool mKeysSorted = true;                   // ascending rowids: finds can seek
    long mPos = -1;                            // -1 BOF, size() EOF
    // The database file the set was last meant for, kept when it closes or
    // fails to open, so that a use of the closed set can name it.
    QString mFileName;
    bool mDeletedHere = false;                 // current record deleted: mPos is the one after it
    std::vector<Variant> mRow;
    int mEditMode = dbEditNone;
    std::vector<Variant> mBuffer;
    std::vector<bool> mAssigned;
    RecordBookmark mLastModified;
    bool mNoMatch = false;
    std::unique_ptr<SQLite::Statement> mFetch;
    std::unique_ptr<SQLite::Statement> mSteps[4];   // lazy: backward/forward, exclusive/inclusive
    QHash<QString, std::shared_ptr<SQLite::Statement>> mStatements;
};
