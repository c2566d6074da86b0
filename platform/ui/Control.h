#pragma once
#include <QList>
#include <QString>
#include <Qt>
#include <cstdint>
#include <functional>
#include <utility>

class Form;
class QObject;
class QWidget;

// What every control of a window has: its name, by which the window's code
// and the tests reach it (also its Qt objectName), its kind ("TextBox", "Label", ...), its index in a control
// array, its place in twips within its container, and the focus and key
// events. Handlers are std::function members that the window sets in its
// constructor; key codes and Cancel flags are passed by reference:
//
//   txtValue->KeyPress = [this](int16_t& KeyAscii) { txtValue_KeyPress(KeyAscii); };
//   txtValue->Validate = [this](bool& Cancel) { txtValue_Validate(Cancel); };
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The control that holds a widget (the widget itself or one of its parents).
    static Control* of(const QObject* iObject);

    QString Name() const;
    const char* kind() const { return mKind; }
    // Index in a control array, -1 for a control that is in none.
    int16_t Index() const { return mIndex; }
    void setIndex(int16_t iIndex) { mIndex = iIndex; }
    Form* form() const { return mForm; }
    // The window's controls that are widgets; timers and menus have none.
    QWidget* widget() const { return mWidget; }
    QObject* object() const { return mSelf; }
    // The frame or picture box the control sits in; nullptr for the window.
    Control* Container() const;

    // Place and size in twips, relative to the container's top-left corner.
    int32_t Left() const;
    int32_t Top() const;
    int32_t Width() const;
    int32_t Height() const;
    void setLeft(int32_t iLeft) { Move(iLeft, Top(), Width(), Height()); }
    void setTop(int32_t iTop) { Move(Left(), iTop, Width(), Height()); }
    void setWidth(int32_t iWidth) { Move(Left(), Top(), iWidth, Height()); }
    void setHeight(int32_t iHeight) { Move(Left(), Top(), Width(), iHeight); }
    void Move(int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight);

    // The control's own settings (a control keeps Visible True while its window is hidden).
    // Widgets change them with Qt's setVisible/setEnabled.
    virtual bool Visible() const;
    virtual bool Enabled() const;
    QString ToolTipText() const;
    void setToolTipText(const QString& iText);
    bool TabStop() const { return mTabStop; }
    void setTabStop(bool iTabStop) { mTabStop = iTabStop; }
    // False for a control (a Cancel button) that may take the focus without the
    // Validate of the control being left.
    bool CausesValidation() const { return mCausesValidation; }
    void setCausesValidation(bool iValue) { mCausesValidation = iValue; }

    // Whether the control takes the focus when clicked or tabbed to.
    bool takesFocus() const { return mTakesFocus; }
    bool HasFocus() const;
    // Moves the focus here; the control being left runs its Validate first and may keep it.
    void SetFocus();
    // The station's "give the focus when visible and enabled": SetFocus only when
    // the control can take it; true when it did.
    bool SetFocusIfAble();
    // The widget that receives the control's keys.
    virtual QWidget* keyTarget() const;

    // Events of every control that takes the focus.
    std::function<void(int16_t& KeyCode, int16_t Shift)> KeyDown;
    std::function<void(int16_t& KeyAscii)> KeyPress;
    std::function<void(int16_t& KeyCode, int16_t Shift)> KeyUp;
    std::function<void(bool& Cancel)> Validate;
    std::function<void()> GotFocus;
    std::function<void()> LostFocus;

    // Runs one of this control's handlers: only while its window is loaded, with
    // the window marked busy, and never letting an exception reach Qt.
    template <class Fn, class... A>
    void raiseEvent(const char* iEvent, const Fn& iHandler, A&&... iArgs) const;

protected:
    // iContainer is the window, a frame or a picture box; iWidget is nullptr for
    // a control without a widget (timer, menu).
    Control(QObject* iSelf, QWidget* iWidget, QWidget* iContainer, const QString& iName, const char* iKind,
            bool iTakesFocus);
    // The Qt parent of a control created in a container: the window's client area for a window.
    static QWidget* qtParent(QWidget* iContainer);
    // Gives the widget the focus at once (after validation).
    void focusNow(Qt::FocusReason iReason);

private:
    friend class Form;
    friend class EventRouter;
    friend class Validation;
    QObject* mSelf;
    QWidget* mWidget;
    Form* mForm = nullptr;
    const char* mKind;
    int16_t mIndex = -1;
    bool mTakesFocus;
    bool mTabStop = true;
    bool mCausesValidation = true;
    int32_t mLeft = 0, mTop = 0, mWidth = 0, mHeight = 0;
};

namespace uievents {
// Counts the handlers running for a window, so that a window unloaded from one
// of its own handlers is released only when the handler has returned.
class HandlerScope {
public:
    explicit HandlerScope(Form* iForm);
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    Form* mForm;
};
bool allowed(const Form* iForm);
// The windows whose handlers are running now, the innermost last: the window
// the user acts in, whatever window the desktop has made the active one.
const QList<Form*>& running();
// A handler let an error out: reported on stderr (handlers trap their own errors).
void reportEscaped(const QObject* iSource, const char* iEvent);

template <class Fn, class... A>
void raise(Form* iForm, const QObject* iSource, const char* iEvent, const Fn& iHandler, A&&... iArgs) {
    if (!iHandler || !allowed(iForm)) return;
    HandlerScope scope(iForm);
    try {
        iHandler(std::forward<A>(iArgs)...);
    } catch (...) {
        reportEscaped(iSource, iEvent);
    }
}
}

template <class Fn, class... A>
void Control::raiseEvent(const char* iEvent, const Fn& iHandler, A&&... iArgs) const {
    uievents::raise(mForm, mSelf, iEvent, iHandler, std::forward<A>(iArgs)...);
}
