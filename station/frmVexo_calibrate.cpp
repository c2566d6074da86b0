// Sequence calibration, its due date and forced recalibration.
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/StationRecords.h"
#include "common/frmPrompt.h"
#include "common/modGeneral.h"
#include "common/modTimeDate.h"
#include "platform/os/Clock.h"
#include "platform/vb/Conversions.h"
#include "platform/ui/FormRegistry.h"
#include "audio/modMixer.h"
#include "common/modMVarious.h"
#include "common/modMsgBox.h"
#include "common/modVarLookup.h"
#include "platform/data/Recordset.h"
#include "platform/sound/JigUnits.h"
#include "platform/ui/InputLock.h"
#include "station/CalibrationDue.h"
#include "station/CalibrationMath.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "frmVexo";

// Closes the recalibration notice on every way out of the walk.
struct NoticeCloser {
    NoticeCloser() = default;
    NoticeCloser(const NoticeCloser&) = delete;
    NoticeCloser& operator=(const NoticeCloser&) = delete;
    ~NoticeCloser() {
        if (isLoaded<frmPrompt>()) unload<frmPrompt>();
    }
};

// A slot holds the test when its text is the name exactly (blanks count).
bool slotsHoldTest(const Recordset& iRs, const QString& isTestName) {
    for (int k = 1; k <= 16; ++k) {
        const Variant v = iRs.field(SequenceRecord::slotField(k));
        if (!v.isNull() && CStr(v) == isTestName) return true;
    }
    return false;
}
}   // namespace

namespace {
// Puts back on every way out of the calibration what it changed on the window.
class CaliWindowRestore {
public:
    CaliWindowRestore(PictureBox& ioPolarity, CommandButton& ioTest)
        : mPolarity(ioPolarity), mTest(ioTest), mbVisible(ioPolarity.Visible()) {
        mPolarity.setVisible(false);
    }
    ~CaliWindowRestore() {
        mPolarity.setVisible(mbVisible);
        mTest.SetFocusIfAble();
    }
    CaliWindowRestore(const CaliWindowRestore&) = delete;
    CaliWindowRestore& operator=(const CaliWindowRestore&) = delete;

private:
    PictureBox& mPolarity;
    CommandButton& mTest;
    bool mbVisible;
};
}   // namespace

void frmVexo::cmdCali_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdCali_Click", bError);
    // No control of the window takes input until the command is over.
    const InputLock lock(this);
    QString sSeqName;
    if (!trap(10, [&] { sSeqName = SequenceRecord(dtaSeq.Recordset()).Seq_Name(); })) return;
    const bool bYes = gbMsgBoxYesNo(QStringLiteral("Connect '") + sSeqName + QStringLiteral("' standard for calibration"),
                                    QStringLiteral("Calibration"), bError);
    if (bError || !bYes) return;
    // On the simulated jig the standard unit is what was connected.
    jigunits::standardUnitIn();
    mClearFormTrabo(bError);
    if (bError) return;
    {
        const CaliWindowRestore restore(*picPolarity, *cmdTest);
        int16_t nNext = mnNextRespTest(0, bError);
        for (int16_t k = 1; k <= 16 && !bError; ++k) {
            if (nNext == 0 || k < nNext) {
                mSeqCalClear(sSeqName, k, bError);
            } else {
                const QString sName = gsMSubTestName(nNext, bError);
                if (bError) break;
                const int32_t lLevel = mlDoOneCali(sName, bError);
                if (bError) break;
                mCaliCurveWrite(lLevel, nNext, bError);
                if (bError) break;
                nNext = mnNextRespTest(nNext, bError);
            }
        }
        if (!bError) {
            // The stamp's Update runs the sequence flow, which sets the flag.
            const bool bNewSeq = mbNewSeq;
            mSeqWriteNow(bError);
            mbNewSeq = bNewSeq;
        }
    }
}

