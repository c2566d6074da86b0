#pragma once
#include "platform/ui/Control.h"
#include <QScrollBar>

// A vertical scroll bar: Min at the top, Max at the bottom (Min may be the
// larger), SmallChange for the arrows, LargeChange for the track; Change runs
// when the value changes, Scroll while the thumb is dragged.
class VScrollBar : public QScrollBar, public Control {
    Q_OBJECT
public:
    VScrollBar(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
               int32_t iHeight);

    int32_t Value() const;
    void setValue(int32_t iValue);
    int32_t Min() const { return mMin; }
    void setMin(int32_t iMin);
    int32_t Max() const { return mMax; }
    void setMax(int32_t iMax);
    int32_t SmallChange() const { return singleStep(); }
    void setSmallChange(int32_t iStep) { setSingleStep(iStep); }
    int32_t LargeChange() const { return pageStep(); }
    void setLargeChange(int32_t iStep) { setPageStep(iStep); }

    std::function<void()> Change;
    std::function<void()> Scroll;

private:
    void applyRange();
    int32_t mMin = 0;
    int32_t mMax = 32767;
};
