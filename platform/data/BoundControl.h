#pragma once
#include "platform/vb/Variant.h"
#include <QString>

class DataControl;

// A control that shows and edits one field of its data control's current
// record. The window layer's text boxes, check boxes, labels and data-bound
// combos implement the two value calls; the data control does the rest.
class BoundControl {
public:
    BoundControl() = default;
    virtual ~BoundControl();   // leaves its data control
    BoundControl(const BoundControl&) = delete;
    BoundControl& operator=(const BoundControl&) = delete;

    // Binding to a data control (nullptr: none) and the field shown.
    void setDataSource(DataControl* iSource);
    DataControl* DataSource() const { return mSource; }
    void setDataField(const QString& iField) { mField = iField; }
    const QString& DataField() const { return mField; }

    // True once the user or code changed the value since the data control last
    // filled it; the control sets it from its own change handling.
    bool DataChanged() const { return mChanged; }
    void setDataChanged(bool iChanged) { mChanged = iChanged; }

    // The value to write (a text box gives its text; an empty number box gives
    // "" and is refused by a numeric field rather than stored as Null).
    virtual Variant boundValue() const = 0;
    // Shows a record's value as if the user had entered it: raises the control's
    // change event when what it shows changes, and none when the value equals the
    // one shown. Null shows as empty.
    virtual void setBoundValue(const Variant& iValue) = 0;

private:
    friend class DataControl;
    DataControl* mSource = nullptr;
    QString mField;
    bool mChanged = false;
};
