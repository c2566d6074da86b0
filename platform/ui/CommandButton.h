#pragma once
#include "platform/ui/Control.h"
#include <QPushButton>

// A command button: Caption with an "&" access key, Click. Enter or Space on
// the focused button presses it; it is never a dialog's automatic default.
class CommandButton : public QPushButton, public Control {
    Q_OBJECT
public:
    CommandButton(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                  int32_t iHeight, const QString& iCaption = QString());

    QString Caption() const { return text(); }
    void setCaption(const QString& iCaption) { setText(iCaption); }

    std::function<void()> Click;

protected:
    void keyPressEvent(QKeyEvent* iEvent) override;
};
