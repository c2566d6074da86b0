// Target curve correction of the current response test.
#include "audio/modAudio.h"
#include "audio/modFileResponseCurveRead.h"
#include "audio/modWaveResponse.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/modArraySingleMaxPtr.h"
#include "common/modArraySingleSearchPtr.h"
#include "common/modGeneral.h"
#include "common/modProcessNumberLo.h"
#include "platform/vb/VbError.h"
#include "station/TargetMath.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "frmVexo";

// The target file's level at f: the first file point at or above f, taken as
// it is when it lies on f, else on the straight line from the point before it
// (linear in hertz). Beyond the file's ends its end levels hold.
float mfTargetFileLevel(const std::vector<float>& iafFreq, const std::vector<float>& iafLevel, float ifFreq,
                        bool& obError) {
    const float f = targetClampFrequency(iafFreq, ifFreq);
    const int32_t i = glArraySingleSearchPtr(iafFreq, 1, glCurveUBound(iafFreq), f, false, 1, obError);
    if (obError) return 0.0f;
    if (i < 1 || i >= static_cast<int32_t>(iafLevel.size())) vbRaise(vberr::kSubscriptOutOfRange);
    const size_t k = static_cast<size_t>(i);
    if (iafFreq[k] == f) return iafLevel[k];
    if (k < 2) vbRaise(vberr::kSubscriptOutOfRange);
    return gfPnStraightLine(iafFreq[k - 1], iafLevel[k - 1], iafFreq[k], iafLevel[k], f, false, obError);
}

void mTargetArraysEmpty() {
    gafTargetCorrection.assign(1, 0.0f);
    gafTargetLevel.assign(1, 0.0f);
    gafRef2Target.assign(1, 0.0f);
}
}   // namespace

bool frmVexo::mbTargetExistValidRef2Target(bool& obError) {
    ErrorTrap trap(kModule, "mbTargetExistValidRef2Target", obError);
    if (obError) return false;
    QString sFile;
    if (!trap(10, [&] { sFile = SequenceRecord(dtaSeq.Recordset()).Target_File(); })) return false;
    const bool bNamed = gbGLenTrim(sFile, obError);
    if (obError || !bNamed) return false;

    // From here a failure leaves no target in use; the caller carries on and
    // shows the file as bad.
    bool bBuildError = false;
    ErrorTrap build(kModule, "mbTargetExistValidRef2Target", bBuildError);
    const bool bBuilt = [&] {
        int32_t lLo = 0;
        int32_t lHi = 0;
        int16_t n = 0;
        if (!build(20, [&] {
                const TestRecord test(dtaTest.Recordset());
                lLo = test.fLo_HzLong();
                lHi = test.fHi_HzLong();
                n = test.Swp_Point();
            }))
            return false;
        std::vector<float> afFreq;
        std::vector<float> afLevel;
        gFileResponseCurveRead(sFile, static_cast<float>(lLo), static_cast<float>(lHi), afFreq, afLevel,
                               bBuildError);
        if (bBuildError) return false;
        const int16_t m = static_cast<int16_t>(n / 2);
        const float fMiddle = gfAudioPoint2Freq(lLo, lHi, n, m, bBuildError);
        if (bBuildError) return false;
        float fOffset = 0.0f;
        if (!build(30, [&] { fOffset = targetOffset(mfTargetFileLevel(afFreq, afLevel, fMiddle, bBuildError)); }) ||
            bBuildError)
            return false;
        if (!build(40, [&] {
                const size_t size = static_cast<size_t>(n) + 1;
                gafTargetCorrection.assign(size, 0.0f);
                gafTargetLevel.assign(size, 0.0f);
                gafRef2Target.assign(size, 0.0f);
            }))
            return false;
        mRef2TargetDo(afFreq, afLevel, fOffset, bBuildError);
        return !bBuildError;
    }();
    if (!bBuilt) mTargetArraysEmpty();
    return bBuilt;
}

void frmVexo::mRef2TargetDo(std::vector<float>& ioafFreq, std::vector<float>& ioafLevel, float ifOffset,
                            bool& obError) {
    ErrorTrap trap(kModule, "mRef2TargetDo", obError);
    int32_t lLo = 0;
    int32_t lHi = 0;
    int16_t n = 0;
    if (!trap(10, [&] {
            const TestRecord test(dtaTest.Recordset());
            lLo = test.fLo_HzLong();
            lHi = test.fHi_HzLong();
            n = test.Swp_Point();
        }))
        return;
    for (int16_t p = 1; p <= n; ++p) {
        const float f = gfAudioPoint2Freq(lLo, lHi, n, p, obError);
        if (obError) return;
        float fLevel = 0.0f;
        if (!trap(20, [&] { fLevel = mfTargetFileLevel(ioafFreq, ioafLevel, f, obError); }) || obError) return;
        if (!trap(30, [&] {
                const size_t k = static_cast<size_t>(p);
                const TargetPoint t = targetPoint(fLevel, ifOffset, gafRefCrv.at(k));
                gafTargetLevel.at(k) = fLevel;
                gafTargetCorrection.at(k) = t.fCorrection;
                gafRef2Target.at(k) = t.fRef2Target;
            }))
            return;
    }
    mRef2TargetDoRefComp(n, obError);
}

void frmVexo::mRef2TargetDoRefComp(int16_t inPoints, bool& obError) {
    ErrorTrap trap(kModule, "mRef2TargetDoRefComp", obError);
    const int32_t i = glArraySingleMaxPtr(gafRef2Target, 1, 1, 0, obError);
    if (obError) return;
    trap(10, [&] {
        const float fShift = targetTopShift(gafRef2Target.at(static_cast<size_t>(i)));
        if (fShift == 0.0f) return;
        for (int16_t p = 1; p <= inPoints; ++p) {
            gafTargetCorrection.at(static_cast<size_t>(p)) += fShift;
            gafRef2Target.at(static_cast<size_t>(p)) += fShift;
        }
    });
}
