// The record cycle: showing a sequence, the save question, the unbound save,
// New, Save As, Delete, Reset and telling the main window.
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/frmListAdd.h"
#include "common/modDataField2Array.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "common/modVarLookup.h"
#include "engineering/SeqCaliTime.h"
#include "engineering/frmMESeq.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "station/frmVexoView.h"

namespace {
const char* const kModule = "frmMESeq";
const QString kTypical = QStringLiteral("Typical");
constexpr int16_t kSlots = 16;
constexpr long kMaxSequences = 128;

QString slotField(int i) { return QStringLiteral("Test_") + Format(static_cast<double>(i), QStringLiteral("00")); }
QString calTable(int k) { return QStringLiteral("Vexo_seq_cal") + Format(static_cast<double>(k), QStringLiteral("00")); }

// The names are read through a record set of their own, so that the walk moves
// neither the editor's record nor its bound boxes.
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
}

QString frmMESeq::msCurrentName() const {
    auto& rs = const_cast<DataControl&>(dtaSeq).Recordset();
    if (!rs.isOpen() || rs.AbsolutePosition() < 0) return QString();
    return CStr(rs.field(QStringLiteral("Seq_Name")));
}

long frmMESeq::mlSeqCount() const {
    auto& rs = const_cast<DataControl&>(dtaSeq).Recordset();
    return rs.isOpen() ? rs.RecordCount() : 0;
}

void frmMESeq::dtaSeq_Reposition() {
    if (mbDontProcess) return;
    bool bError = false;
    ErrorTrap trap(kModule, "dtaSeq_Reposition", bError);
    if (!trap(10, [&] {
            mbForceRecal = false;
            lstTest->Clear();
        }))
        return;
    Recordset& rs = dtaSeq.Recordset();
    if (rs.AbsolutePosition() < 0) return;   // no sequence to show
    if (!trap(15, [&] { msShownInPart = msCurrentName(); })) return;
    int16_t nTests = 0;
    if (!trap(20, [&] {
            const Variant v = rs.field(QStringLiteral("Test_No"));
            nTests = v.isNull() ? 0 : CInt(v);
        }))
        return;
    if (nTests != 0) {
        mFillTestList(bError);
        if (bError) return;
    }
    if (!trap(30, [&] {
            const Variant v = rs.field(QStringLiteral("Cali_ETime"));
            const SeqCaliParts p = seqCaliSplit(v.isNull() ? 0.0 : CDbl(v));
            txtCaliDays->setText(Format(static_cast<double>(p.days), QStringLiteral("00")));
            txtCaliHours->setText(Format(static_cast<double>(p.hours), QStringLiteral("00")));
            txtCaliMins->setText(Format(static_cast<double>(p.minutes), QStringLiteral("00")));
        }))
        return;
    msShownInPart.clear();   // what a save writes besides the bound fields is shown
    mShowSweepPresent(bError);
    if (bError) return;
    mShowTestListButtons(bError);
    if (bError) return;
    QString n;
    if (!trap(50, [&] {
            n = msCurrentName();
            mnuFileSaveAs->setEnabled(n != kTypical);
        }))
        return;
    mShowSerialise(n != kTypical, bError);
    if (bError) return;
    if (!trap(60, [&] {
            if (dcboSeq->Text() != n) dcboSeq->setText(n);
        }))
        return;
    mSetUnlinkedDataResetEnabled(false, bError);
}

void frmMESeq::dtaSeq_Validate(int& Action, bool& Save) {
    bool bError = false;
    ErrorTrap trap(kModule, "dtaSeq_Validate", bError);
    if (mbDontSave) {
        Save = false;
        return;
    }
    if (Action != vbDataActionDelete && mbShownInPart(mbSaveDirect || Save || mbUnlinkedEdit)) {
        Save = false;
        return;
    }
    mbMoveCancelled = false;
    bool bRefreshed = false;   // the unbound save tells the main window itself
    if (mbSaveDirect) {
        mSaveNonLinkedDataForceRecal(bError);
        bRefreshed = true;
    } else if (Action != vbDataActionDelete && (Save || mbUnlinkedEdit)) {
        const QString name = msCurrentName();
        const int32_t answer = glVarSaveDataPrompt(QStringLiteral("Save the changes to the sequence ") + name,
                                                   QStringLiteral("Sequence Save"), bError);
        if (!bError) {
            Save = answer == vbYes;
            if (answer == vbYes) {
                if (lstTest->ListCount() == 0) gVarSeqNoTestsMsgBox(name, bError);
                if (!bError) mSaveNonLinkedDataForceRecal(bError);
                bRefreshed = true;
            } else if (answer == vbCancel) {
                Action = vbDataActionCancel;
                mbMoveCancelled = true;
            }
        }
    }
    if (Save && !bError && !bRefreshed) mRefreshTraboSeq(msCurrentName(), bError);
}

