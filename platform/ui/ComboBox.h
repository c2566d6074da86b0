#pragma once
#include "platform/data/BoundControl.h"
#include "platform/ui/Control.h"
#include "platform/ui/ListControl.h"
#include <QComboBox>

enum ComboBoxStyle : int16_t { vbComboDropdown = 0, vbComboSimple = 1, vbComboDropdownList = 2 };

// A combo box. Style 0 (and 1) can be typed into: Text may hold a text that is
// not in the list (ListIndex then -1) and Change runs when the text is typed or
// set by code; style 2 only chooses from the list. Click runs when the chosen
// entry changes, by the user or by code. Bound to a data control it shows the
// field's value as its text (style 2: the entry with that text) and writes its
// text when the data control moves. A left double-click on the box (its text
// field included) raises DblClick.
class ComboBox : public QComboBox, public Control, public ListControl, public BoundControl {
    Q_OBJECT
public:
    ComboBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
             int32_t iHeight, int16_t iStyle = vbComboDropdown);

    int16_t Style() const { return mStyle; }
    QString Text() const;
    // Style 2 chooses the entry with that text ("'Text' property is read-only" (383) when none has it).
    void setText(const QString& iText);

    void AddItem(const QString& iItem, int32_t iIndex = -1) override;
    void RemoveItem(int32_t iIndex) override;
    void Clear() override;
    QString List(int32_t iIndex) const override;
    void setList(int32_t iIndex, const QString& iText) override;
    int32_t ListCount() const override { return count(); }
    int32_t ListIndex() const override;
    void setListIndex(int32_t iIndex) override;

    std::function<void()> Click;
    std::function<void()> Change;
    std::function<void()> DblClick;

    Variant boundValue() const override { return Variant(Text()); }
    void setBoundValue(const Variant& iValue) override;

protected:
    ComboBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
             int32_t iHeight, int16_t iStyle, const char* iKind);
    void wheelEvent(QWheelEvent* iEvent) override;
    void keyPressEvent(QKeyEvent* iEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* iEvent) override;
    bool eventFilter(QObject* iObject, QEvent* iEvent) override;
    // Raises the double-click event; a data-bound combo adds the area clicked.
    virtual void raiseDblClick();

    // Runs a change of the list that must not look like a choice.
    template <class F>
    void quietly(F&& iChange) {
        const bool was = mQuiet;
        mQuiet = true;
        iChange();
        mQuiet = was;
    }

private:
    int16_t mStyle;
    bool mQuiet = false;
};
