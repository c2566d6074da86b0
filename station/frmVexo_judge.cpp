// The response test of a run and its judging by limit layers.
#include "audio/modWaveResponse.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "station/LayerJudge.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "frmVexo";
constexpr int32_t kRed = 255;
constexpr int32_t kGreen = 65280;
constexpr int32_t kWhite = 0xFFFFFF;
}

int16_t frmVexo::mnRespTest(const QString& isTestName, int16_t inSlot, int16_t inRespNo, int16_t inFailSet,
                            bool& obError) {
    ErrorTrap trap(kModule, "mnRespTest", obError);
    int16_t nFailSet = inFailSet;
    QString sSeqName;
    if (!trap(10, [&] { sSeqName = SequenceRecord(dtaSeq.Recordset()).Seq_Name(); })) return nFailSet;
    const bool bLoaded = gMSubSetRefCrvActive(sSeqName, isTestName, obError);
    if (obError) return nFailSet;
    // Judged against another test's reference a bad unit could pass.
    if (!bLoaded && !trap(15, [&] {
            vbRaise(vberr::kUserBase + 18, QStringLiteral("Test '") + isTestName +
                                               QStringLiteral("' is not calibrated for sequence '") + sSeqName +
                                               QLatin1Char('\''));
        }))
        return nFailSet;
    if (!bLoaded) {
        obError = true;
        return nFailSet;
    }
    if (!trap(20, [&] { formSurface(*this).Cls(); })) return nFailSet;
    gDrawRespGridShowTestName(isTestName, inRespNo, true, obError);
    if (obError) return nFailSet;
    mafRespDiff.assign(1, 0.0f);
    const bool bPass = mbRespTestPassFail(isTestName, inRespNo, obError);
    if (obError) return nFailSet;
    // The relative curve stays with its slot for the after-unit logging; an
    // operator's decision leaves none.
    if (mafRespDiff.size() > 1) matypRespDiff.at(static_cast<size_t>(inSlot)) = RespDiffEntry{isTestName, mafRespDiff};
    int32_t lColour = kGreen;
    if (bPass) {
        mabRespTestPass.at(static_cast<size_t>(inSlot)) = true;
    } else {
        nFailSet = static_cast<int16_t>(nFailSet | failbit::kResponse);
        lColour = kRed;
    }
    gResponseSubShowTestName(*this, isTestName, inRespNo, lColour, obError);
    return nFailSet;
}

bool frmVexo::mbRespTestPassFail(const QString& isTestName, int16_t inRespNo, bool& obError) {
    ErrorTrap trap(kModule, "mbRespTestPassFail", obError);
    const int32_t lMicLevel = mlSeqCalMicLevel(isTestName, obError);
    if (obError) return false;
    QString sTarget;
    if (!trap(10, [&] { sTarget = SequenceRecord(dtaSeq.Recordset()).Target_File(); })) return false;
    if (!sTarget.isEmpty()) {
        mbTargetExistValidRef2Target(obError);
        if (obError) return false;
    }
    bool bOpDecide = false;
    if (!trap(20, [&] { bOpDecide = TestRecord(dtaTest.Recordset()).Op_Decide(true); })) return false;
    if (!bOpDecide) return mbRespTestPCDo(lMicLevel, obError);
    ResponseSweepFields sw;
    if (!trap(30, [&] { sw = TestRecord(dtaTest.Recordset()).Sweep(); })) return false;
    return gbMSubResponseTestOpDo(sw.fLo, sw.fHi, sw.nPoints, sw.fDelay, sw.fDrive, sw.bActive, lMicLevel, isTestName,
                                  inRespNo, obError);
}