// True when the shown sequence is the one whose display stopped before its
// tests and interval were shown: its list would replace the tests it could not
// show. Said to the engineer when iSay.
bool frmMESeq::mbShownInPart(bool ibSay) {
    if (msShownInPart.isEmpty() || msCurrentName() != msShownInPart) return false;
    if (ibSay)
        gMsgBox(QStringLiteral("The sequence ") + msShownInPart +
                    QStringLiteral(" could not be shown whole, so it is not saved: its tests would be lost. "
                                   "Close the window and open it again."),
                vbOKOnly | vbExclamation, QStringLiteral("Sequence Save"));
    return true;
}

void frmMESeq::dcboSeq_Change() {
    bool bError = false;
    ErrorTrap trap(kModule, "dcboSeq_Change", bError);
    trap(10, [&] {
        if (!dtaSeq.Recordset().isOpen() || dtaSeq.Recordset().AbsolutePosition() < 0) return;
        if (dcboSeq->Text() != msCurrentName()) {
            dcboSeq->setEnabled(false);
            dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(dcboSeq->Text()));
            dcboSeq->setEnabled(true);
        }
        if (dcboSeq->Text() != msCurrentName()) dcboSeq->setText(msCurrentName());
        dcboSeq->SetFocusIfAble();
    });
    if (bError) dcboSeq->setEnabled(true);
}

void frmMESeq::cboDiscLog_Change() { mnuFileReset->setEnabled(true); }
void frmMESeq::cboSerialise_Change() { mnuFileReset->setEnabled(true); }
void frmMESeq::txtSelLim_Change() { mnuFileReset->setEnabled(true); }
void frmMESeq::txtFile_Change() { mnuFileReset->setEnabled(true); }

void frmMESeq::txtCali_Change() {
    bool bError = false;
    mSetUnlinkedDataResetEnabled(true, bError);
}

void frmMESeq::mSetUnlinkedDataResetEnabled(bool ibValue, bool& obError) {
    ErrorTrap trap(kModule, "mSetUnlinkedDataResetEnabled", obError);
    trap(10, [&] {
        mbUnlinkedEdit = ibValue;
        mnuFileReset->setEnabled(ibValue);
    });
}

void frmMESeq::mFillTestList(bool& obError) {
    ErrorTrap trap(kModule, "mFillTestList", obError);
    trap(10, [&] {
        Recordset& rs = dtaSeq.Recordset();
        const int16_t n = CInt(rs.field(QStringLiteral("Test_No")));
        for (int i = 1; i <= n && i <= kSlots; ++i) {
            QString name = CStr(rs.field(slotField(i)));
            while (name.endsWith(QLatin1Char(' '))) name.chop(1);
            lstTest->AddItem(name);
        }
    });
}

int16_t frmMESeq::mnNextCaliTest(int16_t inStart, bool& obError) {
    ErrorTrap trap(kModule, "mnNextCaliTest", obError);
    int16_t p = inStart;
    QString name;
    bool bResponse = false;
    if (!trap(10, [&] {
            Recordset& tests = gMainWindow().dtaTest.Recordset();
            for (;;) {
                ++p;
                bool bTrimError = false;
                name = gsGTrim(p <= lstTest->ListCount() ? lstTest->List(p - 1) : QString(), bTrimError);
                if (bTrimError) throw VbError(vberr::kInternalError, QStringLiteral("trim"));
                bResponse = false;
                if (!name.isEmpty()) {
                    tests.FindFirst(QStringLiteral("Test_Name = ?"), Variant(name));
                    bResponse = !tests.NoMatch() && CStr(tests.field(QStringLiteral("Test_Type"))) == QStringLiteral("Response");
                }
                if (bResponse || p >= kSlots || name.isEmpty()) break;
            }
        }))
        return 0;
    return (!name.isEmpty() && bResponse) ? p : 0;
}

