// After each unit: serial numbers, reference and selected units, curve
// logging and the label script.
#include "audio/modWaveInOut.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/StationRecords.h"
#include "common/frmInputNumber.h"
#include "common/modMsgBox.h"
#include "common/modVarCrvFile.h"
#include "platform/os/TerminationSignals.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "frmVexo";
constexpr int kSerialMax = 9999999;
// A confirmed reference limit is never 0 (which turns the search off) or less.
constexpr float kRefLimMin = 0.01f;

// Whether a unit with this result is one the setting ("None", "Pass", "Fail",
// "Both") asks for.
bool wantedFor(const QString& isSetting, bool ibPassed) {
    return isSetting == QLatin1String("Both") || (isSetting == QLatin1String("Pass") && ibPassed) ||
           (isSetting == QLatin1String("Fail") && !ibPassed);
}
}

// The worst deviation the run passes is the judging's worst record, 0 for every
// clean unit; reference and selection go by the unit's margin instead: its
// largest block level over the tests the station judged in this pass.
void frmVexo::mSerialiseRefSelect(float ifWorstDev, int16_t inFailSet, bool& obError) {
    Q_UNUSED(ifWorstDev);
    ErrorTrap trap(kModule, "mSerialiseRefSelect", obError);
    bool bProduction = false;
    if (!trap(10, [&] { bProduction = dcboOperator->Visible(); })) return;
    if (!bProduction) return;
    // A unit without its serial number gets no label.
    mSerialiseRefSelectSerialise(inFailSet, obError);
    if (obError) return;
    const int16_t nResp = mnNextRespTest(0, obError);
    if (!obError && nResp != 0) {
        const bool bPassed = inFailSet == 0;
        bool bJudged = false;
        for (size_t k = 1; k < matypRespDiff.size(); ++k) bJudged = bJudged || !matypRespDiff[k].sTestName.isEmpty();
        float fRefLim = 0.0f, fSelLim = 0.0f;
        if (bPassed && bJudged && trap(20, [&] {
                const SequenceRecord seq(dtaSeq.Recordset());
                fRefLim = seq.Ref_Lim();
                fSelLim = seq.Sel_Lim();
            })) {
            const float fWorst = mfLargestDev;
            // An error here still lets the selection check run.
            bool bRefError = false;
            if (fRefLim > 0.0f && fWorst < fRefLim) mSerialiseRefSelectRef(fWorst, bRefError);
            if (fSelLim > 0.0f && fWorst <= fSelLim) {
                for (int k = 0; k < 5 && !obError; ++k) gSoundSiren(500, 5000, 3, obError);
                trap(30, [&] {
                    gMsgBox(QStringLiteral("Please mark this unit as SELECTED (") + Format(fWorst, QStringLiteral("0.00")) +
                                QStringLiteral("dB)"),
                            vbOKOnly, QStringLiteral("Selected Unit!"));
                });
            }
            if (bRefError) obError = true;
        }
        if (!obError) {
            bool bLog = false;
            if (trap(40, [&] { bLog = wantedFor(SequenceRecord(dtaSeq.Recordset()).Log_Disc(), bPassed); }) && bLog)
                mLogUnitCurve(inFailSet, obError);
        }
    }
    // The label prints after an error in the reference, selection or curve step too.
    bool bLabelError = false;
    gMSubProcessScript(bLabelError);
    if (bLabelError) obError = true;
}

void frmVexo::mSerialiseRefSelectSerialise(int16_t inFailSet, bool& obError) {
    ErrorTrap trap(kModule, "mSerialiseRefSelectSerialise", obError);
    QString sFlag;
    if (!trap(10, [&] { sFlag = SequenceRecord(dtaSeq.Recordset()).Serial_Flag(); })) return;
    if (wantedFor(sFlag, inFailSet == 0)) mReadSerial(obError);
}

