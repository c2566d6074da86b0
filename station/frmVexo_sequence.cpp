// Choosing the sequence and the operator, and the sequence-change flow that
// rebuilds what the operator sees of the sequence.
#include "audio/modWaveResponse.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/StationRecords.h"
#include "common/modFileName.h"
#include "common/modGeneral.h"
#include "platform/ui/InputLock.h"
#include "platform/ui/MsgBox.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"
#include "station/modProductionReport.h"

namespace {
constexpr const char* kModule = "frmVexo";
constexpr int32_t kBlack = 0;
constexpr int32_t kRed = 255;
}

void frmVexo::dcboSeq_Click() {
    // While the station walks the sequence rows itself, a click the combo box
    // raises (it matches its text to an entry when it loses the focus) must not
    // move the row under the walk.
    if (gbTraboDontProcess) return;
    bool bError = false;
    ErrorTrap trap(kModule, "dcboSeq_Click", bError);
    RecordBookmark selected;
    bool bSame = true;
    if (!trap(10, [&] {
            selected = dcboSeq->SelectedItem();
            bSame = !selected.valid || selected == dtaSeq.Recordset().Bookmark();
        }))
        return;
    if (bSame) return;
    {
        // The window is given back on every way out of this block.
        InputLock lock(this);
        mMeDisableWorstDisableHide(bError);
        if (!bError && trap(30, [&] {
                FlagHold quiet(gbTraboDontProcess);
                dtaSeqCal.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(dcboSeq->Text()));
                dtaSeq.Recordset().setBookmark(selected);
            }))
            dtaSeq_Reposition();
    }
    trap(50, [&] { dcboSeq->SetFocusIfAble(); });
}

// Letters typed into the sequence box are the box's, not the T shortcut's.
void frmVexo::dcboSeq_GotFocus() { setKeyPreview(false); }
void frmVexo::dcboSeq_LostFocus() { setKeyPreview(true); }

// Opens the sequence editor as Window > Sequence does.
void frmVexo::dcboSeq_DblClick(int16_t Area) {
    Q_UNUSED(Area);
    mnuWindowSequence_Click();
}

void frmVexo::dcboOperator_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "dcboOperator_Click", bError);
    trap(10, [&] {
        const RecordBookmark selected = dcboOperator->SelectedItem();
        if (!selected.valid || selected == dtaOperator.Recordset().Bookmark()) return;
        {
            FlagHold quiet(gbTraboDontProcess);
            dtaOperator.Recordset().setBookmark(selected);
        }
        dcboOperator->SetFocusIfAble();
    });
}

void frmVexo::dtaSeq_Reposition() {
    if (gbTraboDontProcess) return;
    bool bError = false;
    ErrorTrap trap(kModule, "dtaSeq_Reposition", bError);
    {
        // 1 and 8: no command runs on a half-built state.
        InputLock lock(this);
        mSeqRepositionReadTestList(bError);                                   // 2.
        if (!bError) mClearFormTrabo(bError);                                 // 3.
        if (!bError && trap(40, [&] {                                          // 4.
                lblRefSearch->setCaption(QString());
                lblSelection->setCaption(QString());
                lblTarget->setCaption(QString());
                dcboSeq->ReFill();
                mbNewSeq = true;
            })) {
            QString sPolarity;                                                // 5.
            if (trap(50, [&] { picPolarity->Cls(); })) sPolarity = msPolarityFirstInSeq(bError);
            if (!bError) {
                if (!sPolarity.isEmpty()) {
                    gMSubPolarityGridShow(bError);
                    gMSubPolarityGridTestNameShow(sPolarity, 1, kBlack, bError);
                }
                mbScriptListRead(bError);                                     // 6.
                if (mnLastRespSlot != 0) mSeqRepositionResponse(bError);
                else trap(60, [&] { picResponse->setVisible(false); });
            }
        }
        bool bProdError = false;                                              // 7. whatever happened before
        gMprProdRep(bProdError);
    }
}

void frmVexo::mSeqRepositionReadTestList(bool& obError) {
    ErrorTrap trap(kModule, "mSeqRepositionReadTestList", obError);
    matypTestList = TestList{TestListEntry{}};
    mnLastRespSlot = 0;
    mnRespTestCount = 0;
    // No sequence row (a new station, a row being added): a sequence without tests.
    bool bRow = false;
    if (!trap(10, [&] {
            const Recordset& rs = dtaSeq.Recordset();
            bRow = rs.RecordCount() > 0 && !rs.EOF_() && !rs.BOF() && rs.EditMode() != dbEditAdd;
        }))
        return;
    for (int16_t k = 1; bRow && k <= 16; ++k) {
        const QString sName = gsMSubTestName(k, obError);
        if (obError || sName.isEmpty()) break;
        TestListEntry entry{sName, QString()};
        bool bFound = false;
        // The name is passed as a value: names with an apostrophe are found too.
        if (!trap(20, [&] {
                Recordset& rs = dtaTest.Recordset();
                rs.FindFirst(QStringLiteral("Test_Name = ?"), Variant(sName));
                bFound = !rs.NoMatch();
                if (bFound) entry.sType = TestRecord(rs).Test_Type();
            }))
            return;
        matypTestList.append(entry);
        if (!bFound) {
            // A slot naming no test has no type: it is never measured under a
            // name it does not have. Told once per sequence and test.
            trap(30, [&] {
                const QString sSeq = SequenceRecord(dtaSeq.Recordset()).Seq_Name();
                const QString sKey = sSeq + QChar(0) + sName;
                if (mMissingTestsWarned.contains(sKey)) return;
                mMissingTestsWarned.insert(sKey);
                gMsgBox(QStringLiteral("Test '") + sName + QStringLiteral("' of sequence '") + sSeq +
                            QStringLiteral("' does not exist!"),
                        vbExclamation, QStringLiteral("frmVexo.mSeqRepositionReadTestList"));
            });
            if (obError) return;
        }
    }
    const RespSummary s = respSummary(matypTestList);
    mnLastRespSlot = s.nLastRespSlot;
    mnRespTestCount = s.nRespTestCount;
}

