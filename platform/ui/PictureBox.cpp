#include "platform/ui/PictureBox.h"
#include "platform/ui/Color.h"
#include <QMouseEvent>
#include <QPainter>

namespace {
// The 3D border: two pixels on each side.
constexpr int kBorderPixels = 2;
constexpr int32_t kBorderTwips = 2 * kBorderPixels * 15;
}

PictureBox::PictureBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                       int32_t iHeight)
    : QFrame(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "PictureBox", true),
      DrawSurface(vbcolor::vbButtonFace, vbcolor::vbButtonText) {
    setBorderStyle(1);
    Move(iLeft, iTop, iWidth, iHeight);
}

void PictureBox::setBorderStyle(int16_t iStyle) {
    if (iStyle == 0) {
        setFrameStyle(QFrame::NoFrame);
    } else {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(kBorderPixels);
    }
    update();
}

QSizeF PictureBox::hostSize() const {
    const int32_t border = BorderStyle() == 0 ? 0 : kBorderTwips;
    return QSizeF(Width() - border, Height() - border);
}

void PictureBox::paintEvent(QPaintEvent* iEvent) {
    QFrame::paintEvent(iEvent);   // the border
    QPainter p(this);
    p.setClipRect(contentsRect());
    // The image covers the inner area to the nearest pixel; any pixel left over is background.
    p.fillRect(contentsRect(), vbcolor::toQColor(BackColor()));
    paintInto(p);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* iEvent) {
    QFrame::mouseReleaseEvent(iEvent);
    if (iEvent->button() == Qt::LeftButton && rect().contains(iEvent->position().toPoint())) raiseEvent("Click", Click);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* iEvent) {
    QFrame::mouseDoubleClickEvent(iEvent);
    if (iEvent->button() == Qt::LeftButton) raiseEvent("DblClick", DblClick);
}