void frmMESeq::mShowSerialise(bool ibShow, bool& obError) {
    ErrorTrap trap(kModule, "mShowSerialise", obError);
    trap(10, [&] {
        lblSerialise->setVisible(ibShow);
        cboSerialise->setVisible(ibShow);
    });
}

void frmMESeq::mShowSweepPresent(bool& obError) {
    const bool r = mnNextCaliTest(0, obError) > 0;
    if (obError) return;
    ErrorTrap trap(kModule, "mShowSweepPresent", obError);
    trap(10, [&] {
        for (QWidget* c : std::initializer_list<QWidget*>{lblCaliTime, txtCaliDays, txtCaliHours, txtCaliMins,
                                                          lblTarget, txtTarget})
            c->setVisible(r);
        mnuPairTyp->setEnabled(r);
        bool t = false;
        if (r) {
            t = msCurrentName() != kTypical;
            mnuPairTypMakeTypical->setEnabled(t);
            mnuPairTypDoTypical->setEnabled(!t);
        }
        for (QWidget* c : std::initializer_list<QWidget*>{lblRefLim, txtRefLim, lblSelLim, txtSelLim, lblDiscLog,
                                                          cboDiscLog})
            c->setVisible(r && t);
    });
}

double frmMESeq::mdCaliText2Num(bool& obError) {
    ErrorTrap trap(kModule, "mdCaliText2Num", obError);
    double d = 0.0;
    trap(10, [&] { d = seqCaliDays(txtCaliDays->Text(), txtCaliHours->Text(), txtCaliMins->Text()); });
    return d;
}

void frmMESeq::mSaveNonLinkedDataForceRecal(bool& obError) {
    ErrorTrap trap(kModule, "mSaveNonLinkedDataForceRecal", obError);
    const double days = mdCaliText2Num(obError);
    if (obError) return;
    QString name;
    if (!trap(10, [&] {
            Recordset& rs = dtaSeq.Recordset();
            rs.Edit();
            const int32_t c = lstTest->ListCount();
            for (int i = 1; i <= kSlots; ++i) rs.setField(slotField(i), Variant(i <= c ? lstTest->List(i - 1) : QStringLiteral(" ")));
            rs.setField(QStringLiteral("Test_No"), Variant(static_cast<int16_t>(c)));
            rs.setField(QStringLiteral("Cali_ETime"), Variant(days));
            if (mbForceRecal) rs.setField(QStringLiteral("Last_Cali"), Variant::date(0.0));
            dtaSeq.UpdateRecord();
            name = msCurrentName();
        }))
        return;
    mRefreshTraboSeq(name, obError);
}

void frmMESeq::mNewSequenceSetFields(const QString& isName, bool& obError) {
    ErrorTrap trap(kModule, "mNewSequenceSetFields", obError);
    trap(10, [&] {
        auto rs = dtaSeq.Recordset().database().OpenRecordset(QStringLiteral("Vexo_seq"));
        rs->AddNew();
        rs->setField(QStringLiteral("Seq_Name"), Variant(isName));
        rs->setField(QStringLiteral("Active_Flag"), Variant(false));
        rs->setField(QStringLiteral("Log_Disc_F"), Variant(false));
        rs->setField(QStringLiteral("Log_Print_F"), Variant(false));
        rs->setField(QStringLiteral("Cali_ETime"), Variant(false));
        rs->setField(QStringLiteral("Target_File"), Variant(QString()));
        rs->setField(QStringLiteral("Prompt_File"), Variant(QString()));
        rs->setField(QStringLiteral("Script_File"), Variant(QString()));
        rs->setField(QStringLiteral("Log_Disc"), Variant("None"));
        rs->setField(QStringLiteral("Log_Print"), Variant("None"));
        rs->setField(QStringLiteral("Serial_Flag"), Variant("None"));
        rs->setField(QStringLiteral("Test_No"), Variant(static_cast<int16_t>(0)));
        for (int i = 1; i <= kSlots; ++i) rs->setField(slotField(i), Variant(QString()));
        rs->setField(QStringLiteral("Main_Resp"), Variant(" "));
        rs->Update();
    });
}

