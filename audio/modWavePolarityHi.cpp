#include "audio/modWavePolarityHi.h"
#include "audio/modMixer.h"
#include "audio/modTimeResponseShow.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWavePolarity.h"
#include "common/ErrorTrap.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include <QPointer>
#include <cstdlib>

namespace {
const char* kModule = "modWavePolarityHi";
constexpr int16_t kThreshold = 13107;      // CInt(32767 x 0.4)
constexpr int16_t kMarkerHalfLength = 400;
constexpr int16_t kLeftOffset = 8;
constexpr int32_t kMicVolume = 39321;     // CLng(65535 x 0.6)

// Watched, like the time display's target.
QPointer<PictureBox> mpicPolarity;
int16_t mnCentre = 0;
int16_t mnLimitOffset = 0;
int16_t mnPicWidth = 0;
int16_t mnMarkerY = 0;

PictureBox& polarityPicture() {
    if (!mpicPolarity) vbRaise(91, QStringLiteral("Object variable or With block variable not set"));
    return *mpicPolarity;
}
}

void gWavePolarityHiInitShowDraw(PictureBox& ioPic, int16_t inWidth, int16_t inHeight, bool& obError) {
    gWavePolarityHiInit(ioPic, inWidth, inHeight, obError);
    if (obError) return;
    gTimeResponseShowDrawAxis(false, obError);
    if (obError) return;
    mWavePolarityDrawLimits(obError);
}

void gWavePolarityHiShowDecision(int16_t inMarkerX, int32_t ilColour, bool& obError) {
    ErrorTrap trap(kModule, "gWavePolarityHiShowDecision", obError);
    trap(10, [&] {
        PictureBox& p = polarityPicture();
        p.setForeColor(ilColour);
        p.Line(inMarkerX, checkedInt(mnMarkerY + kMarkerHalfLength), inMarkerX,
               checkedInt(mnMarkerY - kMarkerHalfLength), ilColour);
    });
}

void gWavePolarityHiInit(PictureBox& ioPic, int16_t inWidth, int16_t inHeight, bool& obError) {
    ErrorTrap trap(kModule, "gWavePolarityHiInit", obError);
    if (!trap(10, [&] { mpicPolarity = &ioPic; })) return;
    const int16_t nCentre = gnTimeResponseInit(ioPic, 0, 0, inWidth, inHeight, obError);
    if (obError) return;
    trap(20, [&] {
        mnCentre = nCentre;
        mnLimitOffset = CInt(mnCentre * 0.4);
        mnPicWidth = CInt(polarityPicture().ScaleWidth());
    });
}

void mWavePolarityDrawLimits(bool& obError) {
    ErrorTrap trap(kModule, "mWavePolarityDrawLimits", obError);
    trap(10, [&] {
        PictureBox& p = polarityPicture();
        p.setForeColor(0);
        p.setDrawStyle(vbDot);
        const int16_t below = checkedInt(mnCentre + mnLimitOffset);
        const int16_t above = checkedInt(mnCentre - mnLimitOffset);
        p.Line(kLeftOffset, below, mnPicWidth, below);
        p.Line(kLeftOffset, above, mnPicWidth, above);
        p.Refresh();
    });
}

int16_t mnWavePolarityDecision(std::vector<int16_t>& ioanSamples, int16_t& onMarkerX, bool& obError) {
    ErrorTrap trap(kModule, "mnWavePolarityDecision", obError);
    int16_t result = 0;
    trap(10, [&] {
        const auto n = static_cast<int32_t>(ioanSamples.size()) - 1;
        if (n < 1) return;   // no samples: no decision
        int32_t i = 1;
        for (;; ++i) {
            int16_t& s = ioanSamples[static_cast<size_t>(i)];
            if (s == -32768) s = -32767;
            if (std::abs(s) > kThreshold || i == n) break;
        }
        const int16_t s = ioanSamples[static_cast<size_t>(i)];
        if (std::abs(s) <= kThreshold) return;
        result = s > 0 ? 1 : -1;
        mnMarkerY = checkedInt(s > 0 ? mnCentre - mnLimitOffset : mnCentre + mnLimitOffset);
        onMarkerX = CInt(static_cast<double>(i) * (mnPicWidth - kLeftOffset) / n + kLeftOffset);
    });
    return result;
}

int16_t gnWavePolarityHi(bool ibLowFreq, float ifDelay, float ifVOut, bool ibActive, int16_t& onMarkerX,
                         bool& obError) {
    ErrorTrap trap(kModule, "gnWavePolarityHi", obError);
    std::vector<int16_t> anSamples(2, 0);   // 1 To 1; the recording re-dimensions it
    mWavePolaritySetUpFire(ibLowFreq, ifDelay, ifVOut, ibActive, anSamples, obError);
    if (obError) return 0;
    if (!gbVOutPositivePolarity) {
        // A clipped -32768 has no positive twin: it becomes full scale.
        if (!trap(10, [&] {
                for (size_t i = 1; i < anSamples.size(); ++i)
                    anSamples[i] = anSamples[i] == -32768 ? int16_t(32767) : static_cast<int16_t>(-anSamples[i]);
            }))
            return 0;
    }
    mWavePolarityDrawLimits(obError);
    if (obError) return 0;
    const int16_t nResult = mnWavePolarityDecision(anSamples, onMarkerX, obError);
    return obError ? int16_t(0) : nResult;
}

void mWavePolaritySetUpFire(bool ibLowFreq, float ifDelay, float ifVOut, bool ibActive,
                            std::vector<int16_t>& ioanSamples, bool& obError) {
    ErrorTrap trap(kModule, "mWavePolaritySetUpFire", obError);
    if (ifDelay > 0.0f) {
        if (!trap(10, [&] {
                gMsgBox(QStringLiteral("Delay not active yet"), vbExclamation | vbOKOnly,
                        QStringLiteral("modWavePolarityHi.mWavePolaritySetUpFire"));
            }))
            return;
    }
    gMixerInMicSetVolume(kMicVolume, obError);
    if (obError) return;
    gVOutSet(ifVOut, ibActive, obError);
    if (obError) return;
    gWaveOutSetShape(QStringLiteral("Sine"), obError);
    if (obError) return;
    const float fFreq = ibLowFreq ? 100.0f : 4000.0f;
    const float fWindowMs = ibLowFreq ? 100.0f : 8.0f;
    gWavePolarity(fFreq, 0.5f, fWindowMs / 1000.0f, kMicVolume, false, ioanSamples, obError);
}
