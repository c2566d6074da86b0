#include "platform/data/DataControl.h"
#include "platform/data/Database.h"

DataControl::DataControl(const QString& iName) : mName(iName), mRecordset(std::make_unique<::Recordset>()) {
    mRecordset->mEvents = this;
}

DataControl::~DataControl() {
    *mAlive = false;
    for (BoundControl* c : mControls) c->mSource = nullptr;
    mRecordset->mEvents = nullptr;
}

void DataControl::setRecordSource(const QString& iSource, const QList<Variant>& iParams) {
    mRecordSource = iSource;
    mParams = iParams;
}

void DataControl::attach(BoundControl* iControl) {
    if (!mControls.contains(iControl)) mControls << iControl;
}

void DataControl::detach(BoundControl* iControl) { mControls.removeAll(iControl); }

bool DataControl::anyChanged() const {
    for (const BoundControl* c : mControls)
        if (c->DataChanged() && !c->DataField().isEmpty()) return true;
    return false;
}

void DataControl::writeBound(bool iUpdate) {
    ::Recordset& rs = *mRecordset;
    const bool began = rs.EditMode() == dbEditNone;
    if (began) rs.Edit();
    try {
        for (BoundControl* c : mControls)
            if (c->DataChanged() && !c->DataField().isEmpty()) rs.setField(c->DataField(), c->boundValue());
        if (iUpdate) rs.doUpdate();
    } catch (...) {
        if (began && rs.EditMode() != dbEditNone) rs.discardEdit();
        throw;
    }
}

bool DataControl::failed(const VbError& iError, const std::shared_ptr<bool>& iAlive) {
    int response = vbDataErrDisplay;
    if (const auto handler = onError) handler(iError, response);
    if (*iAlive && response != vbDataErrContinue) throw VbError(iError);
    return false;
}

void DataControl::openNow() {
    // Named before the attempt: a file that fails to open is the one later uses name.
    mRecordset->mFileName = mDatabaseName;
    const Database db = OpenDatabase(mDatabaseName, mExclusive, mReadOnly);
    mRecordset->open(db, mRecordSource, mParams);
}

void DataControl::refill(const std::shared_ptr<bool>& iAlive) {
    ::Recordset& rs = *mRecordset;
    const QList<BoundControl*> controls = mControls;
    for (BoundControl* c : controls) {
        if (!mControls.contains(c) || c->DataField().isEmpty()) continue;   // a handler unbound it
        const bool shown = rs.isOpen() && (rs.EditMode() != dbEditNone || rs.hasCurrent());
        c->setBoundValue(shown ? rs.field(c->DataField()) : Variant::null());
        if (!*iAlive) return;
        if (mControls.contains(c)) c->setDataChanged(false);
    }
}

void DataControl::recordsetAction(int iAction, const std::function<void()>& iOperation) { run(iAction, iOperation); }

bool DataControl::run(int iAction, const std::function<void()>& iOperation) {
    const std::shared_ptr<bool> alive = mAlive;
    bool save = anyChanged();
    int action = iAction;
    // Copies: a handler may destroy this control, and with it the handler itself.
    if (const auto handler = onValidate) handler(action, save);
    if (!*alive || action == vbDataActionCancel) return false;

    if (iAction == vbDataActionUpdate) {
        // Here the write is the operation itself.
        const bool began = mRecordset->EditMode() == dbEditNone;
        try {
            if (save) writeBound(false);
            iOperation();
        } catch (const VbError& e) {
            if (began && mRecordset->EditMode() == dbEditInProgress) mRecordset->discardEdit();
            return failed(e, alive);
        }
    } else {
        if (save) {
            try {
                writeBound(true);
            } catch (const VbError& e) {
                return failed(e, alive);
            }
        }
        iOperation();
        if (iAction == vbDataActionUnload) return true;
    }
    if (!*alive) return true;
    refill(alive);
    if (!*alive) return true;
    if (const auto handler = onReposition) handler();
    return true;
}

void DataControl::Refresh() {
    if (!mRecordset->isOpen()) {
        openNow();
        const std::shared_ptr<bool> alive = mAlive;
        refill(alive);
        if (const auto handler = onReposition; *alive && handler) handler();
        return;
    }
    run(vbDataActionClose, [this] { openNow(); });
}

void DataControl::UpdateRecord() {
    ::Recordset& rs = *mRecordset;
    if (!rs.isOpen()) rs.checkOpen();
    if (!anyChanged() && rs.EditMode() == dbEditNone) return;
    writeBound(true);
    for (BoundControl* c : mControls) c->setDataChanged(false);
}

bool DataControl::Unload() {
    if (!mRecordset->isOpen()) return true;
    return run(vbDataActionUnload, [this] { mRecordset->Close(); });
}
