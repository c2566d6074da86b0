#pragma once
#include <cstdint>

// Windows and controls are placed in twips, as their descriptions give them:
// 15 twips to the pixel. Coordinates are 32-bit, so a window on a screen wider
// than 2,184 pixels (32,767 twips) is placed like any other.
namespace twips {
constexpr int32_t kPerPixel = 15;

// The nearest pixel of a twips value, and back.
int toPixels(int32_t iTwips);
int32_t fromPixels(int iPixels);

// A twips value read back: the value last set while the widget still stands on
// the pixel it was put on (so a window put at 100 twips reads 100, not 105),
// else the pixel position in twips.
int32_t remembered(int32_t iSetTwips, int iPixels);

// The full screen in twips (the primary screen). Tests set a screen of their own.
int32_t screenWidth();
int32_t screenHeight();
void setTestScreen(int32_t iWidth, int32_t iHeight);
void clearTestScreen();
}
