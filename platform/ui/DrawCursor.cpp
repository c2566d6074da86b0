#include "platform/ui/DrawCursor.h"

void DrawCursor::Line(double iX1, double iY1, double iX2, double iY2, int32_t iColor, LineStyle iStyle) {
    drawLine(iX1, iY1, iX2, iY2, iColor, iStyle);
    moveTo(iX2, iY2);
}

void DrawCursor::Circle(double iX, double iY, double iRadius, int32_t iColor) {
    drawCircle(iX, iY, iRadius, iColor);
    moveTo(iX, iY);
}
