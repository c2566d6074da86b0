#pragma once
#include "platform/ui/Control.h"
#include <QGroupBox>

// A frame: a captioned container. Controls made in it are placed relative to
// its top-left corner; its option buttons form a group of their own. A frame
// made without a caption shows none.
class Frame : public QGroupBox, public Control {
    Q_OBJECT
public:
    Frame(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight,
          const QString& iCaption = QString());

    QString Caption() const { return title(); }
    void setCaption(const QString& iCaption) { setTitle(iCaption); }
};
