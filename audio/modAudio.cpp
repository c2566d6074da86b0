#include "audio/modAudio.h"
#include "audio/SweepScale.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "common/modProcessNumberLo.h"
#include "common/ErrorTrap.h"
#include "common/modLog10.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include <algorithm>
#include <cmath>

namespace {
const char* kModule = "modAudio";

// The step between points in decades. lFLo 0 sets the error flag silently; a
// ratio of 0 or below gets gfLog10's message; one point divides by zero, a
// run-time error for the handler.
float mfLogInc(int32_t lFLo, int32_t lFHi, int16_t nPoints, bool& obError) {
    if (lFLo == 0) {
        obError = true;
        return 0.0f;
    }
    if (!(CSng(static_cast<double>(lFHi) / lFLo) > 0.0f)) {
        gfLog10(CSng(static_cast<double>(lFHi) / lFLo), obError);
        return 0.0f;
    }
    ErrorTrap trap(kModule, "mfLogInc", obError);
    float inc = 0.0f;
    trap(10, [&] { inc = sweepscale::step(lFLo, lFHi, nPoints); });
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
    trap(10, [&] { result = CSng(sweepscale::at(lFLo, inc, nPoint)); });
    return result;
}

int16_t gnAudioFreq2Point(int32_t lFLo, int32_t lFHi, int16_t nPoints, int32_t lFreq, bool& obError) {
    mfLogInc(lFLo, lFHi, nPoints, obError);
    if (obError) return 0;
    // A frequency of 0 or below gets gfLog10's message.
    if (!(CSng(static_cast<double>(lFreq) / lFLo) > 0.0f)) {
        gfLog10(CSng(static_cast<double>(lFreq) / lFLo), obError);
        return 0;
    }
    ErrorTrap trap(kModule, "gnAudioFreq2Point", obError);
    int16_t point = 0;
    trap(10, [&] { point = sweepscale::nearestPoint(lFLo, lFHi, nPoints, lFreq); });
    return point;
}

float gfWaveGetNADCs(int32_t nSamples, bool& obError, int32_t nSettle) {
    ErrorTrap trap(kModule, "gfWaveGetNADCs", obError);
    std::vector<int16_t> samples;
    const int32_t skip = std::max(nSettle, 0);
    if (!trap(10, [&] { samples.assign(static_cast<size_t>(skip) + std::max(nSamples, 0) + 1, 0); })) return 0.0f;
    gWaveInRecord(gtypWaveInCaps.lSampleFrequency, gtypWaveInCaps.nBits, samples, obError);
    if (obError) return 0.0f;
    double meanSquare = 0.0;
    for (int32_t i = 1; i <= nSamples; ++i) {
        const int32_t s = samples[static_cast<size_t>(skip + i)];
        meanSquare += static_cast<double>(s * s) / nSamples;
    }
    float rms = CSng(std::sqrt(meanSquare));
    if (rms == 0.0f) rms = 1.0f;   // silence reads -90.3 dB, not minus infinity
    return gfPN20Lg10(CSng(static_cast<double>(2.0f * rms) / 65535.0), obError);
}

float gfWaveGetNADCsRetry(int32_t nSamples, bool& obError, int32_t nSettle) {
    float level = 0.0f;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        gWaveInSetLossQuiet(attempt == 1);
        level = gfWaveGetNADCs(nSamples, obError, nSettle);
        gWaveInSetLossQuiet(false);
        if (!obError || attempt == 2 || !gbWaveInLostSamples) break;
        obError = false;
    }
    return level;
}
