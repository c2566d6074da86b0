#include "platform/ui/VScrollBar.h"
#include "platform/vb/VbError.h"
#include <algorithm>

VScrollBar::VScrollBar(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                       int32_t iHeight)
    : QScrollBar(Qt::Vertical, Control::qtParent(iContainer)),
      Control(this, this, iContainer, iName, "VScrollBar", true) {
    applyRange();
    Move(iLeft, iTop, iWidth, iHeight);
    connect(this, &QAbstractSlider::valueChanged, this, [this] { raiseEvent("Change", Change); });
    connect(this, &QAbstractSlider::sliderMoved, this, [this] { raiseEvent("Scroll", Scroll); });
}

// Qt wants the smaller value first; a bar whose Min is the larger runs upside down.
void VScrollBar::applyRange() {
    const bool inverted = mMin > mMax;
    setInvertedAppearance(inverted);
    // A scroll bar's keys already run "down is more"; upside down, down is less.
    setInvertedControls(!inverted);
    setRange(std::min(mMin, mMax), std::max(mMin, mMax));
}

int32_t VScrollBar::Value() const { return value(); }

void VScrollBar::setValue(int32_t iValue) {
    if (iValue < std::min(mMin, mMax) || iValue > std::max(mMin, mMax)) vbRaise(380, QStringLiteral("Invalid property value"));
    QScrollBar::setValue(iValue);
}

void VScrollBar::setMin(int32_t iMin) {
    mMin = iMin;
    applyRange();
}

void VScrollBar::setMax(int32_t iMax) {
    mMax = iMax;
    applyRange();
}
