// The File commands on the operator table. The combo always names the
// current record, and every change of the table is re-read by the main window.
#include "supervisor/frmMSupervisor.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/frmListAdd.h"
#include "common/modDataField2Array.h"
#include "platform/data/Database.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"

namespace {
const char* const kModule = "frmMSupervisor";
const QString kOperator = QStringLiteral("Operator");
const QString kUserLevel = QStringLiteral("User_Level");
const QString kByName = QStringLiteral("Operator = ?");

// The data control's record set as the name-list copy walks it.
struct NameWalk {
    Recordset& rs;
    RecordBookmark bookmark() const { return rs.Bookmark(); }
    void setBookmark(const RecordBookmark& iMark) { rs.setBookmark(iMark); }
    int32_t RecordCount() const { return static_cast<int32_t>(rs.RecordCount()); }
    void MoveFirst() { rs.MoveFirst(); }
    void MoveNext() { rs.MoveNext(); }
    bool EOF_() const { return rs.EOF_(); }
    Variant field(int iIndex) const { return rs.field(iIndex); }
};

QString textOf(const Variant& iValue) { return iValue.isNull() ? QString() : CStr(iValue); }
}

void frmMSupervisor::mnuFileNew_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileNew_Click", bError);
    const QString name = msNewOperatorName(bError);
    if (name.isEmpty() || bError) return;
    const bool added = trap(10, [&] {
        Recordset& rs = dtaOperator.Recordset();
        FlagHold dontProcess(mbDontProcess);
        rs.AddNew();
        rs.setField(kOperator, Variant(name));
        rs.setField(kUserLevel, Variant(QStringLiteral("Starter")));
        rs.Update();
        // The new operator becomes the current record, as the combo will name it.
        rs.setBookmark(rs.LastModified());
    });
    mDeleteEnable(bError);
    if (!added) return;
    mComboShow(name, bError);
    if (!bError) mTraboDtaOperatorRefresh(bError);
}

// Copies the current operator under a new name with the level stored for it
// (not a level picked and not yet saved).
void frmMSupervisor::mnuFileSaveAs_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileSaveAs_Click", bError);
    if (!mbHasCurrent()) return;
    const QString name = msNewOperatorName(bError);
    if (name.isEmpty() || bError) return;
    const bool added = trap(10, [&] {
        FlagHold dontProcess(mbDontProcess);
        Recordset& rs = dtaOperator.Recordset();
        const Database db = OpenDatabase(appinfo::programFolder() + QStringLiteral("\\Vexo_op.mdb"), true, false);
        std::unique_ptr<Recordset> stored = db.OpenRecordset(QStringLiteral("Vexo_op"));
        stored->FindFirst(kByName, rs.field(kOperator));
        const Variant level = stored->NoMatch() ? Variant::null() : stored->field(kUserLevel);
        stored.reset();
        rs.AddNew();
        rs.setField(kOperator, Variant(name));
        rs.setField(kUserLevel, level);
        rs.Update();
        rs.setBookmark(rs.LastModified());
    });
    mDeleteEnable(bError);
    if (!added) return;
    mComboShow(name, bError);
    if (!bError) mTraboDtaOperatorRefresh(bError);
}

// A picked level is written by the validation that a move onto the current
// record runs; the window stays on the operator.
void frmMSupervisor::mnuFileSave_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileSave_Click", bError);
    trap(10, [&] {
        dtaOperator.UpdateRecord();
        if (mbHasCurrent()) dtaOperator.Recordset().setBookmark(dtaOperator.Recordset().Bookmark());
    });
}

void frmMSupervisor::mnuFileReset_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileReset_Click", bError);
    mbLevelChanged = false;
    trap(10, [&] {
        if (mbHasCurrent()) dtaOperator.Recordset().FindFirst(kByName, Variant(dcboOperator->Text()));
    });
}

void frmMSupervisor::mnuFileDelete_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileDelete_Click", bError);
    if (!mbHasCurrent()) return;
    QString name;
    int answer = vbNo;
    if (!trap(10, [&] {
            name = textOf(dtaOperator.Recordset().field(kOperator));
            answer = gMsgBox(QStringLiteral("Delete the operator '") + name + QStringLiteral("'?"), vbYesNo,
                             QStringLiteral("Operator Deletion"));
        }))
        return;
    if (answer != vbYes) return;
    if (!trap(20, [&] { dtaOperator.Recordset().Delete(); })) return;
    mDeleteEnable(bError);
    bError = false;
    QString first;
    trap(40, [&] {
        {
            FlagHold dontProcess(mbDontProcess);
            if (dtaOperator.Recordset().RecordCount() > 0) dtaOperator.Recordset().MoveFirst();
        }
        if (mbHasCurrent()) first = textOf(dtaOperator.Recordset().field(kOperator));
    });
    mComboShow(first, bError);
    bError = false;
    mTraboDtaOperatorRefresh(bError);
    if (bError) return;
    trap(80, [&] {
        frmVexoView& main = gMainWindow();
        if (main.dcboOperator->Text() != name) return;
        if (main.dtaOperator.Recordset().RecordCount() > 0) main.dtaOperator.Recordset().MoveFirst();
        main.dcboOperator->setText(first);
    });
}

QString frmMSupervisor::msNewOperatorName(bool& obError) {
    ErrorTrap trap(kModule, "msNewOperatorName", obError);
    QStringList names;
    {
        FlagHold dontProcess(mbDontProcess);
        NameWalk walk{dtaOperator.Recordset()};
        gbDataField2Array(walk, 0, names, obError);
    }
    if (obError) return QString();
    return frmListAdd::gsAdd(names, 200, 19, QStringLiteral("New Operator Name"), nListPtr, obError);
}

// The main window reads its operator list again; its combo keeps the name it shows.
void frmMSupervisor::mTraboDtaOperatorRefresh(bool& obError) {
    ErrorTrap trap(kModule, "mTraboDtaOperatorRefresh", obError);
    trap(10, [&] {
        frmVexoView& main = gMainWindow();
        const QString text = main.dcboOperator->Text();
        main.dtaOperator.Refresh();
        main.dcboOperator->ReFill();
        main.dcboOperator->setText(text);
    });
}

void frmMSupervisor::mDeleteEnable(bool& obError) {
    ErrorTrap trap(kModule, "mDeleteEnable", obError);
    trap(10, [&] { mnuFileDelete->setEnabled(dtaOperator.Recordset().RecordCount() >= 2); });
}

void frmMSupervisor::mComboShow(const QString& isName, bool& obError) {
    ErrorTrap trap(kModule, "mComboShow", obError);
    trap(10, [&] {
        dcboOperator->ReFill();
        dcboOperator->setText(isName);
    });
}
