#pragma once
#include "platform/ui/Control.h"
#include <QRadioButton>

// An option button: the option buttons of one container (the window, a frame,
// a picture box) form one group. Value True selects it and clears the others;
// Click runs when it becomes selected, by the user or by code. Alignment 0
// puts the button left of the caption, 1 right of it.
class OptionButton : public QRadioButton, public Control {
    Q_OBJECT
public:
    OptionButton(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                 int32_t iHeight, const QString& iCaption = QString());

    bool Value() const { return isChecked(); }
    void setValue(bool iValue);
    QString Caption() const { return text(); }
    void setCaption(const QString& iCaption) { setText(iCaption); }
    int16_t Alignment() const { return layoutDirection() == Qt::RightToLeft ? 1 : 0; }
    void setAlignment(int16_t iAlignment) { setLayoutDirection(iAlignment == 1 ? Qt::RightToLeft : Qt::LeftToRight); }

    std::function<void()> Click;
};
