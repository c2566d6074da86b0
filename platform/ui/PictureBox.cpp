#include "platform/ui/PictureBox.h"
#include "platform/ui/Color.h"
#include <QMouseEvent>

PictureBox::PictureBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                       int32_t iHeight)
    : QFrame(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "PictureBox", true) {
    setBorderStyle(1);
    setAutoFillBackground(true);
    Move(iLeft, iTop, iWidth, iHeight);
}

int32_t PictureBox::BackColor() const { return vbcolor::fromQColor(palette().color(QPalette::Window)); }

void PictureBox::setBackColor(int32_t iColor) {
    QPalette p = palette();
    p.setColor(QPalette::Window, vbcolor::toQColor(iColor));
    setPalette(p);
}

void PictureBox::setBorderStyle(int16_t iStyle) {
    setFrameShape(iStyle == 0 ? QFrame::NoFrame : QFrame::Box);
    setLineWidth(1);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* iEvent) {
    QFrame::mouseReleaseEvent(iEvent);
    if (iEvent->button() == Qt::LeftButton && rect().contains(iEvent->position().toPoint())) raiseEvent("Click", Click);
}
