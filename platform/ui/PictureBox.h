#pragma once
#include "platform/ui/Control.h"
#include "platform/ui/DrawSurface.h"
#include <QFrame>

// A picture box: a container control that is also a drawing surface (see
// DrawSurface.h for the drawing model). With its border (BorderStyle 1, a
// 2-pixel sunken 3D frame) the inner area is 60 twips smaller than the box on
// each axis; without it the two are the same. It starts with the button-face
// background and button-text foreground, takes the focus when clicked, and
// raises Click and, on a left double-click, DblClick.
class PictureBox : public QFrame, public Control, public DrawSurface {
    Q_OBJECT
public:
    PictureBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
               int32_t iHeight);

    // 0 none, 1 fixed single.
    int16_t BorderStyle() const { return frameShape() == QFrame::NoFrame ? 0 : 1; }
    void setBorderStyle(int16_t iStyle);

    std::function<void()> Click;
    std::function<void()> DblClick;

protected:
    QSizeF hostSize() const override;
    QWidget* hostWidget() const override { return const_cast<PictureBox*>(this); }
    QPoint hostOffset() const override { return contentsRect().topLeft(); }
    void paintEvent(QPaintEvent* iEvent) override;
    void mouseReleaseEvent(QMouseEvent* iEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* iEvent) override;
};
