#pragma once
#include "platform/ui/DrawCursor.h"
#include "platform/ui/TextMeasure.h"
#include <QFont>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class Form;
class QPainter;
class QWidget;

// DrawStyle values.
enum DrawStyleValue : int16_t {
    vbSolid = 0, vbDash = 1, vbDot = 2, vbDashDot = 3, vbDashDotDot = 4, vbInvisible = 5, vbInsideSolid = 6
};
// DrawMode values: the pen copies its colour or XORs it with what is there.
enum DrawModeValue : int16_t { vbXorPen = 7, vbCopyPen = 13 };

// One drawing operation as the caller asked for it, in twips of the surface's
// scale (kept only while the operation log is on).
enum class DrawOpKind { Cls, Line, Box, BoxFilled, PSet, Circle, Text };

struct DrawOp {
    DrawOpKind kind = DrawOpKind::Line;
    // A line's two ends, a box's two corners, a point, a circle's centre (x1, y1),
    // a text's top-left corner.
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    double radius = 0;
    int32_t color = 0;     // as given (&H00BBGGRR or a system colour); BackColor for Cls
    int16_t drawStyle = vbSolid;
    int16_t drawWidth = 1;
    int16_t drawMode = vbCopyPen;
    QString text;
};

// A drawing surface with the picture-box model: what is drawn goes into an
// image that persists (always AutoRedraw), and painting the host only copies
// that image, so a window covered and shown again keeps its graphs.
//
// Coordinates are twips of the inner area (x from its left edge, y down from its
// top edge, 15 twips to the pixel); ScaleWidth/ScaleHeight are its size. Colours
// are the station's longs, kept as given (system colours too) and turned into
// Qt colours only when drawn. Lines follow the pen: a line leaves its last point
// undrawn, so that joined segments and XOR boxes touch each pixel once; boxes
// include both corners. Text is in the application's font (appfont) without
// antialiasing, so that pixels and text measures are the same on every machine.
//
// The hosts are PictureBox (a control) and a window's own client area
// (formSurface), which is drawn under the window's controls.
class DrawSurface : public TextMeasure, public DrawCursor {
public:
    virtual ~DrawSurface();
    DrawSurface(const DrawSurface&) = delete;
    DrawSurface& operator=(const DrawSurface&) = delete;

    // The inner area in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;

    int32_t BackColor() const { return mBackColor; }
    // Makes the surface a graph: the graph paper as background, and black
    // (plain text, grid) drawn in the graph ink that suits it. The operation log
    // keeps the colours as given.
    void setGraphPaper();
    bool graphPaper() const { return mGraphPaper; }
    // A new background erases what was drawn (the position stays).
    void setBackColor(int32_t iColor);
    // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 invisible (lines only
    // move the position), 6 inside solid (drawn solid). Pens wider than one pixel
    // draw solid. Other values raise 380.
    int16_t DrawStyle() const { return mDrawStyle; }
    void setDrawStyle(int16_t iStyle);
    // Pen width in pixels, 1 or more (else 380).
    int16_t DrawWidth() const { return mDrawWidth; }
    void setDrawWidth(int16_t iWidth);
    // vbCopyPen or vbXorPen (else 380). Text is always copied.
    int16_t DrawMode() const { return mDrawMode; }
    void setDrawMode(int16_t iMode);

    // Fills the surface with BackColor; the position goes to (0, 0).
    void Cls();
    // Line (x1, y1)-(x2, y2) [, colour] [, B | BF] and Circle come from
    // DrawCursor. Line -(x2, y2): the same from the current position.
    void LineTo(double iX2, double iY2, LineStyle iStyle = LineStyle::Line);
    void LineTo(double iX2, double iY2, int32_t iColor, LineStyle iStyle = LineStyle::Line);
    // One point; the position is left there.
    void PSet(double iX, double iY);
    void PSet(double iX, double iY, int32_t iColor);
    // Prints the text in ForeColor with its top at CurrentY, starting at
    // CurrentX; then CurrentX goes to 0 and CurrentY one text height down.
    void Print(const QString& iText = QString());
    // The same without the final line end: CurrentX moves on by the text's
    // width. CR, LF and CR LF inside the text each end one line.
    void PrintNoLineEnd(const QString& iText);

    // Width and height of a text in twips (whole pixels).
    double TextWidth(const QString& iText) const override;
    double TextHeight(const QString& iText = QString()) const;

    // Paints the host now (drawing otherwise shows at the next window event).
    void Refresh();

    // While a batch is open, the lines drawn share one painter and the host is
    // told of the change once, at the batch's end: a curve of a hundred
    // segments is one piece of work. What is drawn is the same; any other use
    // of the surface finishes the painter first. Batches nest.
    class Batch {
    public:
        explicit Batch(DrawSurface& ioSurface);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
    private:
        DrawSurface& mSurface;
    };

    // Tests: the image as drawn (the inner area, one pixel per 15 twips), a PNG
    // of it, and the operation log.
    const QImage& image() const;
    bool savePng(const QString& iPath) const;
    void setOpLog(bool iOn);
    // Surfaces made from now on log from their first operation (a window's
    // drawing during its load step).
    static void setOpLogForNewSurfaces(bool iOn);
    bool opLogOn() const { return mLogOn; }
    const QList<DrawOp>& ops() const { return mOps; }
    void clearOps() { mOps.clear(); }

    // The drawing font.
    static QFont drawFont();
    // Pixel of a twips coordinate (the nearest).
    static int toPixel(double iTwips);

protected:
    DrawSurface(int32_t iBackColor, int32_t iForeColor);
    // The host: the inner area's size in twips as it stands now, and the widget
    // that shows the image (nullptr when none), at the given offset in it.
    virtual QSizeF hostSize() const = 0;
    virtual QWidget* hostWidget() const = 0;
    virtual QPoint hostOffset() const { return {}; }
    // Copies the image into the host's paint event.
    void paintInto(QPainter& iPainter) const;

private:
    // Brings the image to the host's current size, keeping what overlaps.
    void fit() const;
    void changed();
    void printLine(const QString& iLine, bool iLineEnd);
    void log(const DrawOp& iOp);
    void drawLine(double iX1, double iY1, double iX2, double iY2, int32_t iColor, LineStyle iStyle) override;
    void drawCircle(double iX, double iY, double iRadius, int32_t iColor) override;

    QColor inkOf(int32_t iColor) const;
    int32_t mBackColor;
    bool mGraphPaper = false;
    int16_t mDrawStyle = vbSolid;
    int16_t mDrawWidth = 1;
    int16_t mDrawMode = vbCopyPen;
    mutable QImage mImage;
    // The open batch's painter on mImage (declared after it: ends before the image goes).
    mutable std::unique_ptr<QPainter> mBatchPainter;
    struct BatchPen {
        int32_t color;
        int16_t style;
        int16_t width;
        bool set;
    };
    mutable std::optional<BatchPen> mBatchPen;   // the pen the batch's painter holds
    int mBatchDepth = 0;
    bool mBatchChanged = false;
    void endBatchPainter() const;
    mutable QSizeF mSize;    // the twips size the image was made for
    bool mLogOn = false;
    QList<DrawOp> mOps;
};

// The drawing surface of a window's own client area: text and graphs drawn on
// the window itself, under its controls. Made on first use, with the window's
// colours (button face, button text); it follows the client area's size.
DrawSurface& formSurface(Form& iForm);
// Removes the window's surface (if it has one) with its event filter; the
// window does this as it is destroyed.
void detachFormSurface(Form& iForm);
