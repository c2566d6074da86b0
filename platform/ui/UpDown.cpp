#include "platform/ui/UpDown.h"
#include "platform/ui/TextBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <algorithm>
#include <cmath>

UpDown::UpDown(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
               int32_t iHeight)
    : QWidget(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "UpDown", false) {
    mRepeat = new QTimer(this);
    connect(mRepeat, &QTimer::timeout, this, [this] {
        mRepeat->setInterval(100);
        step(mDirection);
    });
    Move(iLeft, iTop, iWidth, iHeight);
}

void UpDown::setValue(int32_t iValue) {
    if (iValue < std::min(mMin, mMax) || iValue > std::max(mMin, mMax)) vbRaise(380, QStringLiteral("Invalid property value"));
    if (iValue == mValue) return;
    setValueAndBuddy(iValue);
}

void UpDown::setValueAndBuddy(int32_t iValue) {
    const bool changed = iValue != mValue;
    mValue = iValue;
    if (mBuddy) {
        const QString text = QString::number(mValue);
        if (mBuddy->Text() != text) mBuddy->setText(text);
    }
    if (changed) raiseEvent("Change", Change);
}

void UpDown::step(int iDirection) {
    int32_t current = mValue;
    if (mBuddy) {
        double typed = 0.0;
        if (parseLocaleNumber(mBuddy->Text(), typed) && std::isfinite(typed))
            current = static_cast<int32_t>(std::clamp<double>(std::round(typed), std::min(mMin, mMax), std::max(mMin, mMax)));
    }
    // Up goes towards Max, down towards Min, whichever is the larger.
    const int32_t target = iDirection > 0 ? mMax : mMin;
    const int64_t delta = static_cast<int64_t>(mIncrement) * (target >= current ? 1 : -1);
    int64_t next = static_cast<int64_t>(current) + delta;
    if ((delta > 0 && next > target) || (delta < 0 && next < target)) next = target;
    QPointer<QObject> self(this);
    setValueAndBuddy(static_cast<int32_t>(next));
    if (!self) return;
    if (iDirection > 0) raiseEvent("UpClick", UpClick);
    else raiseEvent("DownClick", DownClick);
}

void UpDown::mousePressEvent(QMouseEvent* iEvent) {
    if (iEvent->button() != Qt::LeftButton) return;
    mDirection = iEvent->position().y() < height() / 2.0 ? 1 : -1;
    mRepeat->start(500);
    step(mDirection);
    update();
}

void UpDown::mouseReleaseEvent(QMouseEvent* iEvent) {
    if (iEvent->button() != Qt::LeftButton) return;
    mRepeat->stop();
    mDirection = 0;
    update();
}

void UpDown::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        const bool down = mDirection == (i == 0 ? 1 : -1);
        button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
    }
}