void frmVexo::mSeqRepositionResponse(bool& obError) {
    ErrorTrap trap(kModule, "mSeqRepositionResponse", obError);
    if (obError) return;
    QString r;
    // No target correction until a target file has passed its check.
    if (!trap(10, [&] {
            gafTargetCorrection.assign(1, 0.0f);
            gafRef2Target.assign(1, 0.0f);
        }))
        return;
    r = gsMSubTestName(mnLastRespSlot, obError);
    if (obError) return;
    // The test's own row, so that its sweep range is the one drawn and checked.
    if (!trap(25, [&] { dtaTest.Recordset().FindFirst(QStringLiteral("Test_Name = ?"), Variant(r)); })) return;
    QString sSeqName;
    if (!trap(30, [&] { sSeqName = SequenceRecord(dtaSeq.Recordset()).Seq_Name(); })) return;
    gMSubSetRefCrvActive(sSeqName, r, obError);
    if (obError) return;
    gDrawRespGridShowTestName(r, 1, false, obError);
    if (obError) return;
    float fRefLim = 0.0f;
    if (!trap(50, [&] { fRefLim = SequenceRecord(dtaSeq.Recordset()).Ref_Lim(); })) return;
    const QString sRef = msRefSearchLabelFill(fRefLim, obError);
    if (obError) return;
    if (!trap(55, [&] {
            lblRefSearch->setCaption(sRef);
            lblSelection->setCaption(selectionLabel(SequenceRecord(dtaSeq.Recordset()).Sel_Lim()));
        }))
        return;
    QString t;
    if (!trap(70, [&] { t = SequenceRecord(dtaSeq.Recordset()).Target_File(); })) return;
    t = gsGTrim(t, obError);
    if (obError) return;
    if (!t.isEmpty()) {
        const bool bTargetOK = mbTargetExistValidRef2Target(obError);
        if (obError) return;
        QString sShort;
        if (bTargetOK) {
            sShort = gsFileSpecCompress(t, 28, obError);
            if (obError) return;
        }
        if (!trap(75, [&] {
                lblTarget->setCaption(QStringLiteral("Target File: ") +
                                      (bTargetOK ? sShort : QStringLiteral("Bad or Missing!")));
                lblTarget->setForeColor(bTargetOK ? kBlack : kRed);
            }))
            return;
    }
    const bool bDue = mbCaliDue(obError);
    if (obError) return;
    if (!bDue) {
        const int32_t lMicLevel = mlSeqCalMicLevel(r, obError);
        if (obError) return;
        gMSubResponseShowRef(lMicLevel, obError);
        if (obError) return;
    }
    mShowWhenCalDue(obError);
}

QString frmVexo::msRefSearchLabelFill(float fRefLim, bool& obError) {
    ErrorTrap trap(kModule, "msRefSearchLabelFill", obError);
    QString s;
    trap(10, [&] { s = refSearchLabel(fRefLim); });
    return s;
}

QString frmVexo::msPolarityFirstInSeq(bool& obError) {
    ErrorTrap trap(kModule, "msPolarityFirstInSeq", obError);
    QString s;
    trap(10, [&] { s = polarityFirstInSeq(matypTestList); });
    return s;
}

int16_t frmVexo::mnNextRespTest(int16_t inSlot, bool& obError) {
    ErrorTrap trap(kModule, "mnNextRespTest", obError);
    int16_t n = 0;
    trap(10, [&] { n = nextRespTest(matypTestList, inSlot); });
    return n;
}

void frmVexo::mClearFormTrabo(bool& obError) {
    ErrorTrap trap(kModule, "mClearFormTrabo", obError);
    if (!trap(10, [&] { formSurface(*this).Cls(); })) return;
    bool bFail = false;
    if (!trap(20, [&] {
            lblPassFail->setVisible(false);
            bFail = lblPassFail->Caption() == QLatin1String("FAIL");
        }))
        return;
    if (bFail) {
        mTmrFlashDisable(obError);
        if (obError) return;
    }
    trap(30, [&] {
        lblSerial->setCaption(QString());
        cmdCali->setVisible(mnLastRespSlot > 0);
    });
}