// Calibration rows go through a record set of their own: the editor's data
// control stays on the sequence table, whose fields its boxes show.
void frmMESeq::mSeqCalInitFields(int16_t inSlot, const QString& isSeqName, const QString& isTestName, int32_t ilAttIn,
                                 bool& obError) {
    ErrorTrap trap(kModule, "mSeqCalInitFields", obError);
    trap(10, [&] {
        auto rs = dtaSeq.Recordset().database().OpenRecordset(calTable(inSlot));
        rs->AddNew();
        rs->setField(QStringLiteral("Seq_Name"), Variant(isSeqName));
        rs->setField(QStringLiteral("Test_Name"), Variant(isTestName));
        rs->setField(QStringLiteral("AttIn"), Variant(ilAttIn));
        rs->Update();
    });
}

QString frmMESeq::msNewSeqName(bool& obError) {
    ErrorTrap trap(kModule, "msNewSeqName", obError);
    QStringList names;
    int16_t p = 0;
    if (dtaSeq.Recordset().AbsolutePosition() >= 0) {
        mbMoveCancelled = false;
        if (!trap(10, [&] { dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(msCurrentName())); }))
            return QString();
        // Cancel at the save question ends the command with the edits kept.
        if (mbMoveCancelled) return QString();
    }
    std::unique_ptr<Recordset> all;
    if (!trap(15, [&] { all = dtaSeq.Recordset().database().OpenRecordset(QStringLiteral("Vexo_seq")); }))
        return QString();
    NameWalk walk{*all};
    gbDataField2Array(walk, 0, names, obError);
    if (obError) return QString();
    if (!trap(20, [&] { p = static_cast<int16_t>(dtaSeq.Recordset().AbsolutePosition() + 1); })) return QString();
    // "Typical" is made by Make Typical only, in any letter case.
    return frmListAdd::gsAdd(names, static_cast<int16_t>(kMaxSequences), 19, QStringLiteral("New Sequence Name"), p,
                             obError, {kTypical});
}

void frmMESeq::mnuFileNew_Click() {
    if (!mbFocusedBoxAccepts()) return;
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileNew_Click", bError);
    bool bStop = false;
    if (!trap(10, [&] {
            Recordset& tests = gMainWindow().dtaTest.Recordset();
            if (tests.RecordCount() == 0) {
                gMsgBox(QStringLiteral("You must create a test first"), vbOKOnly, QStringLiteral("New Sequence"));
                bStop = true;
            } else if (mlSeqCount() >= kMaxSequences) {
                gMsgBox(QStringLiteral("No room to add a sequence"), vbOKOnly, QStringLiteral("New Sequence"));
                bStop = true;
            }
        }) || bStop)
        return;
    const QString n = msNewSeqName(bError);
    if (bError || n.isEmpty()) return;
    {
        FlagHold dontProcess(mbDontProcess);
        // The sequence and its sixteen calibration rows are written all or nothing.
        const Database db = dtaSeq.Recordset().database();
        if (!trap(20, [&] { db.BeginTrans(); })) return;
        mNewSequenceSetFields(n, bError);
        for (int16_t k = 1; k <= kSlots && !bError; ++k) mSeqCalInitFields(k, n, QStringLiteral(" "), 0, bError);
        if (bError) {
            trap(30, [&] { db.Rollback(); });
            return;
        }
        if (!trap(40, [&] { db.CommitTrans(); })) {
            trap(45, [&] { db.Rollback(); });
            return;
        }
        trap(50, [&] {
            {
                FlagHold dontSave(mbDontSave);
                dtaSeq.setRecordSource(QStringLiteral("Vexo_seq"));
                dtaSeq.Refresh();
            }
            dcboSeq->ReFill();
            dcboSeq->setText(n);
            // The combo finds the new record only where its text changed.
            if (msCurrentName() != n) dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(n));
        });
    }
    if (bError) return;
    if (!trap(60, [&] { lstTest->Clear(); })) return;
    mRefreshTraboSeq(QString(), bError);
    if (!bError) mShowSweepPresent(bError);
    if (!bError) mShowTestListButtons(bError);
    if (!bError) trap(70, [&] {
            // The first sequence of a new station makes the File items usable.
            mnuFileSelect->setEnabled(true);
            mnuFileSave->setEnabled(true);
            mnuFileSaveAs->setEnabled(n != kTypical);
            mnuFilePrint->setEnabled(!Printer.DeviceName().isEmpty());
            mnuFileDelete->setEnabled(mlSeqCount() >= 2);
            cmdTestAdd->setEnabled(true);
            cmdTestAdd->SetFocusIfAble();
        });
}

