#include "platform/ui/Label.h"
#include "platform/ui/Color.h"
#include "platform/vb/Conversions.h"
#include <QMouseEvent>

namespace {
// The caption as shown where no access key applies: "&&" is one "&", a single "&" is not shown.
QString withoutAccessKeys(const QString& iCaption) {
    QString out;
    for (qsizetype i = 0; i < iCaption.size(); ++i) {
        if (iCaption.at(i) == QLatin1Char('&')) {
            if (i + 1 < iCaption.size() && iCaption.at(i + 1) == QLatin1Char('&')) out += QLatin1Char('&');
            else continue;
            ++i;
            continue;
        }
        out += iCaption.at(i);
    }
    return out;
}
}

Label::Label(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight,
             const QString& iCaption)
    : QLabel(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "Label", false) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(static_cast<int16_t>(0));
    Move(iLeft, iTop, iWidth, iHeight);
    setCaption(iCaption);
}

void Label::setCaption(const QString& iCaption) {
    const QString before = Caption();
    mCaption = iCaption;
    mShown = text();
    updateText();
    if (Caption() != before) raiseEvent("Change", Change);
}

void Label::setBoundValue(const Variant& iValue) { setCaption(iValue.isNull() ? QString() : CStr(iValue)); }

void Label::setUseMnemonic(bool iUse) {
    mUseMnemonic = iUse;
    updateText();
}

void Label::setAccessTarget(Control* iTarget) {
    mAccessTarget = iTarget;
    updateText();
}

// Code that sets the QLabel's text directly (QLabel::setText) sets the caption.
QString Label::Caption() const { return text() == mShown ? mCaption : text(); }

void Label::updateText() {
    if (text() != mShown) mCaption = text();
    // With a control to go to, Qt draws the access key and grabs Alt+letter.
    const bool access = mUseMnemonic && mAccessTarget && mAccessTarget->widget();
    setBuddy(access ? mAccessTarget->widget() : nullptr);
    mShown = access || !mUseMnemonic ? mCaption : withoutAccessKeys(mCaption);
    setText(mShown);
}

int32_t Label::ForeColor() const { return vbcolor::fromQColor(palette().color(QPalette::WindowText)); }
void Label::setForeColor(int32_t iColor) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, vbcolor::toQColor(iColor));
    setPalette(p);
}

int32_t Label::BackColor() const { return vbcolor::fromQColor(palette().color(QPalette::Window)); }
void Label::setBackColor(int32_t iColor) {
    QPalette p = palette();
    p.setColor(QPalette::Window, vbcolor::toQColor(iColor));
    setPalette(p);
    setAutoFillBackground(true);
}

void Label::setAlignment(int16_t iAlignment) {
    mAlignment = iAlignment;
    const Qt::Alignment h = iAlignment == 1 ? Qt::AlignRight : iAlignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    QLabel::setAlignment(h | Qt::AlignTop);
}

void Label::setBorderStyle(int16_t iStyle) {
    mBorderStyle = iStyle == 0 ? 0 : 1;
    setFrameStyle(mBorderStyle ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
}

void Label::mouseReleaseEvent(QMouseEvent* iEvent) {
    QLabel::mouseReleaseEvent(iEvent);
    if (iEvent->button() == Qt::LeftButton && rect().contains(iEvent->position().toPoint())) raiseEvent("Click", Click);
}
