#include "audio/modWaveResponse.h"
#include "audio/LevelReading.h"
#include "audio/SweepScale.h"
#include "audio/modDigitalIO.h"
#include "audio/modMixer.h"
#include "audio/modResponseSub.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "common/ErrorTrap.h"
#include "common/modDoDelay.h"
#include "common/modGeneral.h"
#include "common/modLog10.h"
#include "platform/os/Clock.h"
#include "platform/vb/Conversions.h"
#include <QWidget>
#include <cmath>

ResponseCurve gafTargetCorrection;

namespace {
const char* kModule = "modWaveResponse";
// The devices, buffers and signal settings are single instances: a response
// started from a window event while one runs is refused.
bool mbResponseRunning = false;

int32_t mlUBound(const ResponseCurve& iaCurve) { return glCurveUBound(iaCurve); }

void mSetPoint(ResponseCurve& ioaCurve, int16_t inPoint, float ifValue) {
    if (inPoint < 0 || inPoint > mlUBound(ioaCurve)) vbRaise(vberr::kSubscriptOutOfRange);
    ioaCurve[static_cast<size_t>(inPoint)] = ifValue;
}

float mfPoint(const ResponseCurve& iaCurve, int16_t inPoint) {
    if (inPoint < 0 || inPoint > mlUBound(iaCurve)) vbRaise(vberr::kSubscriptOutOfRange);
    return iaCurve[static_cast<size_t>(inPoint)];
}

struct PointLoop {
    ResponseWindow& frm;
    int32_t lStart;
    int16_t nPoints;
    bool bCorrect;
    int32_t lColour;
    int16_t nDrawStyle;
    ResponseCurve& afLevel;
    ResponseCurve& afCorrected;
};

void mResponseDoOne(const PointLoop& iLoop, float ifInc, int16_t inPoint, bool& obError) {
    ErrorTrap trap(kModule, "mResponseDoOne", obError);
    // The scale frequency rounded to whole hertz.
    const float f = static_cast<float>(sweepscale::toneHz(iLoop.lStart, ifInc, inPoint));
    // A point the card cannot play stops the measurement: measuring the
    // previous tone again would be judged as this point's level.
    if (!gbWaveOutFrequencyInRange(f, true, obError)) {
        obError = true;
        return;
    }
    gWaveOutSetFrequency1SweepBurst(f, 0.0f, 0.0f, false, false, 0, 0.0f, 0.0f, obError);
    if (obError) return;
    std::vector<int16_t> samples;
    std::vector<int16_t> noRecording(1, 0);
    glWaveSampleRate = glWaveOutMakeUpdate(0, false, samples, noRecording, obError);
    if (obError) return;
    // The previous tone ends its current pass first (below 70 Hz a whole
    // cycle): the level is read once it is done at the converter.
    gWaveOutPreviousDone(obError);
    if (obError) return;
    gGPause(0, obError);
    if (obError) return;
    int32_t count = 0;
    int32_t settle = 0;
    if (!trap(50, [&] {
            count = levelreading::glWholeCycleSamples(f, gtypWaveInCaps.lSampleFrequency);
            settle = levelreading::glSettleSamples(f, gtypWaveInCaps.lSampleFrequency);
        }))
        return;
    const float level = gfWaveGetNADCsRetry(count, obError, settle);
    if (obError) return;
    float y = level;
    if (!trap(60, [&] {
            mSetPoint(iLoop.afLevel, inPoint, level);
            if (iLoop.bCorrect) {
                y = level + mfPoint(gafTargetCorrection, inPoint);
                mSetPoint(iLoop.afCorrected, inPoint, y);
            }
        }))
        return;
    const int16_t x = gnResponseSubCalcX(f, obError);
    if (obError) return;
    const int16_t yPos = gnResponseSubCalcY(iLoop.frm, y, obError);
    if (obError) return;
    gResponseSubPlotOne(iLoop.frm, x, yPos, iLoop.lColour, iLoop.nDrawStyle, inPoint != 1, true, obError);
}

void mResponseDoTheLot(const PointLoop& iLoop, int32_t ilEnd, bool& obError) {
    ErrorTrap trap(kModule, "mResponseDoTheLot", obError);
    float inc = 0.0f;
    bool haveInc = false;
    trap(10, [&] {
        if (iLoop.lStart == 0) vbRaise(vberr::kDivisionByZero);
        // A range of 0 or below gets gfLog10's message.
        if (!(CSng(static_cast<double>(ilEnd) / iLoop.lStart) > 0.0f)) {
            gfLog10(CSng(static_cast<double>(ilEnd) / iLoop.lStart), obError);
            return;
        }
        inc = sweepscale::step(iLoop.lStart, ilEnd, iLoop.nPoints);
        haveInc = true;
    });
    if (haveInc && !obError) {
        if (auto* w = dynamic_cast<QWidget*>(&iLoop.frm)) {
            w->raise();
            w->activateWindow();
        }
        for (int16_t p = 1; p <= iLoop.nPoints && !obError; ++p) mResponseDoOne(iLoop, inc, p, obError);
    } else {
        obError = true;
    }
    bool closeError = false;
    gWaveOutClose(true, closeError);
    if (closeError) obError = true;
}
}

