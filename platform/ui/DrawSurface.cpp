#include "platform/ui/DrawSurface.h"
#include "platform/ui/AppFont.h"
#include "platform/ui/Color.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include "platform/vb/VbError.h"
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
// 96 dots per inch: 15 twips to the pixel.
constexpr int kDotsPerMeter = 3780;

QImage blankImage(int iWidth, int iHeight) {
    QImage image(iWidth, iHeight, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

// Text is measured on a device of the drawing resolution, whatever the screen's.
const QFontMetrics& metrics() {
    static const QImage sDevice = blankImage(1, 1);
    static const QFontMetrics sMetrics(DrawSurface::drawFont(), &sDevice);
    return sMetrics;
}

QStringList textLines(const QString& iText) {
    static const QRegularExpression sBreak(QStringLiteral("\r\n|\r|\n"));
    return iText.split(sBreak);
}

[[noreturn]] void invalidProperty() { vbRaise(380, QStringLiteral("Invalid property value")); }

// The pen of a line: one pixel wide in the pattern of the draw style, or wider
// and solid with round ends. A flat cap leaves a one-pixel line's last point undrawn.
QPen linePen(const QColor& iColor, int16_t iStyle, int16_t iWidth) {
    QPen pen(iColor);
    if (iWidth > 1) {
        pen.setWidth(iWidth);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    pen.setWidth(1);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (iStyle) {
    case vbDash: pen.setStyle(Qt::DashLine); break;
    case vbDot: pen.setStyle(Qt::DotLine); break;
    case vbDashDot: pen.setStyle(Qt::DashDotLine); break;
    case vbDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    return pen;
}
}

namespace {
bool gLogNewSurfaces = false;
}

DrawSurface::DrawSurface(int32_t iBackColor, int32_t iForeColor)
    : DrawCursor(iForeColor), mBackColor(iBackColor), mLogOn(gLogNewSurfaces) {}

void DrawSurface::setOpLogForNewSurfaces(bool iOn) { gLogNewSurfaces = iOn; }

void DrawSurface::setGraphPaper() {
    mGraphPaper = true;
    setBackColor(vbcolor::vbGraphPaper);
}

QColor DrawSurface::inkOf(int32_t iColor) const {
    // The routines draw their grid and plain text in black, for light paper.
    if (mGraphPaper && (iColor == vbcolor::vbBlack || iColor == vbcolor::vbButtonText || iColor == vbcolor::vbWindowText))
        return vbcolor::toQColor(vbcolor::vbGraphInk);
    // Any other colour too dark to be seen on black (the target curve a
    // calibration shows, drawn in 11) is drawn in its opposite, near white.
    if (mGraphPaper && iColor >= 0 && (iColor & 0xFF) <= 0x40 && ((iColor >> 8) & 0xFF) <= 0x40 &&
        ((iColor >> 16) & 0xFF) <= 0x40)
        return vbcolor::toQColor(0xFFFFFF ^ iColor);
    return vbcolor::toQColor(iColor);
}

QFont DrawSurface::drawFont() {
    appfont::install();
    QFont f = appfont::interfaceFont();
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}

int DrawSurface::toPixel(double iTwips) { return static_cast<int>(std::floor(iTwips / twips::kPerPixel + 0.5)); }

double DrawSurface::ScaleWidth() const { return std::max(0.0, hostSize().width()); }
double DrawSurface::ScaleHeight() const { return std::max(0.0, hostSize().height()); }

DrawSurface::~DrawSurface() { endBatchPainter(); }

DrawSurface::Batch::Batch(DrawSurface& ioSurface) : mSurface(ioSurface) { ++mSurface.mBatchDepth; }

DrawSurface::Batch::~Batch() {
    if (--mSurface.mBatchDepth > 0) return;
    mSurface.endBatchPainter();
    if (mSurface.mBatchChanged) {
        mSurface.mBatchChanged = false;
        mSurface.changed();
    }
}

void DrawSurface::endBatchPainter() const {
    if (mBatchPainter) mBatchPainter->end();
    mBatchPainter.reset();
    mBatchPen.reset();
}

void DrawSurface::fit() const {
    endBatchPainter();
    const QSizeF size(ScaleWidth(), ScaleHeight());
    if (size == mSize && !mImage.isNull()) return;
    mSize = size;
    const int w = toPixel(size.width());
    const int h = toPixel(size.height());
    if (!mImage.isNull() && mImage.width() == w && mImage.height() == h) return;
    QImage image = blankImage(std::max(w, 0), std::max(h, 0));
    if (image.isNull()) {
        mImage = image;
        return;
    }
    image.fill(vbcolor::toQColor(mBackColor));
    if (!mImage.isNull()) {
        QPainter p(&image);
        p.drawImage(0, 0, mImage);
    }
    mImage = image;
}

void DrawSurface::changed() {
    if (QWidget* w = hostWidget()) w->update();
}

void DrawSurface::log(const DrawOp& iOp) {
    if (!mLogOn) return;
    DrawOp op = iOp;
    op.drawStyle = mDrawStyle;
    op.drawWidth = mDrawWidth;
    op.drawMode = mDrawMode;
    mOps.append(op);
}

void DrawSurface::setBackColor(int32_t iColor) {
    mBackColor = iColor;
    fit();
    if (!mImage.isNull()) mImage.fill(vbcolor::toQColor(mBackColor));
    changed();
}

void DrawSurface::setDrawStyle(int16_t iStyle) {
    if (iStyle < vbSolid || iStyle > vbInsideSolid) invalidProperty();
    mDrawStyle = iStyle;
}

void DrawSurface::setDrawWidth(int16_t iWidth) {
    if (iWidth < 1) invalidProperty();
    mDrawWidth = iWidth;
}

void DrawSurface::setDrawMode(int16_t iMode) {
    if (iMode != vbCopyPen && iMode != vbXorPen) invalidProperty();
    mDrawMode = iMode;
}

void DrawSurface::Cls() {
    DrawOp op;
    op.kind = DrawOpKind::Cls;
    op.color = mBackColor;
    log(op);
    fit();
    if (!mImage.isNull()) mImage.fill(vbcolor::toQColor(mBackColor));
    mX = 0;
    mY = 0;
    changed();
}

void DrawSurface::LineTo(double iX2, double iY2, LineStyle iStyle) { Line(mX, mY, iX2, iY2, mForeColor, iStyle); }

void DrawSurface::LineTo(double iX2, double iY2, int32_t iColor, LineStyle iStyle) {
    Line(mX, mY, iX2, iY2, iColor, iStyle);
}

void DrawSurface::drawLine(double iX1, double iY1, double iX2, double iY2, int32_t iColor, LineStyle iStyle) {
    DrawOp op;
    op.kind = iStyle == LineStyle::Box ? DrawOpKind::Box : iStyle == LineStyle::BoxFilled ? DrawOpKind::BoxFilled
                                                                                          : DrawOpKind::Line;
    op.x1 = iX1;
    op.y1 = iY1;
    op.x2 = iX2;
    op.y2 = iY2;
    op.color = iColor;
    log(op);
    if (mDrawStyle == vbInvisible) return;
    std::optional<QPainter> own;
    QPainter* painter = mBatchPainter.get();
    if (!painter) {
        fit();
        if (mImage.isNull()) return;
        if (mBatchDepth > 0) {
            mBatchPainter = std::make_unique<QPainter>(&mImage);
            painter = mBatchPainter.get();
        } else {
            painter = &own.emplace(&mImage);
        }
        painter->setRenderHint(QPainter::Antialiasing, false);
    }
    QPainter& p = *painter;
    // A shared painter keeps what the line before set: each line sets its own.
    p.setCompositionMode(mDrawMode == vbXorPen ? QPainter::RasterOp_SourceXorDestination
                                               : QPainter::CompositionMode_SourceOver);

    const QColor color = inkOf(iColor);
    const int x1 = toPixel(iX1), y1 = toPixel(iY1), x2 = toPixel(iX2), y2 = toPixel(iY2);
    const QRect box(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
    switch (iStyle) {
    case LineStyle::Line:
        // A batch's painter keeps its pen while the lines' colour and style stay.
        if (!mBatchPainter || !mBatchPen || mBatchPen->color != iColor || mBatchPen->style != mDrawStyle ||
            mBatchPen->width != mDrawWidth || !mBatchPen->set) {
            p.setPen(linePen(color, mDrawStyle, mDrawWidth));
            if (mBatchPainter) mBatchPen = BatchPen{iColor, mDrawStyle, mDrawWidth, true};
        }
        p.drawLine(x1, y1, x2, y2);
        break;
    case LineStyle::Box:
        p.setPen(linePen(color, mDrawStyle, mDrawWidth));
        mBatchPen.reset();
        p.setBrush(Qt::NoBrush);
        // Both corners are inside the outline.
        p.drawRect(box.left(), box.top(), box.width() - 1, box.height() - 1);
        break;
    case LineStyle::BoxFilled: p.fillRect(box, color); break;
    }
    if (mBatchPainter) {
        mBatchChanged = true;
        return;
    }
    p.end();
    changed();
}

void DrawSurface::PSet(double iX, double iY) { PSet(iX, iY, mForeColor); }

void DrawSurface::PSet(double iX, double iY, int32_t iColor) {
    DrawOp op;
    op.kind = DrawOpKind::PSet;
    op.x1 = iX;
    op.y1 = iY;
    op.color = iColor;
    log(op);
    mX = iX;
    mY = iY;
    if (mDrawStyle == vbInvisible) return;
    fit();
    if (mImage.isNull()) return;
    QPainter p(&mImage);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (mDrawMode == vbXorPen) p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen = linePen(inkOf(iColor), vbSolid, mDrawWidth);
    pen.setCapStyle(mDrawWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
    p.setPen(pen);
    p.drawPoint(toPixel(iX), toPixel(iY));
    p.end();
    changed();
}

void DrawSurface::drawCircle(double iX, double iY, double iRadius, int32_t iColor) {
    DrawOp op;
    op.kind = DrawOpKind::Circle;
    op.x1 = iX;
    op.y1 = iY;
    op.radius = iRadius;
    op.color = iColor;
    log(op);
    if (mDrawStyle == vbInvisible) return;
    fit();
    if (mImage.isNull()) return;
    QPainter p(&mImage);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (mDrawMode == vbXorPen) p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(linePen(inkOf(iColor), mDrawStyle, mDrawWidth));
    p.setBrush(Qt::NoBrush);
    const int r = toPixel(std::abs(iRadius));
    p.drawEllipse(QPoint(toPixel(iX), toPixel(iY)), r, r);
    p.end();
    changed();
}

void DrawSurface::Print(const QString& iText) {
    for (const QString& line : textLines(iText)) printLine(line, true);
}

void DrawSurface::PrintNoLineEnd(const QString& iText) {
    const QStringList lines = textLines(iText);
    for (qsizetype i = 0; i < lines.size(); ++i) printLine(lines.at(i), i + 1 < lines.size());
}

void DrawSurface::printLine(const QString& iLine, bool iLineEnd) {
    fit();
    DrawOp op;
    op.kind = DrawOpKind::Text;
    op.x1 = mX;
    op.y1 = mY;
    op.color = mForeColor;
    op.text = iLine;
    log(op);
    if (!iLine.isEmpty() && !mImage.isNull()) {
        QPainter p(&mImage);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(drawFont());
        p.setPen(inkOf(mForeColor));
        p.drawText(QPoint(toPixel(mX), toPixel(mY) + metrics().ascent()), iLine);
        p.end();
        changed();
    }
    if (iLineEnd) {
        mX = 0;
        mY += TextHeight();
    } else {
        mX += TextWidth(iLine);
    }
}

double DrawSurface::TextWidth(const QString& iText) const {
    int w = 0;
    for (const QString& line : textLines(iText)) w = std::max(w, metrics().horizontalAdvance(line));
    return static_cast<double>(w) * twips::kPerPixel;
}

double DrawSurface::TextHeight(const QString& iText) const {
    return static_cast<double>(metrics().height()) * twips::kPerPixel * static_cast<double>(textLines(iText).size());
}

void DrawSurface::Refresh() {
    fit();
    if (QWidget* w = hostWidget()) w->repaint();
}

const QImage& DrawSurface::image() const {
    fit();
    return mImage;
}

bool DrawSurface::savePng(const QString& iPath) const { return image().save(iPath, "PNG"); }

void DrawSurface::setOpLog(bool iOn) {
    mLogOn = iOn;
    mOps.clear();
}

void DrawSurface::paintInto(QPainter& iPainter) const {
    fit();
    if (!mImage.isNull()) iPainter.drawImage(hostOffset(), mImage);
}

namespace {
// The surface of a window's client area: painted before the controls on it.
class FormSurface : public QObject, public DrawSurface {
public:
    explicit FormSurface(Form& iForm)
        : QObject(iForm.client()), DrawSurface(vbcolor::vbButtonFace, vbcolor::vbButtonText), mForm(iForm) {
        setObjectName(QStringLiteral("formSurface"));
        iForm.client()->installEventFilter(this);
    }

protected:
    QSizeF hostSize() const override { return QSizeF(mForm.ScaleWidth(), mForm.ScaleHeight()); }
    QWidget* hostWidget() const override { return mForm.client(); }
    bool eventFilter(QObject* iObject, QEvent* iEvent) override {
        if (iObject == mForm.client() && iEvent->type() == QEvent::Paint) {
            QPainter p(mForm.client());
            paintInto(p);
        }
        return false;
    }

private:
    Form& mForm;
};
}

namespace {
FormSurface* surfaceOf(Form& iForm) {
    return dynamic_cast<FormSurface*>(
        iForm.client()->findChild<QObject*>(QStringLiteral("formSurface"), Qt::FindDirectChildrenOnly));
}
}

DrawSurface& formSurface(Form& iForm) {
    FormSurface* s = surfaceOf(iForm);
    if (!s) s = new FormSurface(iForm);
    return *s;
}

void detachFormSurface(Form& iForm) {
    if (!iForm.client()) return;
    if (FormSurface* s = surfaceOf(iForm)) {
        iForm.client()->removeEventFilter(s);
        delete s;
    }
}