int32_t frmVexo::mlDoOneCali(const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "mlDoOneCali", obError);
    if (!trap(10, [&] {
            dtaTest.Recordset().FindFirst(QStringLiteral("Test_Name = ?"), Variant(isTestName));
            if (dtaTest.Recordset().NoMatch())
                vbRaise(vberr::kUserBase + 18, QStringLiteral("Test '") + isTestName + QStringLiteral("' not found"));
        }))
        return 0;
    gDrawRespGridShowTestName(isTestName, 1, false, obError);
    if (obError) return 0;
    int32_t lLevel = 0;
    bool bOK = false;
    while (!bOK) {
        // Each attempt starts from the stored level, not the one just found.
        lLevel = mlSeqCalMicLevel(isTestName, obError);
        if (obError) return lLevel;
        gMixerInMicSetVolume(lLevel, obError);
        if (obError) return lLevel;
        ResponseSweepFields sw;
        if (!trap(20, [&] { sw = TestRecord(dtaTest.Recordset()).Sweep(); })) return lLevel;
        lLevel = glVarRespScale(*this, isTestName, sw.fLo, sw.fHi, sw.nPoints, sw.fDelay, sw.fDrive, sw.bActive,
                                gafRefCrv, obError);
        // The reference keeps its 100 points whatever the sweep's count.
        if (gafRefCrv.size() < 101) gafRefCrv.resize(101, 0.0f);
        if (obError) return lLevel;
        const bool bTarget = mbTargetExistValidRef2Target(obError);
        if (obError) return lLevel;
        if (bTarget) {
            gVarTraboEngDrawRespGrid(true, obError);
            if (obError) return lLevel;
            gResponseSubPlotSet(*this, CLng(sw.fLo), CLng(sw.fHi), sw.nPoints, gafRef2Target, 11, 2, obError);
            if (obError) return lLevel;
        }
        bOK = gbMsgBoxYesNo(QStringLiteral("Does this calibration look OK"), QStringLiteral("Calibration"), obError);
        if (obError) return lLevel;
    }
    return lLevel;
}

void frmVexo::mCaliCurveWrite(int32_t ilMicLevel, int16_t inSlot, bool& obError) {
    ErrorTrap trap(kModule, "mCaliCurveWrite", obError);
    QString sSeqName;
    Variant vTestName;
    if (!trap(10, [&] {
            sSeqName = SequenceRecord(dtaSeq.Recordset()).Seq_Name();
            vTestName = dtaSeq.Recordset().field(SequenceRecord::slotField(inSlot));
        }))
        return;
    gVarSetSeqCal00(sSeqName, inSlot, obError);
    if (obError) return;
    Recordset& rs = dtaSeqCal.Recordset();
    if (!trap(20, [&] {
            rs.Edit();
            rs.setField(QStringLiteral("Test_Name"), vTestName);
            rs.setField(QStringLiteral("AttIn"), Variant(ilMicLevel));
            for (int q = 1; q <= calibrationmath::kFields; ++q)
                rs.setField(CalibrationRecord::refField(q), Variant(calibrationmath::encodeField(gafRefCrv, q)));
            rs.Update();
        })) {
        // A half-written row never reaches the table.
        if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
    }
}

void frmVexo::mSeqCalClear(const QString& isSeqName, int16_t inSlot, bool& obError) {
    ErrorTrap trap(kModule, "mSeqCalClear", obError);
    gVarSetSeqCal00(isSeqName, inSlot, obError);
    if (obError) return;
    Recordset& rs = dtaSeqCal.Recordset();
    if (!trap(10, [&] {
            rs.Edit();
            rs.setField(QStringLiteral("Test_Name"), Variant(QStringLiteral(" ")));
            rs.Update();
        })) {
        if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
    }
}

void frmVexo::mSeqWriteNow(bool& obError) {
    ErrorTrap trap(kModule, "mSeqWriteNow", obError);
    Recordset& rs = dtaSeq.Recordset();
    if (!trap(10, [&] {
            rs.Edit();
            rs.setField(QStringLiteral("Last_Cali"), Variant::date(vclock::nowDays()));
            rs.Update();
        })) {
        if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
    }
}

