#pragma once
#include "platform/data/BoundControl.h"
#include "platform/ui/Control.h"
#include <QCheckBox>

enum CheckBoxValue : int16_t { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

// A check box: Value 0 (unchecked), 1 (checked) or 2 (grayed, set by code only);
// Click runs whenever the value changes, by the user or by code. Alignment 0
// puts the box left of the caption, 1 right of it. Bound to a
// Boolean field it shows True as checked and Null as unchecked; grayed writes Null.
class CheckBox : public QCheckBox, public Control, public BoundControl {
    Q_OBJECT
public:
    CheckBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
             int32_t iHeight, const QString& iCaption = QString());

    int16_t Value() const;
    void setValue(int16_t iValue);
    QString Caption() const { return text(); }
    void setCaption(const QString& iCaption) { setText(iCaption); }
    int16_t Alignment() const { return layoutDirection() == Qt::RightToLeft ? 1 : 0; }
    void setAlignment(int16_t iAlignment) { setLayoutDirection(iAlignment == 1 ? Qt::RightToLeft : Qt::LeftToRight); }

    // The caption's colour (&H00BBGGRR or a system colour).
    int32_t ForeColor() const;
    void setForeColor(int32_t iColor);

    std::function<void()> Click;

    Variant boundValue() const override;
    void setBoundValue(const Variant& iValue) override;

protected:
    void nextCheckState() override;
};