void frmMESeq::mnuFileSaveAs_Click() {
    if (!mbFocusedBoxAccepts()) return;
    bool bError = false;
    const QString n = msNewSeqName(bError);
    if (bError || n.isEmpty()) return;
    gMESeqSaveAs(n, bError);
    if (bError) return;
    mnuFileDelete->setEnabled(true);
    mRefreshTraboSeq(n, bError);
}

void frmMESeq::gMESeqSaveAs(const QString& isNewSeqName, bool& obError) {
    ErrorTrap trap(kModule, "gMESeqSaveAs", obError);
    FlagHold dontProcess(mbDontProcess);
    const QString source = msCurrentName();
    const Database db = dtaSeq.Recordset().database();
    bool bBegun = false;
    // The copy and its sixteen calibration rows are written all or nothing; a
    // row the source lacks is copied as a blank one.
    const bool bOk = trap(10, [&] {
        db.BeginTrans();
        bBegun = true;
        auto from = db.OpenRecordset(QStringLiteral("SELECT * FROM Vexo_seq WHERE Seq_Name = ?"), {Variant(source)});
        auto to = db.OpenRecordset(QStringLiteral("Vexo_seq"));
        to->AddNew();
        for (int i = 0; i < from->fieldCount(); ++i) to->setField(from->fieldName(i), from->field(i));
        to->setField(QStringLiteral("Seq_Name"), Variant(isNewSeqName));
        to->setField(QStringLiteral("Last_Cali"), Variant::date(0.0));
        to->Update();
    });
    for (int16_t k = 1; k <= kSlots && bOk && !obError; ++k) {
        QString testName = QStringLiteral(" ");
        int32_t level = 0;
        if (!trap(20, [&] {
                auto row = db.OpenRecordset(QStringLiteral("SELECT Test_Name, AttIn FROM ") + calTable(k) +
                                                QStringLiteral(" WHERE Seq_Name = ?"),
                                            {Variant(source)});
                if (row->AbsolutePosition() >= 0) {
                    const Variant t = row->field(QStringLiteral("Test_Name"));
                    const Variant a = row->field(QStringLiteral("AttIn"));
                    if (!t.isNull()) testName = CStr(t);
                    if (!a.isNull()) level = CLng(a);
                }
            }))
            break;
        mSeqCalInitFields(k, isNewSeqName, testName, level, obError);
    }
    if (!obError) trap(30, [&] { db.CommitTrans(); });
    if (obError && bBegun) {
        bool bRollError = false;
        ErrorTrap rollTrap(kModule, "gMESeqSaveAs", bRollError);
        rollTrap(40, [&] { db.Rollback(); });
    }
    if (obError) return;
    trap(50, [&] {
        {
            FlagHold dontSave(mbDontSave);
            dtaSeq.setRecordSource(QStringLiteral("Vexo_seq"));
            dtaSeq.Refresh();
            dcboSeq->ReFill();
        }
        // The move to the copy runs the sequence flow.
        dontProcess.restore();
        dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(isNewSeqName));
    });
}

void frmMESeq::mnuFileDelete_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileDelete_Click", bError);
    int answer = vbNo;
    trap(10, [&] {
        answer = gMsgBox(QStringLiteral("Delete the sequence '") + dcboSeq->Text() + QStringLiteral("'?"), vbYesNo,
                         QStringLiteral("Sequence Deletion"));
    });
    if (!bError && answer == vbYes) gMESeqDelete(bError);
    bool bFocusError = false;
    ErrorTrap focusTrap(kModule, "mnuFileDelete_Click", bFocusError);
    focusTrap(20, [&] { dcboSeq->SetFocusIfAble(); });
}