bool frmVexo::mbRespTestPCDo(int32_t ilMicLevel, bool& obError) {
    ErrorTrap trap(kModule, "mbRespTestPCDo", obError);
    ResponseSweepFields sw;
    if (!trap(10, [&] {
            sw = TestRecord(dtaTest.Recordset()).Sweep();
            if (sw.nPoints < 1 || sw.nPoints > layerjudge::kMaxPoints) vbRaise(vberr::kSubscriptOutOfRange);
        }))
        return false;
    const int16_t n = sw.nPoints;
    ResponseCurve afMeasured(static_cast<size_t>(n) + 1, 0.0f);
    ResponseCurve afCorrected(static_cast<size_t>(n) + 1, 0.0f);
    std::vector<float> afLinear(static_cast<size_t>(n) + 1, 0.0f);
    mafRespDiff.assign(static_cast<size_t>(n) + 1, 0.0f);
    gMSubResponseShowRef(ilMicLevel, obError);
    if (obError) return false;
    gWaveResponse(*this, sw.fLo, sw.fHi, n, sw.fDelay, sw.fDrive, sw.bActive, ilMicLevel, 0,
                  glCurveUBound(gafTargetCorrection) > 0, kWhite, 0, afMeasured, afCorrected, obError);
    if (obError) return false;
    mStoreResponse(afCorrected, afMeasured, afLinear, obError);
    if (obError) return false;
    const bool bPass = mbDoRespTestPCDecidePass(afLinear, obError);
    if (!obError && !bPass) mShowPassFailLyr(kRed, obError);
    return bPass;
}

void frmVexo::mStoreResponse(ResponseCurve& iafCorrected, ResponseCurve& iafMeasured, std::vector<float>& oafLinear,
                             bool& obError) {
    Q_UNUSED(iafCorrected);   // the target correction changes only what is drawn
    ErrorTrap trap(kModule, "mStoreResponse", obError);
    trap(10, [&] {
        const int16_t n = TestRecord(dtaTest.Recordset()).Swp_Point();
        if (n < 1 || n > layerjudge::kMaxPoints || static_cast<int>(iafMeasured.size()) <= n ||
            static_cast<int>(oafLinear.size()) <= n || static_cast<int>(gafRefCrv.size()) <= n)
            vbRaise(vberr::kSubscriptOutOfRange);
        mafRespDiff.assign(static_cast<size_t>(n) + 1, 0.0f);
        for (int p = 1; p <= n; ++p) {
            mafRespDiff[static_cast<size_t>(p)] = iafMeasured[static_cast<size_t>(p)] - gafRefCrv[static_cast<size_t>(p)];
            oafLinear[static_cast<size_t>(p)] = layerjudge::linearDeviation(mafRespDiff[static_cast<size_t>(p)]);
        }
    });
}

bool frmVexo::mbDoRespTestPCDecidePass(std::vector<float>& iafAbsDiff, bool& obError) {
    ErrorTrap trap(kModule, "mbDoRespTestPCDecidePass", obError);
    mfWorstDev = 0.0f;
    mnWorstBlock = 0;
    mnWorstLyr = 0;
    msWorstTest.clear();
    layerjudge::Judgement j;
    QString sTest;
    if (!trap(10, [&] {
            const TestRecord t(dtaTest.Recordset());
            sTest = t.Test_Name();
            const layerjudge::Sweep sweep{t.fLo_HzLong(), t.fHi_HzLong(), t.Swp_Point()};
            layerjudge::Layers layers;
            for (int n = 1; n <= layerjudge::kLayers; ++n) layers[static_cast<size_t>(n - 1)] = t.Layer(n);
            j = layerjudge::judge(sweep, layers, iafAbsDiff);
        }))
        return false;
    mfWorstDev = j.fWorstDev;
    mnWorstBlock = j.nWorstBlock;
    mnWorstLyr = j.nWorstLyr;
    if (mnWorstLyr != 0) msWorstTest = sTest;
    if (j.fLargestDev > mfLargestDev) mfLargestDev = j.fLargestDev;
    return j.bPass;
}

void frmVexo::mResetRunValues() {
    mfWorstDev = 0.0f;
    mnWorstLyr = 0;
    mnWorstBlock = 0;
    msWorstTest.clear();
    mfLargestDev = 0.0f;
    mafRespDiff.assign(1, 0.0f);
    matypRespDiff.assign(17, RespDiffEntry{});
}
