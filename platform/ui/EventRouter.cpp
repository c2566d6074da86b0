#include "platform/ui/EventRouter.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/InputLock.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Validation.h"
#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>

namespace {
bool isInput(QEvent::Type iType) {
    switch (iType) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// The control a key sent to iReceiver is meant for: the control it belongs to,
// or the window's focused control for a key sent to the window itself.
Control* keyControl(Form& iForm, QWidget* iReceiver) {
    Control* c = Control::of(iReceiver);
    if (!c || !c->takesFocus()) c = iForm.ActiveControl();
    return c;
}
}

void EventRouter::install() {
    static EventRouter* sRouter = nullptr;
    if (sRouter || !QCoreApplication::instance()) return;
    sRouter = new EventRouter;
    sRouter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(sRouter);
}

bool EventRouter::eventFilter(QObject* iObject, QEvent* iEvent) {
    const QEvent::Type type = iEvent->type();
    const bool input = isInput(type);
    if (!input && type != QEvent::FocusIn && type != QEvent::FocusOut) return false;
    if (!iObject->isWidgetType() || mDelivering.contains(iEvent)) return false;
    auto* w = static_cast<QWidget*>(iObject);
    Form* f = Form::of(w);
    if (!f) return false;

    if (input && inputlock::isLocked(f)) {
        // Claiming the shortcut keeps Qt from running it; the key itself is dropped next.
        if (type == QEvent::ShortcutOverride) iEvent->accept();
        return true;
    }
    if (!f->acceptsEvents()) return false;

    switch (type) {
    case QEvent::KeyPress:
        return keyPress(*f, w, static_cast<QKeyEvent*>(iEvent));
    case QEvent::KeyRelease:
        return keyRelease(*f, w, static_cast<QKeyEvent*>(iEvent));
    case QEvent::Shortcut:
        return accessKey(*f, w);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A new press starts afresh: the release of a refused click may never have
        // come (a modal box was open when the button went up).
        mDropped &= ~static_cast<QMouseEvent*>(iEvent)->button();
        return mousePress(*f, w, static_cast<QMouseEvent*>(iEvent));
    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(iEvent);
        if (!(mDropped & me->button())) return false;
        mDropped &= ~me->button();
        return true;
    }
    case QEvent::MouseMove:
        return (static_cast<QMouseEvent*>(iEvent)->buttons() & mDropped) != 0;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        focusChange(w, static_cast<QFocusEvent*>(iEvent));
        return false;
    default:
        return false;
    }
}

bool EventRouter::deliver(QWidget* iTarget, QEvent* iEvent) {
    if (iTarget) {
        mDelivering.append(iEvent);
        QCoreApplication::sendEvent(iTarget, iEvent);
        mDelivering.removeOne(iEvent);
    }
    iEvent->accept();
    return true;
}

bool EventRouter::keyPress(Form& iForm, QWidget* iReceiver, QKeyEvent* iEvent) {
    // Open menus and lists, and the menu bar, handle their own keys.
    if (iReceiver->window() != &iForm || qobject_cast<QMenuBar*>(iReceiver)) return false;
    Control* c = keyControl(iForm, iReceiver);
    const Qt::KeyboardModifiers mods = iEvent->modifiers();

    if ((iEvent->key() == Qt::Key_Tab || iEvent->key() == Qt::Key_Backtab) &&
        !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool forward = iEvent->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier);
        if (Control* next = iForm.nextInTabOrder(c, forward)) Validation::moveFocus(*next, Qt::TabFocusReason);
        iEvent->accept();
        return true;
    }

    const int16_t code0 = keycodes::keyCode(*iEvent);
    const int16_t shift = keycodes::shiftMask(*iEvent);
    if (Menu* m = iForm.menuForShortcut(code0, shift)) {
        m->fireClick();
        iEvent->accept();
        return true;
    }

    QPointer<Form> form(&iForm);
    QPointer<QObject> control(c ? c->object() : nullptr);
    QPointer<QWidget> target(c ? c->keyTarget() : iReceiver);
    const bool wasVisible = iForm.isVisible();
    auto alive = [&] { return form && form->acceptsEvents() && (!c || control); };
    const bool formFirst = iForm.KeyPreview() || !c;

    int16_t code = code0;
    if (code != 0) {
        if (formFirst) uievents::raise(form, form, "KeyDown", iForm.KeyDown, code, shift);
        if (code != 0 && c && alive()) c->raiseEvent("KeyDown", c->KeyDown, code, shift);
    }
    const int16_t char0 = keycodes::charCode(*iEvent);
    int16_t ch = char0;
    if (ch != 0 && alive()) {
        if (formFirst) uievents::raise(form, form, "KeyPress", iForm.KeyPress, ch);
        if (ch != 0 && c && alive()) c->raiseEvent("KeyPress", c->KeyPress, ch);
    }
    // A window that a handler unloaded or hid takes nothing more of the key.
    if (!alive() || !target || (wasVisible && !form->isVisible())) {
        iEvent->accept();
        return true;
    }
    if (char0 != 0) {
        if (ch == 0) {
            iEvent->accept();
            return true;
        }
        if (ch != char0) {
            QKeyEvent typed(QEvent::KeyPress, keycodes::qtKeyOfChar(ch), Qt::NoModifier, keycodes::textOfChar(ch),
                            iEvent->isAutoRepeat());
            deliver(target, &typed);
            iEvent->accept();
            return true;
        }
        return deliver(target, iEvent);
    }
    if (code0 != 0 && code == 0) {
        iEvent->accept();
        return true;
    }
    return deliver(target, iEvent);
}

