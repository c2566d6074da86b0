#include "platform/ui/CommandButton.h"
#include <QKeyEvent>

CommandButton::CommandButton(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                             int32_t iHeight, const QString& iCaption)
    : QPushButton(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "CommandButton", true) {
    setAutoDefault(false);
    setDefault(false);
    setText(iCaption.isNull() ? iName : iCaption);
    Move(iLeft, iTop, iWidth, iHeight);
    connect(this, &QAbstractButton::clicked, this, [this] { raiseEvent("Click", Click); });
}

void CommandButton::keyPressEvent(QKeyEvent* iEvent) {
    if ((iEvent->key() == Qt::Key_Return || iEvent->key() == Qt::Key_Enter) && !iEvent->isAutoRepeat()) {
        click();
        iEvent->accept();
        return;
    }
    QPushButton::keyPressEvent(iEvent);
    iEvent->accept();
}
