#include "audio/modWavePolarity.h"
#include "audio/modMixer.h"
#include "audio/modTimeResponseShow.h"
#include "common/ErrorTrap.h"
#include "platform/vb/Conversions.h"

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
            for (size_t i = 1; i < ianSamples.size(); ++i)
                scaled[i] = CInt(fFactor * static_cast<float>(ianSamples[i]));
        }))
        return;
    gTimeResponseShow(scaled, true, 65534, ilColour, ifWindow, obError);
}