void frmVexo::mSerialiseRefSelectRef(float ifWorstDev, bool& obError) {
    ErrorTrap trap(kModule, "mSerialiseRefSelectRef", obError);
    gSoundSiren(800, 3000, 5, obError);
    if (obError) return;
    const bool bYes = gbMsgBoxYesNo(QStringLiteral("Have you just tested the current reference"),
                                    QStringLiteral("Possible Reference!"), obError);
    if (obError || !bYes) return;
    float fOldLim = 0.0f;
    if (!trap(10, [&] { fOldLim = SequenceRecord(dtaSeq.Recordset()).Ref_Lim(); })) return;
    const QChar cr(13);
    if (!trap(20, [&] {
            gMsgBox(QStringLiteral("Please mark this unit ") + Format(ifWorstDev, QStringLiteral("0.00")) +
                        QStringLiteral(" and put aside.") + cr + cr + QStringLiteral("If available return the unit marked ") +
                        Format(fOldLim, QStringLiteral("0.00 ")) + cr + QStringLiteral("to production.") + cr,
                    vbOKCancel, QStringLiteral("Possible Reference!"));
        }))
        return;
    const float fNewLim = qMax(ifWorstDev, kRefLimMin);
    if (!trap(30, [&] {
            FlagHold quiet(gbTraboDontProcess);
            Recordset& rs = dtaSeq.Recordset();
            rs.Edit();
            try {
                rs.setField(QStringLiteral("Ref_Lim"), Variant(fNewLim));
                rs.Update();
            } catch (...) {
                if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
                throw;
            }
        }))
        return;
    const QString sLabel = msRefSearchLabelFill(fNewLim, obError);
    if (!obError) trap(40, [&] { lblRefSearch->setCaption(sLabel); });
}

void frmVexo::mReadSerial(bool& obError) {
    ErrorTrap trap(kModule, "mReadSerial", obError);
    int32_t n = 0;
    if (!trap(10, [&] { n = SequenceRecord(dtaSeq.Recordset()).Serial_No(); })) return;
    // The last number is offered again.
    if (n < kSerialMax) ++n;
    const QString sAnswer = frmInputNumber::gsInputNumber(QStringLiteral("Unit serial number"), QString(),
                                                          static_cast<float>(n), kSerialMax, 0, 1, true, false, obError);
    if (obError) return;
    int32_t lSerial = 0;
    if (!trap(20, [&] {
            // The box gives no number only when a shutdown ended it: the unit
            // goes without its serial number, and so without its label.
            if (sAnswer.isEmpty()) termination::raiseIfRequested();
            double d = 0.0;
            if (!parseLocaleNumber(sAnswer, d)) vbRaise(vberr::kTypeMismatch);
            lSerial = CLng(d);
        }))
        return;
    if (!trap(30, [&] {
            FlagHold quiet(gbTraboDontProcess);
            Recordset& rs = dtaSeq.Recordset();
            rs.Edit();
            try {
                rs.setField(QStringLiteral("Serial_No"), Variant(lSerial));
                rs.Update();
            } catch (...) {
                // The serial number stays as it was.
                if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
                throw;
            }
        }))
        return;
    trap(40, [&] { lblSerial->setCaption(QStringLiteral("Serial ") + CStr(lSerial)); });
}

// The curve of the sequence's main response test, when the station judged it in
// this pass: the test Main_Resp names, or the sequence's first response test when
// it names none of them. Logging another test's curve would mix sweeps among one
// model's logged curves. dtaTest goes to that test, since the curve store takes
// the sweep range and points from there.
void frmVexo::mLogUnitCurve(int16_t inFailSet, bool& obError) {
    ErrorTrap trap(kModule, "mLogUnitCurve", obError);
    QString sMain;
    if (!trap(10, [&] {
            const Variant v = dtaSeq.Recordset().field(QStringLiteral("Main_Resp"));
            if (!v.isNull()) sMain = RTrim(CStr(v));
        }))
        return;
    const int16_t nSlot = mainRespSlot(matypTestList, sMain);
    if (nSlot < 1 || static_cast<size_t>(nSlot) >= matypRespDiff.size()) return;
    const RespDiffEntry* pEntry = &matypRespDiff[static_cast<size_t>(nSlot)];
    // An operator's decision, or a test the run did not reach, leaves no curve.
    if (pEntry->sTestName.isEmpty()) return;
    bool bFound = false;
    if (!trap(20, [&] {
            Recordset& rs = dtaTest.Recordset();
            rs.FindFirst(QStringLiteral("Test_Name = ?"), Variant(pEntry->sTestName));
            bFound = !rs.NoMatch();
        }))
        return;
    if (!bFound) return;
    gVarCrvFileWrite(pEntry->afDiff, inFailSet, obError);
}