bool EventRouter::keyRelease(Form& iForm, QWidget* iReceiver, QKeyEvent* iEvent) {
    if (iReceiver->window() != &iForm || qobject_cast<QMenuBar*>(iReceiver)) return false;
    Control* c = keyControl(iForm, iReceiver);
    QPointer<QWidget> target(c ? c->keyTarget() : iReceiver);
    // The releases between the repeats of a held key are no KeyUp.
    if (iEvent->isAutoRepeat()) return deliver(target, iEvent);

    const int16_t code0 = keycodes::keyCode(*iEvent);
    int16_t code = code0;
    if (code != 0) {
        QPointer<Form> form(&iForm);
        QPointer<QObject> control(c ? c->object() : nullptr);
        const int16_t shift = keycodes::shiftMask(*iEvent);
        if (iForm.KeyPreview() || !c) uievents::raise(form, form, "KeyUp", iForm.KeyUp, code, shift);
        if (code != 0 && c && control && form && form->acceptsEvents()) c->raiseEvent("KeyUp", c->KeyUp, code, shift);
        if (!form || !form->acceptsEvents() || (c && !control)) {
            iEvent->accept();
            return true;
        }
    }
    if (code0 != 0 && code == 0) {
        iEvent->accept();
        return true;
    }
    return deliver(target, iEvent);
}

bool EventRouter::mousePress(Form& iForm, QWidget* iReceiver, QMouseEvent* iEvent) {
    if (iEvent->button() != Qt::LeftButton || iReceiver->window() != &iForm) return false;
    Control* to = Control::of(iReceiver);
    if (!to || !to->takesFocus() || !to->widget() || !to->widget()->isEnabled() || iForm.ActiveControl() == to)
        return false;
    QPointer<QWidget> receiver(iReceiver);
    QPointer<QObject> target(to->object());
    if (!Validation::moveFocus(*to, Qt::MouseFocusReason) || !receiver || !target) {
        // Refused: the click that would have moved the focus does not happen.
        mDropped |= iEvent->button();
        return true;
    }
    return false;
}

bool EventRouter::accessKey(Form& iForm, QWidget* iReceiver) {
    Control* c = Control::of(iReceiver);
    if (!c) return false;
    Control* to = c;
    if (auto* label = dynamic_cast<Label*>(c)) to = label->accessTarget();
    if (!to || !to->widget() || !to->widget()->isEnabled() || !to->widget()->isVisibleTo(&iForm)) return true;
    QPointer<QObject> target(to->object());
    if (!Validation::moveFocus(*to, Qt::ShortcutFocusReason) || !target) return true;
    // A button's access key presses it at once (Qt would animate a delayed click).
    if (auto* button = qobject_cast<QAbstractButton*>(to->widget()); button && c == to) button->click();
    return true;
}

void EventRouter::focusChange(QWidget* iReceiver, QFocusEvent* iEvent) {
    const Qt::FocusReason reason = iEvent->reason();
    // Moving between windows and opening popups is no focus change within a window.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    Control* c = Control::of(iReceiver);
    if (!c) return;
    if (iEvent->type() == QEvent::FocusIn) c->raiseEvent("GotFocus", c->GotFocus);
    else c->raiseEvent("LostFocus", c->LostFocus);
}
