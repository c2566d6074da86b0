#pragma once
#include "platform/ui/Form.h"
#include <QPointer>
#include <QWidget>
#include <type_traits>

// Default instances of windows, reached the way the station's routines reach
// them (frmVexo.gForceReCalAll): form<T>() creates the window on first use and
// runs its Load step once (without showing it), isLoaded<T>() tells whether it
// is loaded, unload<T>() runs its Unload (which may cancel) and destroys it.
// A window that unloaded itself (UnloadMe, its close box) keeps its object
// until the next form<T>() makes a fresh one or unload<T>() releases it, so
// that a dialog's function can read its outcome after the modal display.
// Nothing else keeps raw pointers to windows.
namespace formregistry_detail {
template <class T>
QPointer<T>& slot() {
    static QPointer<T> s;
    return s;
}

template <class T>
bool unloaded(const T* iWindow) {
    if constexpr (std::is_base_of_v<Form, T>) return iWindow->Unloaded();
    else return false;
}
}

template <class T>
T& form() {
    QPointer<T>& s = formregistry_detail::slot<T>();
    if (s && formregistry_detail::unloaded(s.data())) {
        // Unloaded before: its object goes once no handler of it runs, a fresh one is loaded.
        T* old = s.data();
        s = nullptr;
        if constexpr (std::is_base_of_v<Form, T>) old->release();
        else delete old;
    }
    if (!s) {
        T* w = new T();
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        s = w;
        if constexpr (std::is_base_of_v<Form, T>) w->runLoad();
    }
    return *s;
}

template <class T>
bool isLoaded() {
    const QPointer<T>& s = formregistry_detail::slot<T>();
    return !s.isNull() && !formregistry_detail::unloaded(s.data());
}

// Runs the window's Unload (with its cancel argument) and destroys the window;
// false when Unload cancelled, which leaves the window loaded. Called from one of
// the window's own handlers, the window is destroyed when that handler returns.
template <class T>
bool unload() {
    QPointer<T>& s = formregistry_detail::slot<T>();
    if (!s) return true;
    T* w = s.data();
    if constexpr (std::is_base_of_v<Form, T>) {
        if (!w->UnloadMe()) return false;
        s = nullptr;
        w->release();
    } else {
        s = nullptr;
        w->hide();
        delete w;
    }
    return true;
}
