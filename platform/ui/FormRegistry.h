#pragma once
#include <QPointer>
#include <QWidget>

// Default instances of windows, reached the way the station's routines reach
// them (frmVexo.gForceReCalAll): form<T>() creates the window on first use,
// isLoaded<T>() tells whether it exists, unload<T>() destroys it. Nothing else
// keeps raw pointers to windows.
namespace formregistry_detail {
template <class T>
QPointer<T>& slot() {
    static QPointer<T> s;
    return s;
}
}

template <class T>
T& form() {
    QPointer<T>& s = formregistry_detail::slot<T>();
    if (!s) {
        s = new T();
        s->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    return *s;
}

template <class T>
bool isLoaded() {
    return !formregistry_detail::slot<T>().isNull();
}

template <class T>
void unload() {
    QPointer<T>& s = formregistry_detail::slot<T>();
    if (s) {
        T* w = s.data();
        s = nullptr;
        w->hide();
        delete w;
    }
}
