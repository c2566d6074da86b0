#pragma once
#include "platform/ui/Control.h"
#include <QFrame>

// A picture box as a control: a container with a background colour and an
// optional border that takes the focus when clicked, and Click. (Drawing on it
// belongs to the graph drawing.)
class PictureBox : public QFrame, public Control {
    Q_OBJECT
public:
    PictureBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
               int32_t iHeight);

    int32_t BackColor() const;
    void setBackColor(int32_t iColor);
    // 0 none, 1 fixed single.
    int16_t BorderStyle() const { return frameShape() == QFrame::NoFrame ? 0 : 1; }
    void setBorderStyle(int16_t iStyle);

    std::function<void()> Click;

protected:
    void mouseReleaseEvent(QMouseEvent* iEvent) override;
};
