#include "platform/ui/InputLock.h"
#include <QList>
#include <QPointer>
#include <QWidget>

namespace {
QList<QPointer<QWidget>>& locked() {
    static QList<QPointer<QWidget>> s;
    return s;
}
}

namespace inputlock {
void setLocked(QWidget* iWindow, bool iLocked) {
    if (!iWindow) return;
    QList<QPointer<QWidget>>& l = locked();
    l.removeIf([iWindow](const QPointer<QWidget>& p) { return p.isNull() || p.data() == iWindow; });
    if (iLocked) l.append(iWindow);
}

bool isLocked(const QWidget* iWindow) {
    if (!iWindow) return false;
    for (const QPointer<QWidget>& p : std::as_const(locked()))
        if (p.data() == iWindow) return true;
    return false;
}
}

InputLock::InputLock(QWidget* iWindow) : mWindow(iWindow), mWasLocked(inputlock::isLocked(iWindow)) {
    inputlock::setLocked(mWindow, true);
}

InputLock::~InputLock() { inputlock::setLocked(mWindow, mWasLocked); }
