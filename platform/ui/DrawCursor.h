#pragma once
#include <cstdint>

// The three forms of Line: a line, a box outline, a filled box.
enum class LineStyle { Line, Box, BoxFilled };

// The drawing cursor and pen that the drawing surfaces and the printer share:
// the current position in twips, the fore colour, and Line and Circle with or
// without a colour. A line or box leaves the position at its second point, a
// circle at its centre; the target draws (or records) the shape itself.
class DrawCursor {
public:
    int32_t ForeColor() const { return mForeColor; }
    void setForeColor(int32_t iColor) { mForeColor = iColor; }
    double CurrentX() const { return mX; }
    void setCurrentX(double iX) { mX = iX; }
    double CurrentY() const { return mY; }
    void setCurrentY(double iY) {
        mY = iY;
        placed();
    }

    void Line(double iX1, double iY1, double iX2, double iY2, LineStyle iStyle = LineStyle::Line) {
        Line(iX1, iY1, iX2, iY2, mForeColor, iStyle);
    }
    void Line(double iX1, double iY1, double iX2, double iY2, int32_t iColor, LineStyle iStyle = LineStyle::Line);
    void Circle(double iX, double iY, double iRadius) { Circle(iX, iY, iRadius, mForeColor); }
    void Circle(double iX, double iY, double iRadius, int32_t iColor);

protected:
    explicit DrawCursor(int32_t iForeColor) : mForeColor(iForeColor) {}
    ~DrawCursor() = default;
    // The target's own drawing of the shape.
    virtual void drawLine(double iX1, double iY1, double iX2, double iY2, int32_t iColor, LineStyle iStyle) = 0;
    virtual void drawCircle(double iX, double iY, double iRadius, int32_t iColor) = 0;
    // The caller (not running text) placed the position.
    virtual void placed() {}
    // Moves the position as a drawing does.
    void moveTo(double iX, double iY) {
        mX = iX;
        mY = iY;
        placed();
    }

    double mX = 0;
    double mY = 0;
    int32_t mForeColor;
};
