#include "audio/modWavePolarity.h"
#include "audio/modMixer.h"
#include "audio/modTimeResponseShow.h"
#include "audio/modWaveInOut.h"
#include "common/ErrorTrap.h"
#include "platform/vb/Conversions.h"
#include <algorithm>

namespace {
const char* kModule = "modWavePolarity";
}

void gWavePolarityScaleShowInOut(bool ibRedrawAxis, float ifWindow, int32_t ilOutColour,
                                 const std::vector<int16_t>& ianOut, int32_t ilInScale, int32_t ilInColour,
                                 const std::vector<int16_t>& ianIn, bool& obError) {
    if (ibRedrawAxis) {
        gTimeResponseShowDrawAxis(true, obError);
        if (obError) return;
    }
    const int32_t lMasterVolume = glMixerOutMasterGetVolume(obError);
    if (obError) return;
    gWavePolarityScaleShow(ifWindow, ilOutColour, ianOut, lMasterVolume, obError);
    if (obError) return;
    if (ianIn.size() > 1) gWavePolarityScaleShow(ifWindow, ilInColour, ianIn, ilInScale, obError);
}

void gWavePolarityScaleShow(float ifWindow, int32_t ilColour, const std::vector<int16_t>& ianSamples,
                            int32_t ilVolume, bool& obError) {
    if (ianSamples.size() <= 1) return;
    ErrorTrap trap(kModule, "gWavePolarityScaleShow", obError);
    std::vector<int16_t> scaled(ianSamples.size(), 0);
    if (!trap(10, [&] {
            const float fFactor = static_cast<float>(ilVolume) / 65534.0f;
            // 65535 / 65534 takes a full-scale sample just past 32767: the
            // picture shows it at full scale rather than abandoning the test.
            for (size_t i = 1; i < ianSamples.size(); ++i)
                scaled[i] = CInt(std::clamp(fFactor * static_cast<float>(ianSamples[i]), -32768.0f, 32767.0f));
        }))
        return;
    gTimeResponseShow(scaled, true, 65534, ilColour, ifWindow, obError);
}

void gWavePolarity(float ifFreq, float ifCycles, float ifWindow, int32_t ilInScale, bool ibRedrawAxis,
                   std::vector<int16_t>& ioanSamples, bool& obError) {
    gWaveOutSetFrequency1SweepBurst(ifFreq, 0.0f, 0.0f, false, false, 0, ifCycles, ifWindow, obError);
    if (obError) return;
    std::vector<int16_t> anOut;
    gWaveOutChange(QStringLiteral("Open"), 1, true, false, anOut, ioanSamples, obError);
    // Closed after a failure too, so the next measurement finds the output free.
    bool bCloseError = false;
    gWaveOutClose(obError, bCloseError);
    if (bCloseError) obError = true;
    if (obError) return;
    gWavePolarityScaleShowInOut(ibRedrawAxis, ifWindow, 255, anOut, ilInScale, 65535, ioanSamples, obError);
}
