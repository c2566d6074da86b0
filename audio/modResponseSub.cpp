#include "audio/modResponseSub.h"
#include "audio/modAudio.h"
#include "common/ErrorTrap.h"
#include "common/modLog10.h"
#include "common/modProcessNumberLo.h"
#include "platform/os/Clock.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
const char* kModule = "modResponseSub";

// The grid of the last gResponseSubDrawGrid, shared by every window.
int16_t mnLeftMargin = 0;
int16_t mnWidth = 0;
int16_t mnBottom = 0;
float mfDbFactor = 0.0f;
// The last point given to gResponseSubPlotOne, unclipped.
int16_t mnXPrev = 0;
int16_t mnYPrev = 0;

PictureBox& pic(ResponseWindow& frm) {
    if (!frm.picResponse) vbRaise(91, QStringLiteral("Object variable or With block variable not set"));
    return *frm.picResponse;
}

struct AxisNumber {
    const char* text;
    int k;
};

// The left numbers read the plot level plus 6 dB.
void mNumberLeftYAxis(ResponseWindow& frm, int16_t inNumberTop, float ifNumberScale, bool& obError) {
    ErrorTrap trap(kModule, "mNumberLeftYAxis", obError);
    static const AxisNumber kNumbers[] = {{"+3", 3}, {"0", 6}, {"-3", 9}, {"-9", 15}, {"-15", 21}};
    DrawSurface& win = frm.windowSurface();
    for (const AxisNumber& n : kNumbers) {
        if (!trap(10, [&] {
                const QString text = QString::fromLatin1(n.text);
                win.setCurrentX(CInt(pic(frm).Left()) - win.TextWidth(text + QLatin1Char(' ')));
                win.setCurrentY(inNumberTop + n.k * ifNumberScale);
                win.Print(text);
            }))
            return;
    }
    trap(20, [&] {
        const QString text = QStringLiteral("(dB)");
        win.setCurrentX(CInt(pic(frm).Left()) - win.TextWidth(text + QLatin1Char(' ')));
        win.setCurrentY(inNumberTop + 30 * ifNumberScale - win.TextHeight(QStringLiteral("(dB) ")));
        win.Print(text);
    });
}

// The right numbers: a scale from 127 at the top edge to 0 at the bottom, in yellow.
void mNumberRightYAxis(ResponseWindow& frm, int16_t inNumberTop, float ifNumberScale, bool& obError) {
    ErrorTrap trap(kModule, "mNumberRightYAxis", obError);
    static const AxisNumber kNumbers[] = {{"114.3", 3}, {"88.9", 9}, {"63.5", 15}, {"38.1", 21}, {"25.4", 24},
                                          {"12.7", 27}};
    DrawSurface& win = frm.windowSurface();
    if (!trap(10, [&] { win.setForeColor(65535); })) return;
    for (const AxisNumber& n : kNumbers) {
        if (!trap(20, [&] {
                PictureBox& p = pic(frm);
                win.setCurrentX(CInt(p.Left() + p.Width() + 0.5 * win.TextWidth(QStringLiteral("0"))));
                win.setCurrentY(inNumberTop + n.k * ifNumberScale);
                win.Print(QString::fromLatin1(n.text));
            }))
            return;
    }
}

// One dotted vertical grid line: 15-twip dashes every inSpacing dB between the grid top and bottom.
void mDrawGridSubYAxis(ResponseWindow& frm, int16_t inX, int16_t inSpacing, int16_t inGridTop, int16_t inBottom,
                       bool& obError) {
    ErrorTrap trap(kModule, "mDrawGridSubYAxis", obError);
    float fScale = 0.0f;
    if (!trap(10, [&] {
            if (inGridTop == inBottom) vbRaise(vberr::kDivisionByZero);
            fScale = CSng(pic(frm).ScaleHeight()) / static_cast<float>(inGridTop - inBottom);
        }))
        return;
    int32_t level = inGridTop;
    do {
        if (!trap(20, [&] {
                level -= inSpacing;
                const int16_t y = CInt(static_cast<float>(level - inBottom) * fScale);
                pic(frm).Line(inX, y, inX, checkedInt(y - 15));
            }))
            return;
    } while (level - inSpacing > inBottom && inSpacing > 0);
}

