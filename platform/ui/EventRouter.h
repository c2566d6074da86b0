#pragma once
#include <QList>
#include <QObject>
#include <Qt>

class Form;
class QEvent;
class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QWidget;

// The window layer's event model on top of Qt, installed once on the
// application: every key, click, access key and focus change of a window goes
// through here first.
//  - Keys: menu shortcuts of the window win over the focused control's own keys
//    (Ctrl+A, Ctrl+X in a text box); then KeyDown (the window's first when it
//    previews keys, then the control's), KeyPress with the character code, and the
//    Qt widget gets the key only when no handler consumed it, with the character a
//    KeyPress handler put in its place. KeyUp comes once per key, not for the
//    releases of auto-repeat. Tab and Shift+Tab move the focus in tab order.
//  - Focus: clicks, Tab, access keys and SetFocus give the focus after the
//    Validate of the control being left; a refused click is dropped.
//  - A window under an input lock gets no input at all.
class EventRouter : public QObject {
    Q_OBJECT
public:
    static void install();

protected:
    bool eventFilter(QObject* iObject, QEvent* iEvent) override;

private:
    bool keyPress(Form& iForm, QWidget* iReceiver, QKeyEvent* iEvent);
    bool keyRelease(Form& iForm, QWidget* iReceiver, QKeyEvent* iEvent);
    bool mousePress(Form& iForm, QWidget* iReceiver, QMouseEvent* iEvent);
    bool accessKey(Form& iForm, QWidget* iReceiver);
    void focusChange(QWidget* iReceiver, QFocusEvent* iEvent);
    // Hands an event to the widget that is to handle it, outside this filter.
    bool deliver(QWidget* iTarget, QEvent* iEvent);

    QList<const QEvent*> mDelivering;
    Qt::MouseButtons mDropped;
};
