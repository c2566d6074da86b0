#pragma once
#include "platform/data/BoundControl.h"
#include "platform/data/Recordset.h"
#include "platform/vb/VbError.h"
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// What the Error handler answers.
constexpr int vbDataErrContinue = 0;   // swallow the error
constexpr int vbDataErrDisplay = 1;    // pass it on to the code that asked for the operation

// A data control: one record set (on DatabaseName and RecordSource) for its
// whole life, and the controls bound to it kept in step with its current record.
//
// Every move, find, bookmark, AddNew, Update and Delete on Recordset(), Refresh
// and the window's unload run in this order:
//  1. save := some bound control's DataChanged;
//  2. onValidate(action, save): the handler may ask, change save, edit fields,
//     call UpdateRecord, move other data controls, unload windows;
//  3. action 0 cancels: nothing written, nothing moved, the edits stay;
//  4. save True: the changed bound values (with any fields assigned in code)
//     are written in one Update; a failure goes to onError, abandons the
//     operation and keeps the edits;
//  5. the operation;
//  6. every bound control is refilled from the current record (Null, or no
//     current record, shows empty), raising its change event, and its
//     DataChanged is cleared;
//  7. onReposition.
// A move without save discards a pending Edit/AddNew, as the record set does.
// A failed find still refills and raises Reposition on the unchanged record.
class DataControl : private RecordsetEvents {
public:
    explicit DataControl(const QString& iName = QString());
    ~DataControl();
    DataControl(const DataControl&) = delete;
    DataControl& operator=(const DataControl&) = delete;

    const QString& name() const { return mName; }

    // Read when the record set is opened (Refresh).
    void setDatabaseName(const QString& iName) { mDatabaseName = iName; }
    const QString& DatabaseName() const { return mDatabaseName; }
    // A table name or a SELECT with '?' parameters (see Recordset::open).
    void setRecordSource(const QString& iSource, const QList<Variant>& iParams = {});
    const QString& RecordSource() const { return mRecordSource; }
    void setReadOnly(bool iReadOnly) { mReadOnly = iReadOnly; }
    bool ReadOnly() const { return mReadOnly; }
    void setExclusive(bool iExclusive) { mExclusive = iExclusive; }
    bool Exclusive() const { return mExclusive; }

    // The one record set; closed (3420 on use) until the first Refresh.
    ::Recordset& Recordset() { return *mRecordset; }

    // Opens the record set, or re-opens it in place (action 10) on the current
    // DatabaseName and RecordSource; the first record becomes current.
    void Refresh();
    // Writes the changed bound values without Validate or Reposition and clears
    // their DataChanged. Errors go to the caller.
    void UpdateRecord();
    // The window unloads: Validate with action 11, then the write; false when
    // the handler cancelled (the window stays) or the write failed.
    bool Unload();

    const QList<BoundControl*>& boundControls() const { return mControls; }

    std::function<void(int& ioAction, bool& ioSave)> onValidate;
    std::function<void()> onReposition;
    std::function<void(const VbError& iError, int& ioResponse)> onError;

private:
    friend class BoundControl;
    void attach(BoundControl* iControl);
    void detach(BoundControl* iControl);
    void recordsetAction(int iAction, const std::function<void()>& iOperation) override;
    bool run(int iAction, const std::function<void()>& iOperation);
    bool anyChanged() const;
    void writeBound(bool iUpdate);
    bool failed(const VbError& iError, const std::shared_ptr<bool>& iAlive);
    void openNow();
    void refill(const std::shared_ptr<bool>& iAlive);

    QString mName;
    QString mDatabaseName;
    QString mRecordSource;
    QList<Variant> mParams;
    bool mReadOnly = false;
    bool mExclusive = false;
    std::unique_ptr<::Recordset> mRecordset;
    QList<BoundControl*> mControls;
    // Cleared when the control is destroyed, so that a sequence whose handler
    // unloaded the window stops there.
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};