// Lines at 30 to 90, 100 to 900, 1000 to 9000 and 10000 Hz; the denser ones
// with a label on the window at 50, 100, 500, 1k, 5k and 10k. None at the ends.
void mDrawGridSubLog(ResponseWindow& frm, int32_t ilLow, int32_t ilHigh, int16_t inTop, int16_t inBottom,
                     bool& obError) {
    ErrorTrap trap(kModule, "mDrawGridSubLog", obError);
    DrawSurface& win = frm.windowSurface();
    int16_t nTick = 0;
    int16_t nGridTop = 0;
    int32_t lStep = 0;
    int32_t lFreq = ilLow;
    int16_t nLabelY = 0;
    if (!trap(10, [&] {
            nTick = CInt((inTop - inBottom) / 10.0);
            nGridTop = checkedInt(nTick * 10 + inBottom);
        }))
        return;
    if (!trap(20, [&] {
            const float decades = gfLog10(static_cast<float>(ilLow), obError);
            if (obError) return;
            lStep = CLng(std::pow(10.0, Int(decades)));
            if (lStep == 0) vbRaise(vberr::kDivisionByZero);
        }))
        return;
    if (obError) return;
    if (!trap(30, [&] {
            PictureBox& p = pic(frm);
            nLabelY = CInt(p.Top() + p.Height() + 0.1 * win.TextHeight(QStringLiteral("0")));
        }))
        return;
    do {
        if (lFreq / lStep == 10) lStep *= 10;
        lFreq += lStep;
        if (lFreq >= ilHigh) break;
        const int16_t x = gnResponseSubCalcX(static_cast<float>(lFreq), obError);
        if (obError) return;
        const int32_t whole = lFreq / lStep;
        if (whole != 5 && whole != 10) {
            mDrawGridSubYAxis(frm, x, nTick, nGridTop, inBottom, obError);
        } else if (nTick > 1) {
            mDrawGridSubYAxis(frm, x, static_cast<int16_t>(nTick / 3), nGridTop, inBottom, obError);
            if (obError) return;
            if (!trap(50, [&] {
                    const QString label = lFreq < 1000 ? CStr(lFreq)
                                                       : CStr(static_cast<double>(lFreq) / 1000) + QLatin1Char('k');
                    win.setCurrentX(pic(frm).Left() + x - IntDiv(win.TextWidth(label), 2));
                    win.setCurrentY(nLabelY);
                    win.Print(label);
                }))
                return;
        }
    } while (lFreq + lStep < ilHigh && !obError);
}

// Dotted lines at quarter divisions, denser at the whole ones; no labels.
void mDrawGridSubLin(ResponseWindow& frm, int16_t inDivisions, int16_t inTop, int16_t inBottom, bool& obError) {
    ErrorTrap trap(kModule, "mDrawGridSubLin", obError);
    int16_t nTick = 0;
    int16_t nGridTop = 0;
    float fSpacing = 0.0f;
    if (!trap(10, [&] {
            nTick = CInt((inTop - inBottom) / 10.0 + 1);
            nGridTop = checkedInt(nTick * 10 + inBottom);
            fSpacing = static_cast<float>(mnWidth) / static_cast<float>(inDivisions);
        }))
        return;
    for (float t = 0.25f; t <= static_cast<float>(inDivisions) - 0.25f && !obError; t += 0.25f) {
        int16_t x = 0;
        if (!trap(20, [&] { x = CInt(t * fSpacing + static_cast<float>(mnLeftMargin)); })) return;
        const bool whole = t == std::floor(t);
        mDrawGridSubYAxis(frm, x, whole ? static_cast<int16_t>(nTick / 2) : nTick, nGridTop, inBottom, obError);
    }
}
}

