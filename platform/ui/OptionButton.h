#pragma once
#include "platform/ui/Control.h"
#include <QRadioButton>

// An option button: the option buttons of one container (the window, a frame,
// a picture box) form one group. Value True selects it and clears the others;
// Click runs when it becomes selected, by the user or by code.
class OptionButton : public QRadioButton, public Control {
    Q_OBJECT
public:
    OptionButton(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                 int32_t iHeight, const QString& iCaption = QString());

    bool Value() const { return isChecked(); }
    void setValue(bool iValue);
    QString Caption() const { return text(); }
    void setCaption(const QString& iCaption) { setText(iCaption); }

    std::function<void()> Click;
};
