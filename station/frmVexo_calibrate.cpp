// Sequence calibration, its due date and forced recalibration.
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/frmPrompt.h"
#include "common/modGeneral.h"
#include "common/modTimeDate.h"
#include "platform/os/Clock.h"
#include "platform/vb/Conversions.h"
#include "platform/ui/FormRegistry.h"
#include "station/CalibrationDue.h"
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

// Filled with the calibration.
int32_t frmVexo::mlSeqCalMicLevel(const QString& isTestName, bool& obError) {
    Q_UNUSED(isTestName);
    Q_UNUSED(obError);
    return 0;
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
        const DontProcess dontProcess(*this);
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
