#include "platform/ui/CheckBox.h"
#include "platform/ui/Color.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"

CheckBox::CheckBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                   int32_t iHeight, const QString& iCaption)
    : QCheckBox(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "CheckBox", true) {
    setText(iCaption.isNull() ? iName : iCaption);
    Move(iLeft, iTop, iWidth, iHeight);
    connect(this, &QCheckBox::stateChanged, this, [this] {
        setDataChanged(true);
        raiseEvent("Click", Click);
    });
}

int16_t CheckBox::Value() const {
    switch (checkState()) {
    case Qt::Checked: return vbChecked;
    case Qt::PartiallyChecked: return vbGrayed;
    default: return vbUnchecked;
    }
}

void CheckBox::setValue(int16_t iValue) {
    if (iValue < vbUnchecked || iValue > vbGrayed) vbRaise(380, QStringLiteral("Invalid property value"));
    setCheckState(iValue == vbChecked ? Qt::Checked : iValue == vbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
}

Variant CheckBox::boundValue() const {
    const int16_t v = Value();
    return v == vbGrayed ? Variant::null() : Variant(v == vbChecked);
}

void CheckBox::setBoundValue(const Variant& iValue) {
    setValue(!iValue.isNull() && CBool(iValue) ? vbChecked : vbUnchecked);
}

// A click checks a grayed box; the user never makes one grayed.
void CheckBox::nextCheckState() { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }

int32_t CheckBox::ForeColor() const { return vbcolor::fromQColor(palette().color(QPalette::WindowText)); }
void CheckBox::setForeColor(int32_t iColor) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, vbcolor::toQColor(iColor));
    p.setColor(QPalette::ButtonText, vbcolor::toQColor(iColor));
    setPalette(p);
}
