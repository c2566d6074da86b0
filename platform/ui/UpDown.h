#pragma once
#include "platform/ui/Control.h"
#include <QWidget>

class QTimer;
class TextBox;

// An up-down control: two arrows that step Value by Increment between Min and
// Max (held down, they repeat). With a buddy text box it reads the box's number
// before each step and writes the stepped value into the box. Change runs when
// Value changes, then UpClick or DownClick for the arrow clicked. It does not
// take the focus, so stepping leaves the box being edited where it is.
class UpDown : public QWidget, public Control {
    Q_OBJECT
public:
    UpDown(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight);

    int32_t Value() const { return mValue; }
    // "Invalid property value" (380) outside Min .. Max.
    void setValue(int32_t iValue);
    int32_t Min() const { return mMin; }
    void setMin(int32_t iMin) { mMin = iMin; }
    int32_t Max() const { return mMax; }
    void setMax(int32_t iMax) { mMax = iMax; }
    int32_t Increment() const { return mIncrement; }
    void setIncrement(int32_t iIncrement) { mIncrement = iIncrement; }
    TextBox* Buddy() const { return mBuddy; }
    void setBuddy(TextBox* iBuddy) { mBuddy = iBuddy; }

    std::function<void()> Change;
    std::function<void()> UpClick;
    std::function<void()> DownClick;

protected:
    void paintEvent(QPaintEvent* iEvent) override;
    void mousePressEvent(QMouseEvent* iEvent) override;
    void mouseReleaseEvent(QMouseEvent* iEvent) override;

private:
    void step(int iDirection);
    void setValueAndBuddy(int32_t iValue);
    int32_t mValue = 0;
    int32_t mMin = 0;
    int32_t mMax = 10;
    int32_t mIncrement = 1;
    TextBox* mBuddy = nullptr;
    QTimer* mRepeat = nullptr;
    int mDirection = 0;
};
