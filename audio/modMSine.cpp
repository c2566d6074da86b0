#include "audio/modMSine.h"
#include "audio/LevelReading.h"
#include "audio/modAudio.h"
#include "audio/modDigitalIO.h"
#include "audio/modMixer.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "common/ErrorTrap.h"
#include "common/frmPrompt.h"
#include "common/modDoDelay.h"
#include "common/modGeneral.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include <vector>

namespace {
const char* kModule = "modMSine";
const QString kNoSweep = QStringLiteral("No Sweep");
constexpr int32_t kMicVolume = 58982;   // CLng(65535 x 0.9)
}

bool gbSine(const SineTestSettings& itypTest, float& ofLevel, bool& obError) {
    ErrorTrap trap(kModule, "gbSine", obError);
    const bool bWasSet = gbDigTestInProgressSet(obError);
    const bool bSetHere = !obError && !bWasSet;
    if (bSetHere) gDigSetTestInProgress(obError);
    bool bPass = false;
    if (!obError) gWaveOutSetShape(QStringLiteral("Sine"), obError);
    // The waits below are busy: the notice must be on the screen before them.
    if (!obError && isLoaded<frmPrompt>()) trap(10, [&] { form<frmPrompt>().Refresh(); });
    if (!obError && (itypTest.Swp_Type == kNoSweep || itypTest.PC_Decide)) {
        mSetFreqVOut(itypTest.fLo_Hz, itypTest.Drive_V, itypTest.Active_Flag, obError);
        if (!obError) gDoDelay(itypTest.Delay_s, obError);
    }
    if (!obError) {
        if (itypTest.PC_Decide) {
            const float fLevel =
                gfSineMeasureOne(itypTest.fLo_Hz, itypTest.Delay_s, itypTest.Drive_V, itypTest.Active_Flag, obError);
            if (!obError) {
                ofLevel = fLevel;
                bPass = itypTest.fLo_Lim <= fLevel && fLevel <= itypTest.fHi_Lim;
            }
        } else {
            if (itypTest.Swp_Type != kNoSweep)
                mSineUsrSweep(itypTest.fLo_Hz, itypTest.fHi_Hz, itypTest.Swp_Type, itypTest.Delay_s,
                              itypTest.SwpDur_s, itypTest.Drive_V, itypTest.Active_Flag, obError);
            if (!obError) {
                if (itypTest.Op_Decide) {
                    const QString sPrompt = gsGTrim(itypTest.Op_Prompt, obError);
                    // Without a question there is nothing to decide on: the test fails.
                    if (!obError && !sPrompt.isEmpty()) {
                        trap(20, [&] {
                            if (isLoaded<frmPrompt>()) unload<frmPrompt>();
                            const int nDefault = itypTest.Op_DecideY ? vbDefaultButton1 : vbDefaultButton2;
                            const int nAnswer = gMsgBox(sPrompt + QStringLiteral("?"), vbYesNo | nDefault,
                                                        itypTest.sTestName);
                            bPass = itypTest.Op_DecideY ? nAnswer == vbYes : nAnswer == vbNo;
                        });
                    }
                } else {
                    bPass = true;
                }
            }
        }
    }
    // The tone or sweep plays until here; it stops and the line clears whatever happened.
    bool bCloseError = false;
    gWaveOutClose(true, bCloseError);
    if (bCloseError) obError = true;
    if (bSetHere) {
        bool bClearError = false;
        gDigSetNotTestInProgress(bClearError);
        if (bClearError) obError = true;
    }
    return bPass && !obError;
}