int32_t glResponseSubLayerColour(int16_t inLayer, bool& obError) {
    (void)obError;
    switch (inLayer) {
    case 1: return 0xFF0000;
    case 2: return 0xFF00;
    case 3: return 0xFFFF00;
    case 4: return 0xFFFFFF;
    case 5: return 0xFF00FF;
    case 6: return 0xFFFF;
    default: return 255;
    }
}

void gResponseSubShowCheckRange(ResponseWindow& frm, int32_t ilFLo, int32_t ilFMLo, int32_t ilFMHi, int32_t ilFHi,
                                float ifLim, int16_t inLayer, bool& obError) {
    ErrorTrap trap(kModule, "gResponseSubShowCheckRange", obError);
    const int32_t lColour = glResponseSubLayerColour(inLayer, obError);
    const int16_t nYTop = gnResponseSubCalcY(frm, -10 + ifLim, obError);
    if (obError) return;
    const int16_t nYBottom = gnResponseSubCalcY(frm, -20 - ifLim, obError);
    if (obError) return;
    int16_t nXLeft = gnResponseSubCalcX(static_cast<float>(ilFLo), obError);
    if (obError) return;
    if (ilFMLo != 0) {
        const int16_t nXHoleLo = gnResponseSubCalcX(static_cast<float>(ilFMLo), obError);
        if (obError) return;
        if (!trap(10, [&] { pic(frm).Line(nXLeft, nYTop, nXHoleLo, nYBottom, lColour, LineStyle::Box); })) return;
        nXLeft = gnResponseSubCalcX(static_cast<float>(ilFMHi), obError);
        if (obError) return;
    }
    const int16_t nXRight = gnResponseSubCalcX(static_cast<float>(ilFHi), obError);
    if (obError) return;
    trap(20, [&] { pic(frm).Line(nXLeft, nYTop, nXRight, nYBottom, lColour, LineStyle::Box); });
}

void gResponseSubDrawGrid(ResponseWindow& frm, int16_t inLeft, int16_t inTop, int16_t inWidth, int16_t inHeight,
                          int16_t inLinDiv, const QString& isCaption, bool ibRightAxis, bool& obError) {
    ErrorTrap trap(kModule, "gResponseSubDrawGrid", obError);
    DrawSurface& win = frm.windowSurface();
    if (!trap(10, [&] {
            mnLeftMargin = 40;
            mnWidth = checkedInt(inWidth - 2 * mnLeftMargin);
            mnBottom = -30;
        }))
        return;
    if (!trap(20, [&] {
            win.setForeColor(0);
            PictureBox& p = pic(frm);
            p.Cls();
            p.setForeColor(0);
            p.Move(inLeft, inTop, inWidth, inHeight);
        }))
        return;
    if (!trap(30, [&] { mfDbFactor = CSng(pic(frm).ScaleHeight()) / -30.0f; })) return;
    if (inLinDiv == 0) mDrawGridSubLog(frm, 20, 20000, 0, mnBottom, obError);
    else mDrawGridSubLin(frm, inLinDiv, 0, mnBottom, obError);
    if (obError) return;

    int16_t nNumberTop = 0;
    float fNumberScale = 0.0f;
    if (!trap(40, [&] {
            PictureBox& p = pic(frm);
            fNumberScale = static_cast<float>(p.Height()) / 30.0f;
            nNumberTop = CInt(p.Top() - 0.5 * win.TextHeight(QStringLiteral("3")));
        }))
        return;
    mNumberLeftYAxis(frm, nNumberTop, fNumberScale, obError);
    if (obError) return;

    if (!trap(50, [&] {
            // The caption ends at the picture's right edge, just below it.
            PictureBox& p = pic(frm);
            win.setCurrentX(p.Left() + p.Width() - win.TextWidth(isCaption));
            win.setCurrentY(p.Top() + p.Height() + 0.1 * win.TextHeight(isCaption));
            win.Print(isCaption);
        }))
        return;
    if (ibRightAxis) mNumberRightYAxis(frm, nNumberTop, fNumberScale, obError);
    if (obError) return;
    trap(60, [&] { pic(frm).setVisible(true); });
}

