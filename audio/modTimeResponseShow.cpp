#include "audio/modTimeResponseShow.h"
#include "common/ErrorTrap.h"
#include "common/modNumberEngineering.h"
#include "platform/ui/Color.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include <QPointer>
#include <algorithm>

namespace {
const char* kModule = "modTimeResponseShow";

// The target is watched: a picture destroyed with its window is an error of the
// next routine, not a dangling pointer.
QPointer<PictureBox> mpicTarget;
int16_t mnLeft = 0;
int16_t mnTop = 0;
int16_t mnWidth = 0;
int16_t mnHeight = 0;
int16_t mnHalfHeight = 0;

PictureBox& target() {
    if (!mpicTarget) vbRaise(91, QStringLiteral("Object variable or With block variable not set"));
    return *mpicTarget;
}

// Text and axis colour for a background.
int32_t mlContrastColour(int32_t ilBackColour) {
    if (ilBackColour == vbcolor::vbButtonFace) return vbcolor::vbButtonText;
    // Any other system colour is complemented as the colour it stands for: its
    // low bytes are an index, whose complement would be near white on any background.
    if (ilBackColour & static_cast<int32_t>(0x80000000u))
        return vbcolor::fromQColor(vbcolor::toQColor(ilBackColour)) ^ 0xFFFFFF;
    return (ilBackColour & 0xFFFFFF) ^ 0xFFFFFF;
}
}

int16_t gnTimeResponseInit(PictureBox& ioTarget, int16_t inLeft, int16_t inTop, int16_t inWidth, int16_t inHeight,
                           bool& obError) {
    ErrorTrap trap(kModule, "gnTimeResponseInit", obError);
    trap(10, [&] {
        mpicTarget = &ioTarget;
        mnLeft = inLeft;
        mnTop = inTop;
        mnWidth = checkedInt(inWidth - 8);
        mnHeight = checkedInt(inHeight - 8);
        mnHalfHeight = static_cast<int16_t>(mnHeight / 2);
    });
    return mnHalfHeight;
}

void gTimeResponseShowDrawAxis(bool ibClear, bool& obError) {
    ErrorTrap trap(kModule, "gTimeResponseShowDrawAxis", obError);
    if (ibClear && !trap(10, [&] { target().Cls(); })) return;
    if (!trap(20, [&] { target().setForeColor(mlContrastColour(target().BackColor())); })) return;
    trap(30, [&] {
        PictureBox& p = target();
        p.setDrawStyle(vbSolid);
        const int16_t y = checkedInt(mnTop + mnHalfHeight);
        p.Line(mnLeft, y, checkedInt(mnLeft + mnWidth), y);
    });
}

void gTimeResponseShow(const std::vector<int16_t>& ianSamples, bool ibJoined, float ifFullScale, int32_t ilColour,
                       float ifWindow, bool& obError) {
    const auto n = static_cast<int32_t>(ianSamples.size()) - 1;
    if (n <= 0) return;
    ErrorTrap trap(kModule, "gTimeResponseShow", obError);
    float fXStep = 0.0f;
    float fYScale = 0.0f;
    int32_t lStep = 1;
    if (!trap(10, [&] {
            if (ifFullScale == 0.0f) vbRaise(vberr::kDivisionByZero);
            fXStep = static_cast<float>(mnWidth) / static_cast<float>(n);
            fYScale = 0.9f * static_cast<float>(mnHeight) / ifFullScale;
        }))
        return;
    if (!trap(20, [&] {
            PictureBox& p = target();
            p.setDrawStyle(vbSolid);
            p.setForeColor(ilColour);
            if (ibJoined) {
                p.setCurrentX(mnLeft);
                p.setCurrentY(mnTop + mnHalfHeight);
            }
        }))
        return;
    // Long traces: every step-th sample, so that the picture takes no longer to
    // draw than it can show.
    if (!trap(30, [&] {
            if (mnWidth == 0) vbRaise(vberr::kDivisionByZero);
            lStep = n > mnWidth / 5 ? std::max<int32_t>((5 * n) / mnWidth, 5) : 1;
        }))
        return;
    if (!trap(40, [&] {
            PictureBox& p = target();
            const auto point = [&](int32_t i) {
                p.LineTo(static_cast<float>(mnLeft) + fXStep * static_cast<float>(i),
                         static_cast<float>(mnTop + mnHalfHeight) -
                             static_cast<float>(ianSamples[static_cast<size_t>(i)]) * fYScale);
            };
            int32_t last = 0;
            for (int32_t i = 1; i <= n; i += lStep) {
                point(i);
                last = i;
            }
            if (last != n) point(n);
        }))
        return;
    QString label;
    if (!trap(50, [&] {
            label = gsNumberEngineering(ifWindow, obError);
            label += QStringLiteral("s)");
        }))
        return;
    if (obError) return;
    trap(60, [&] {
        PictureBox& p = target();
        p.setForeColor(vbcolor::vbButtonText);
        p.setCurrentX(mnWidth - p.TextWidth(label) - 50);
        p.setCurrentY(mnHeight - p.TextHeight(label) - 20);
        p.Print(label);
        p.Refresh();
    });
}
