#include "platform/ui/Frame.h"

Frame::Frame(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight,
             const QString& iCaption)
    : QGroupBox(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "Frame", false) {
    setTitle(iCaption);
    Move(iLeft, iTop, iWidth, iHeight);
}
