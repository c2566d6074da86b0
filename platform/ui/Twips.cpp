#include "platform/ui/Twips.h"
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
int32_t gTestWidth = 0;
int32_t gTestHeight = 0;

QSize primarySize() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}
}

namespace twips {
int toPixels(int32_t iTwips) { return static_cast<int>(std::lround(static_cast<double>(iTwips) / kPerPixel)); }
int32_t fromPixels(int iPixels) { return static_cast<int32_t>(iPixels) * kPerPixel; }

int32_t remembered(int32_t iSetTwips, int iPixels) {
    return toPixels(iSetTwips) == iPixels ? iSetTwips : fromPixels(iPixels);
}

int32_t screenWidth() { return gTestWidth > 0 ? gTestWidth : fromPixels(primarySize().width()); }
int32_t screenHeight() { return gTestHeight > 0 ? gTestHeight : fromPixels(primarySize().height()); }

void setTestScreen(int32_t iWidth, int32_t iHeight) {
    gTestWidth = iWidth;
    gTestHeight = iHeight;
}
void clearTestScreen() { gTestWidth = gTestHeight = 0; }
}
