#include "audio/modAudio.h"
#include "common/ErrorTrap.h"
#include "common/modLog10.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include <cmath>

namespace {
const char* kModule = "modAudio";

// The step between points in decades. lFLo 0 sets the error flag silently;
// one point divides by zero, a run-time error for the handler.
float mfLogInc(int32_t lFLo, int32_t lFHi, int16_t nPoints, bool& obError) {
    if (lFLo == 0) {
        obError = true;
        return 0.0f;
    }
    ErrorTrap trap(kModule, "mfLogInc", obError);
    float inc = 0.0f;
    trap(10, [&] {
        const float decades = gfLog10(CSng(static_cast<double>(lFHi) / lFLo), obError);
        if (obError) return;
        if (nPoints == 1) vbRaise(vberr::kDivisionByZero);
        inc = CSng(decades / static_cast<double>(nPoints - 1));
    });
    return inc;
}
}

float gfAudioPoint2Freq(int32_t lFLo, int32_t lFHi, int16_t nPoints, int16_t nPoint, bool& obError) {
    QString refusal;
    if (nPoint < 1) refusal = QStringLiteral("inPoint (%1) < 1").arg(nPoint);
    else if (nPoint > nPoints) refusal = QStringLiteral("inPoint (%1) > inPoints (%2)").arg(nPoint).arg(nPoints);
    if (!refusal.isEmpty()) {
        gMsgBox(refusal, vbExclamation, QStringLiteral("modAudio.gfAudioPoint2Freq"));
        obError = true;
        return 0.0f;
    }
    const float inc = mfLogInc(lFLo, lFHi, nPoints, obError);
    if (obError) return 0.0f;
    ErrorTrap trap(kModule, "gfAudioPoint2Freq", obError);
    float result = 0.0f;
    trap(10, [&] { result = CSng(std::pow(10.0, static_cast<double>(inc) * (nPoint - 1)) * lFLo); });
    return result;
}
