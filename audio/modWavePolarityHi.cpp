#include "audio/modWavePolarityHi.h"
#include "audio/modTimeResponseShow.h"
#include "common/ErrorTrap.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include <QPointer>
#include <cstdlib>

namespace {
const char* kModule = "modWavePolarityHi";
constexpr int16_t kThreshold = 13107;      // CInt(32767 x 0.4)
constexpr int16_t kMarkerHalfLength = 400;
constexpr int16_t kLeftOffset = 8;

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