void gResponseSubShowTestName(ResponseWindow& frm, const QString& isTestName, int16_t inSlot, int32_t ilColour,
                              bool& obError) {
    ErrorTrap trap(kModule, "gResponseSubShowTestName", obError);
    trap(10, [&] {
        PictureBox& p = pic(frm);
        double x = 0;
        int row = 0;
        if (inSlot < 12) {
            x = p.TextWidth(QStringLiteral(" "));
            row = inSlot - 1;
        } else {
            x = p.Width() - p.TextWidth(isTestName + QStringLiteral("   "));
            row = inSlot - 12;
        }
        p.setCurrentX(x);
        p.setCurrentY(p.TextHeight(QStringLiteral("X")) * (row + 0.1));
        p.setForeColor(ilColour);
        p.Print(isTestName);
    });
}

void gResponseSubPlotOne(ResponseWindow& frm, int16_t inX, int16_t inY, int32_t ilColour, int16_t inDrawStyle,
                         bool ibJoin, bool ibDoEvents, bool& obError) {
    ErrorTrap trap(kModule, "gResponseSubPlotOne", obError);
    int16_t nBottomLimit = 0;
    if (!trap(10, [&] { nBottomLimit = CInt(pic(frm).ScaleHeight() - 10); })) return;
    if (ibJoin) {
        if (!trap(20, [&] { pic(frm).setDrawStyle(inDrawStyle); })) return;
        const bool crossing = !(inY < 0) && !(inY <= nBottomLimit && mnYPrev <= nBottomLimit) &&
                              !(inY == nBottomLimit || (inY > nBottomLimit && mnYPrev > nBottomLimit));
        if (!crossing) {
            if (!trap(30, [&] {
                    PictureBox& p = pic(frm);
                    if (inY < 0) p.LineTo(inX, 5, ilColour);   // above the plot: along its top edge
                    else if (inY <= nBottomLimit && mnYPrev <= nBottomLimit) p.LineTo(inX, inY, ilColour);
                    else p.LineTo(inX, nBottomLimit, ilColour);   // below the plot: along the bottom limit
                }))
                return;
        } else {
            // The segment crosses the bottom limit: to the crossing, then on up when it comes back.
            int16_t nXCross = inX;
            if (inX >= mnXPrev) {
                const float f = gfPnStraightLine(mnXPrev, mnYPrev, inX, inY, nBottomLimit, true, obError);
                if (obError) return;
                if (!trap(40, [&] { nXCross = CInt(f); })) return;
            }
            if (!trap(50, [&] { pic(frm).LineTo(nXCross, nBottomLimit, ilColour); })) return;
            if (inY < nBottomLimit && !trap(60, [&] { pic(frm).LineTo(inX, inY, ilColour); })) return;
        }
    } else {
        if (!trap(70, [&] {
                // Moves only. The draw style is put back, so that what is drawn next
                // (a grid, a box) is not left invisible when no joined point follows.
                PictureBox& p = pic(frm);
                const int16_t nStyle = p.DrawStyle();
                p.setDrawStyle(vbInvisible);
                p.LineTo(inX, std::min(inY, nBottomLimit), ilColour);
                p.setDrawStyle(nStyle);
            }))
            return;
    }
    if (ibDoEvents) vclock::poll();
    mnXPrev = inX;
    mnYPrev = inY;
}