int32_t frmVexo::mlSeqCalMicLevel(const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "mlSeqCalMicLevel", obError);
    QString sSeqName;
    if (!trap(10, [&] { sSeqName = SequenceRecord(dtaSeq.Recordset()).Seq_Name(); })) return 0;
    // A test never calibrated for the sequence starts from 0.
    const bool bFound = gbVarFindSeqCalTestName(sSeqName, isTestName, obError);
    if (obError || !bFound) return 0;
    int32_t lLevel = 0;
    trap(20, [&] { lLevel = CalibrationRecord(dtaSeqCal.Recordset()).AttIn(); });
    return lLevel;
}

bool frmVexo::mbCaliDue(bool& obError) {
    ErrorTrap trap(kModule, "mbCaliDue", obError);
    bool bDue = false;
    if (!trap(10, [&] {
            const SequenceRecord seq(dtaSeq.Recordset());
            bDue = caliDue(seq.Last_Cali(), seq.Cali_ETime(), vclock::nowDays());
        }))
        return false;
    return bDue;
}

void frmVexo::mShowWhenCalDue(bool& obError) {
    ErrorTrap trap(kModule, "mShowWhenCalDue", obError);
    const bool bDue = mbCaliDue(obError);
    if (obError) return;
    QString sText;
    if (bDue) {
        sText = QStringLiteral("CALIBRATION DUE!");
        if (!trap(10, [&] { cmdCali->SetFocusIfAble(); })) return;
    } else {
        double dLastCali = 0.0;
        double dETime = 0.0;
        if (!trap(20, [&] {
                const SequenceRecord seq(dtaSeq.Recordset());
                dLastCali = seq.Last_Cali();
                dETime = seq.Cali_ETime();
            }))
            return;
        if (dETime > 0.0) {
            if (dLastCali != 0.0 && !trap(30, [&] { sText = caliDueWhenText(dLastCali, dETime, vclock::nowDays()); }))
                return;
        } else {
            const QString sWhen = gsTimeDateShortTimeMediumDate(dLastCali, obError);
            if (obError) return;
            sText = QStringLiteral("Calibrated ") + sWhen;
        }
    }
    gMSubRespShowWhenCaliDue(sText, obError);
}

void frmVexo::gForceReCalAll(const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "gForceReCalAll", obError);
    QString sCurrent;
    bool bSeen = false;
    {
        FlagHold dontProcess(gbTraboDontProcess);
        const NoticeCloser closer;
        Recordset& rs = dtaSeq.Recordset();
        long lCount = 0;
        if (!trap(10, [&] {
                lCount = rs.RecordCount();
                if (lCount > 0 && !rs.EOF_() && !rs.BOF() && !rs.field(0).isNull()) sCurrent = CStr(rs.field(0));
            }))
            return;
        for (long lPos = 0; lPos < lCount; ++lPos) {
            if (!trap(20, [&] { lPos == 0 ? rs.MoveFirst() : rs.MoveNext(); })) break;
            Variant vName;
            bool bMatch = false;
            if (!trap(30, [&] {
                    vName = rs.field(0);
                    bMatch = !vName.isNull() && (isTestName.isEmpty() || slotsHoldTest(rs, isTestName));
                }))
                break;
            if (vName.isNull()) continue;
            const QString sName = CStr(vName);
            if (bMatch) {
                frmPrompt::gDisplay(QStringLiteral("Forcing re-calibration for '") + sName + QLatin1Char('\''),
                                    QStringLiteral("Forcing re-calibration - Please wait ..."), obError);
                if (obError) break;
                gGPause(250, obError);
                if (obError) break;
                if (!trap(40, [&] {
                        rs.Edit();
                        rs.setField(QStringLiteral("Last_Cali"), Variant::date(0.0));
                        rs.Update();
                    })) {
                    // The record stays as it was; the walk stops on it.
                    if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
                    break;
                }
            }
            if (!sCurrent.isEmpty() && sName == sCurrent) bSeen = true;
        }
    }
    if (obError || !bSeen) return;
    // Back on the current sequence: the move runs the sequence-change flow once.
    trap(50, [&] { dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(sCurrent)); });
}
