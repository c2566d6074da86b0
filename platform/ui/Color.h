#pragma once
#include <QColor>
#include <QPalette>
#include <cstdint>

// Colours as the station writes them: 24-bit values with red in the low byte
// (&H00BBGGRR), or a system colour (&H800000nn, e.g. vbButtonFace &H8000000F).
// The one place where they become Qt colours.
namespace vbcolor {
constexpr int32_t vbBlack = 0x000000;
constexpr int32_t vbRed = 0x0000FF;
constexpr int32_t vbGreen = 0x00FF00;
constexpr int32_t vbYellow = 0x00FFFF;
constexpr int32_t vbBlue = 0xFF0000;
constexpr int32_t vbMagenta = 0xFF00FF;
constexpr int32_t vbCyan = 0xFFFF00;
constexpr int32_t vbWhite = 0xFFFFFF;
// Graphs are drawn on black: every colour that carries a result (the white
// curve, the six layer colours, green and red test names, the yellow polarity
// trace) has its highest worst-case contrast there; the grid and plain text,
// drawn black by the routines, show in a mid grey that stays behind the curves.
constexpr int32_t vbGraphPaper = 0x000000;
constexpr int32_t vbGraphInk = 0xA0A0A0;
constexpr int32_t vbWindowBackground = static_cast<int32_t>(0x80000005u);
constexpr int32_t vbWindowText = static_cast<int32_t>(0x80000008u);
constexpr int32_t vbHighlight = static_cast<int32_t>(0x8000000Du);
constexpr int32_t vbHighlightText = static_cast<int32_t>(0x8000000Eu);
constexpr int32_t vbButtonFace = static_cast<int32_t>(0x8000000Fu);
constexpr int32_t vbGrayText = static_cast<int32_t>(0x80000011u);
constexpr int32_t vbButtonText = static_cast<int32_t>(0x80000012u);

// The Qt colour of a station colour; system colours come from the application palette.
QColor toQColor(int32_t iColor);
// The station value of a Qt colour (&H00BBGGRR).
int32_t fromQColor(const QColor& iColor);
}