void gResponseSubPlotSet(ResponseWindow& frm, int32_t ilFLo, int32_t ilFHi, int16_t inPoints,
                         const std::vector<float>& iafY, int32_t ilColour, int16_t inDrawStyle, bool& obError) {
    const auto upperBound = static_cast<int64_t>(iafY.size()) - 1;
    if (upperBound < inPoints) {
        gMsgBox(QStringLiteral("UBound(iafY)(") + QString::number(upperBound) + QStringLiteral(" < inPoints(") +
                    QString::number(inPoints) + QStringLiteral(")"),
                vbExclamation, QStringLiteral("modResponseSub.gResponsePlotSet"));
        obError = true;
        return;
    }
    ErrorTrap trap(kModule, "gResponseSubPlotSet", obError);
    // The curve's segments drawn as one piece of work.
    std::optional<DrawSurface::Batch> batch;
    if (frm.picResponse) batch.emplace(*frm.picResponse);
    // The columns of a sweep's points are worked out once for its range and the
    // graph's width: a batch of curves of one test shares them.
    static struct {
        int32_t lo = 0, hi = 0;
        int16_t points = -1, width = 0;
        std::vector<int16_t> x;
    } sColumns;
    const bool known =
        sColumns.lo == ilFLo && sColumns.hi == ilFHi && sColumns.points == inPoints && sColumns.width == mnWidth;
    if (!known) sColumns.points = -1;
    std::vector<int16_t> columns(static_cast<size_t>(std::max<int16_t>(inPoints, 0)) + 1, 0);
    for (int16_t p = 1; p <= inPoints; ++p) {
        int16_t x = 0;
        if (known) {
            x = sColumns.x[static_cast<size_t>(p)];
        } else {
            const float f = gfAudioPoint2Freq(ilFLo, ilFHi, inPoints, p, obError);
            if (obError) return;
            int32_t lFreq = 0;
            if (!trap(10, [&] { lFreq = CLng(f); })) return;
            x = gnResponseSubCalcX(static_cast<float>(lFreq), obError);
            if (obError) return;
            columns[static_cast<size_t>(p)] = x;
            if (p == inPoints) sColumns = {ilFLo, ilFHi, inPoints, mnWidth, columns};
        }
        const int16_t y = gnResponseSubCalcY(frm, iafY[static_cast<size_t>(p)], obError);
        if (obError) return;
        gResponseSubPlotOne(frm, x, y, ilColour, inDrawStyle, p != 1, false, obError);
        if (obError) return;
    }
}

int16_t gnResponseSubCalcX(float ifFreq, bool& obError) {
    const float decades = gfLog10(ifFreq / 20.0f, obError);
    if (obError) return 0;
    ErrorTrap trap(kModule, "gnResponseSubCalcX", obError);
    int16_t x = 0;
    trap(10, [&] { x = CInt(decades * static_cast<float>(mnWidth) / 3.0f); });
    return x;
}

int16_t gnResponseSubCalcY(ResponseWindow& frm, float ifLevel, bool& obError) {
    ErrorTrap trap(kModule, "gnResponseSubCalcY", obError);
    int16_t y = 0;
    trap(10, [&] {
        y = CInt(CSng(pic(frm).ScaleHeight()) + (ifLevel - static_cast<float>(mnBottom)) * mfDbFactor);
    });
    return y;
}

void gResponseSubShowRange(ResponseWindow& frm, int32_t ilMicVol, bool& obError) {
    if (ilMicVol != 65535) return;
    ErrorTrap trap(kModule, "gResponseSubShowRange", obError);
    double x = 0;
    if (!trap(10, [&] { x = pic(frm).Width() - pic(frm).TextWidth(QStringLiteral("Rng?  ")); })) return;
    const int16_t y = gnResponseSubLblTop(frm, 0, obError);
    if (obError) return;
    trap(20, [&] {
        PictureBox& p = pic(frm);
        p.setCurrentX(x);
        p.setCurrentY(y);
        p.setForeColor(65535);
        p.Print(QStringLiteral("Rng? "));
    });
}

int16_t gnResponseSubLblTop(ResponseWindow& frm, int16_t inLine, bool& obError) {
    ErrorTrap trap(kModule, "gnResponseSubLblTop", obError);
    int16_t y = 0;
    trap(10, [&] {
        PictureBox& p = pic(frm);
        y = CInt(p.Height() + p.TextHeight(QStringLiteral("0")) * (inLine - 1) - 90);
    });
    return y;
}
