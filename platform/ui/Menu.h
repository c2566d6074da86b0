#pragma once
#include "platform/ui/Control.h"
#include <QObject>

class QAction;
class QMenu;

// A menu item (kind "Menu"): a top-level menu on the window's menu bar, or an
// item in its parent's menu. Caption with "&" access key; "-" makes a
// separator. A shortcut such as "Ctrl+S" or "F1" runs Click wherever the focus
// is in the window, before the focused control sees the key (so Ctrl+A and
// Ctrl+X are the menu's, not the text box's), while the item and its parents are
// enabled and visible. A menu with items runs Click as it opens.
class Menu : public QObject, public Control {
    Q_OBJECT
public:
    Menu(Form* iForm, const QString& iName, const QString& iCaption, Menu* iParent = nullptr,
         const QString& iShortcut = QString());

    QString Caption() const { return mCaption; }
    void setCaption(const QString& iCaption);
    bool Enabled() const override;
    void setEnabled(bool iEnabled);
    bool Visible() const override;
    void setVisible(bool iVisible);
    bool Checked() const;
    void setChecked(bool iChecked);
    QString Shortcut() const { return mShortcut; }
    Menu* parentMenu() const { return mParent; }

    std::function<void()> Click;

    // Runs Click as a choice of the item would (when it can be chosen).
    void fireClick();
    // Whether a key code and shift mask are this item's shortcut and it can be chosen now.
    bool matches(int16_t iKeyCode, int16_t iShift) const;
    bool reachable() const;
    QAction* action() const { return mAction; }
    QMenu* subMenu() const { return mSub; }

private:
    QMenu* ensureSubMenu();
    void updateText();
    Menu* mParent;
    QAction* mAction = nullptr;
    QMenu* mSub = nullptr;
    QString mCaption;
    QString mShortcut;
    int16_t mKeyCode = 0;
    int16_t mShift = 0;
};
