#include "platform/ui/OptionButton.h"

OptionButton::OptionButton(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                           int32_t iHeight, const QString& iCaption)
    : QRadioButton(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "OptionButton", true) {
    setText(iCaption.isNull() ? iName : iCaption);
    Move(iLeft, iTop, iWidth, iHeight);
    connect(this, &QAbstractButton::toggled, this, [this](bool iOn) {
        if (iOn) raiseEvent("Click", Click);
    });
}

void OptionButton::setValue(bool iValue) {
    if (iValue || !isChecked()) {
        setChecked(iValue);
        return;
    }
    // Qt keeps one button of a group checked; code may clear the whole group.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}
