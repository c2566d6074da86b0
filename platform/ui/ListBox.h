#pragma once
#include "platform/ui/Control.h"
#include "platform/ui/ListControl.h"
#include <QListWidget>

// A list box: one entry chosen at a time; Text is the chosen entry's text.
// Click runs when the chosen entry changes, by the user or by code; DblClick
// when an entry is double-clicked.
class ListBox : public QListWidget, public Control, public ListControl {
    Q_OBJECT
public:
    ListBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight);

    QString Text() const;

    void AddItem(const QString& iItem, int32_t iIndex = -1) override;
    void RemoveItem(int32_t iIndex) override;
    void Clear() override;
    QString List(int32_t iIndex) const override;
    void setList(int32_t iIndex, const QString& iText) override;
    int32_t ListCount() const override { return count(); }
    int32_t ListIndex() const override { return mIndex; }
    void setListIndex(int32_t iIndex) override;

    std::function<void()> Click;
    std::function<void()> DblClick;

protected:
    void focusInEvent(QFocusEvent* iEvent) override;
    void keyPressEvent(QKeyEvent* iEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* iEvent) override;

private:
    void rowChanged(int iRow);
    // Puts the choice back to mIndex without a Click.
    void showChoice();
    int32_t mIndex = -1;
    bool mQuiet = false;
};