void frmMESeq::gMESeqDelete(bool& obError) {
    ErrorTrap trap(kModule, "gMESeqDelete", obError);
    const QString n = msCurrentName();
    const Database db = dtaSeq.Recordset().database();
    bool bBegun = false;
    // The sequence and the calibration rows it has go together or not at all;
    // a missing row is passed over and no other sequence's row is touched.
    {
        // The deleted row is not saved on the way to the next one.
        FlagHold dontSave(mbDontSave);
        trap(10, [&] {
            db.BeginTrans();
            bBegun = true;
            for (int k = 1; k <= kSlots; ++k)
                db.Execute(QStringLiteral("DELETE FROM ") + calTable(k) + QStringLiteral(" WHERE Seq_Name = ?"),
                           {Variant(n)});
            dtaSeq.Recordset().Delete();
            db.CommitTrans();
            bBegun = false;
        });
        if (obError) {
            dontSave.restore();
            if (bBegun) {
                bool bRollError = false;
                ErrorTrap rollTrap(kModule, "gMESeqDelete", bRollError);
                rollTrap(15, [&] { db.Rollback(); });
            }
            return;
        }
        if (!trap(20, [&] {
                dcboSeq->ReFill();
                if (dtaSeq.Recordset().RecordCount() > 0) dtaSeq.Recordset().MoveFirst();
            }))
            return;
    }
    mRefreshTraboSeq(msCurrentName(), obError);
    if (!obError) trap(30, [&] {
            dcboSeq->ReFill();
            if (dtaSeq.Recordset().RecordCount() <= 1) mnuFileDelete->setEnabled(false);
        });
    if (!obError && n == kTypical) mDeleteTypicalTest(obError);
}

void frmMESeq::mDeleteTypicalTest(bool& obError) {
    ErrorTrap trap(kModule, "mDeleteTypicalTest", obError);
    bool bFound = false;
    if (!trap(10, [&] {
            Recordset& tests = gMainWindow().dtaTest.Recordset();
            tests.FindFirst(QStringLiteral("Test_Name = 'Typical'"));
            bFound = tests.AbsolutePosition() >= 0 && CStr(tests.field(QStringLiteral("Test_Name"))) == kTypical;
        }))
        return;
    if (bFound) gVarDeleteTestCrowbar(kTypical, obError);
}

void frmMESeq::mnuFileReset_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileReset_Click", bError);
    {
        FlagHold dontSave(mbDontSave);
        trap(10, [&] { dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(dcboSeq->Text())); });
    }
    bError = false;
    mSetUnlinkedDataResetEnabled(false, bError);
}

void frmMESeq::mnuFileSave_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileSave_Click", bError);
    if (dtaSeq.Recordset().AbsolutePosition() < 0) return;
    if (!mbFocusedBoxAccepts()) return;
    if (mbShownInPart(true)) return;
    FlagHold saveDirect(mbSaveDirect);
    trap(10, [&] { dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(msCurrentName())); });
}

// The main window reloads its sequences and moves to the name (an empty name
// keeps the one it showed; a name no longer there gives the first), with its
// own display held off; a second find then runs its sequence flow once.
void frmMESeq::mRefreshTraboSeq(const QString& isName, bool& obError) {
    if (!gMainWindowLoaded()) return;
    ErrorTrap trap(kModule, "mRefreshTraboSeq", obError);
    frmVexoView& main = gMainWindow();
    QString shown;
    FlagHold mainDontProcess(main.gbTraboDontProcess);
    const bool bOk = trap(10, [&] {
        const QString target = isName.isEmpty() ? main.dcboSeq->Text() : isName;
        main.dtaSeq.Refresh();
        main.dcboSeq->ReFill();
        Recordset& rs = main.dtaSeq.Recordset();
        if (rs.RecordCount() == 0) return;
        rs.FindFirst(QStringLiteral("Seq_Name = ?"), Variant(target));
        if (rs.NoMatch()) rs.MoveFirst();
        shown = CStr(rs.field(QStringLiteral("Seq_Name")));
        main.dcboSeq->setText(shown);
    });
    mainDontProcess.restore();
    if (!bOk) return;
    if (!shown.isEmpty() && trap(20, [&] {
            main.dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(shown));
        }))
        trap(30, [&] {
            if (isVisible() && isEnabled()) activateWindow();
        });
}