float gfSineMeasureOne(float ifFreq, float ifDelay, float ifVOut, bool ibActive, bool& obError) {
    gWaveOutSetSineFreq(ifFreq, obError);
    if (obError) return 0.0f;
    gVOutSet(ifVOut, ibActive, obError);
    if (obError) return 0.0f;
    // The microphone level before the wait: samples already on their way
    // through the input would otherwise be read at the level the last test
    // (a polarity test's 60 %, say) left.
    gMixerInMicSetVolume(kMicVolume, obError);
    if (obError) return 0.0f;
    gDoDelay(ifDelay, obError);
    if (obError) return 0.0f;
    // Whole cycles of the tone, at least 1,000 samples: a fixed count reads
    // up to 1 dB off at 30 Hz, depending on the phase it starts at.
    ErrorTrap trap(kModule, "gfSineMeasureOne", obError);
    int32_t lCount = 0;
    int32_t lSettle = 0;
    if (!trap(10, [&] {
            lCount = levelreading::glWholeCycleSamples(ifFreq, gtypWaveInCaps.lSampleFrequency);
            lSettle = levelreading::glSettleSamples(ifFreq, gtypWaveInCaps.lSampleFrequency);
        }))
        return 0.0f;
    const float fLevel = gfWaveGetNADCsRetry(lCount, obError, lSettle);
    return obError ? 0.0f : fLevel;
}

void mSineUsrSweep(float ifLo, float ifHi, const QString& isSweepType, float ifDelay, float ifDuration, float ifVOut,
                   bool ibActive, bool& obError) {
    ErrorTrap trap(kModule, "mSineUsrSweep", obError);
    int16_t nSteps = 0;
    bool bLog = false;
    bool bUpDown = false;
    bool bDownFirst = false;
    if (!trap(10, [&] {
            nSteps = CInt(190.0 * ifDuration);
            bLog = isSweepType.contains(QStringLiteral("Log"));
            const qsizetype nUp = isSweepType.indexOf(QStringLiteral("Up"));
            const qsizetype nDown = isSweepType.indexOf(QStringLiteral("Down"));
            bUpDown = nUp >= 0 && nDown >= 0;
            bDownFirst = nDown >= 0 && (nUp < 0 || nDown < nUp);
        }))
        return;
    mSetFreqVOut(bDownFirst ? ifHi : ifLo, ifVOut, ibActive, obError);
    if (obError) return;
    if (ifDelay > 0.0f) {
        gDoDelay(ifDelay, obError);
        if (obError) return;
    }
    // 0 V or less is silence whatever the signal: the sweep is not made
    // either, or it would open the output at the amplitude set last.
    if (ifDuration > 0.0f && ifVOut > 0.0f) {
        const float fFrom = bDownFirst ? ifHi : ifLo;
        const float fTo = bDownFirst ? ifLo : ifHi;
        gWaveOutSetFrequency1SweepBurst(fFrom, fTo, ifDuration, bLog, bUpDown, nSteps, 0.0f, 0.0f, obError);
        if (obError) return;
        std::vector<int16_t> anSamples(1, 0);
        std::vector<int16_t> anRecord(1, 0);   // upper bound 0: no recording
        const int32_t lRate = glWaveOutMakeUpdate(0, false, anSamples, anRecord, obError);
        if (obError) return;
        glWaveSampleRate = lRate;
    }
    int16_t nPauseMs = 0;
    if (!trap(20, [&] { nPauseMs = CInt(static_cast<double>(ifDuration) * 1000.0); })) return;
    const int64_t lBefore = glWaveOutPlayed(obError);
    if (obError) return;
    gGPause(nPauseMs, obError);
    if (obError) return;
    // An output that stood still played nothing to listen to.
    const int64_t lAfter = glWaveOutPlayed(obError);
    if (obError) return;
    if (glWaveOutHandle != 0 && nPauseMs > 0 && lAfter == lBefore)
        trap(30, [] { vbRaise(vberr::kUserBase, QStringLiteral("The output was not playing during the sweep")); });
}

void mSetFreqVOut(float ifFreq, float ifVOut, bool ibActive, bool& obError) {
    if (ifVOut <= 0.0f) return;
    gWaveOutSetFrequency1SweepBurst(ifFreq, 0.0f, 0.0f, false, false, 0, 0.0f, 0.0f, obError);
    if (obError) return;
    gVOutSet(ifVOut, ibActive, obError);
    if (obError) return;
    std::vector<int16_t> anSamples(1, 0);
    std::vector<int16_t> anRecord(1, 0);   // upper bound 0: no recording
    glWaveOutOpenPrepMakeUpdate(0, anSamples, anRecord, obError);
}