void gWaveResponse(ResponseWindow& frm, float fStart, float fEnd, int16_t nPoints, float fDelay, float fVOut,
                   bool bActive, int32_t lMicVol, int16_t nMasterVol, bool bCorrect, int32_t lColour,
                   int16_t nDrawStyle, ResponseCurve& afLevel, ResponseCurve& afCorrected, bool& obError) {
    ErrorTrap trap(kModule, "gWaveResponse", obError);
    if (mbResponseRunning) {
        trap(5, [] { vbRaise(vberr::kUserBase, QStringLiteral("A measurement is already running")); });
        obError = true;
        return;
    }
    // Arrays too short for the point count are refused before anything plays.
    bool fits = false;
    trap(7, [&] {
        if (nPoints > mlUBound(afLevel)) vbRaise(vberr::kSubscriptOutOfRange);
        if (bCorrect && (nPoints > mlUBound(afCorrected) || nPoints > mlUBound(gafTargetCorrection)))
            vbRaise(vberr::kSubscriptOutOfRange);
        fits = true;
    });
    if (!fits) {
        obError = true;
        return;
    }
    mbResponseRunning = true;
    struct Running {
        ~Running() { mbResponseRunning = false; }
    } running;

    const bool wasInProgress = gbDigTestInProgressSet(obError);
    if (!obError && !wasInProgress) gDigSetTestInProgress(obError);
    if (!obError) gMixerInMicSetVolume(lMicVol, obError);
    if (!obError) {
        if (gbWaveOutFrequencyInRange(fStart, true, obError)) gWaveOutSetSineFreq(fStart, obError);
        else obError = true;
    }
    if (!obError) vclock::poll();
    if (!obError) {
        if (nMasterVol != 0) gMixerOutMasterSetVolume(nMasterVol, obError);
        else gVOutSet(fVOut, bActive, obError);
    }
    if (!obError) {
        std::vector<int16_t> samples;
        std::vector<int16_t> noRecording(1, 0);
        glWaveOutOpenPrepMakeUpdate(0, samples, noRecording, obError);
    }
    if (!obError) gDoDelay(fDelay + 0.04f, obError);
    if (!obError) {
        // 32-bit: a 40 kHz top frequency does not fit 16 bits.
        int32_t start = 0;
        int32_t end = 0;
        if (trap(80, [&] {
                start = CLng(fStart);
                end = CLng(fEnd);
            })) {
            const PointLoop loop{frm, start, nPoints, bCorrect, lColour, nDrawStyle, afLevel, afCorrected};
            mResponseDoTheLot(loop, end, obError);
        }
    }
    // The output never stays open after a failed step.
    if (obError) {
        bool closeError = false;
        gWaveOutClose(true, closeError);
    }
    if (!wasInProgress) {
        bool clearError = false;
        gDigSetNotTestInProgress(clearError);
        if (clearError) obError = true;
    }
}
