#pragma once
#include <QPointer>
#include <QWidget>

// The station disables its main window while it runs a unit or calibrates. It
// does so with this lock, not QWidget::setEnabled(false): a disabled window
// disables every dialog it owns, so the station's own questions during the run
// could not be answered. A locked window drops keys, clicks, wheel turns,
// shortcuts and closing; its timers run and windows or message boxes it opens
// take input as usual.
namespace inputlock {
void setLocked(QWidget* iWindow, bool iLocked);
bool isLocked(const QWidget* iWindow);
}

// Locks a window for a scope and restores its previous state.
class InputLock {
public:
    explicit InputLock(QWidget* iWindow);
    ~InputLock();
    InputLock(const InputLock&) = delete;
    InputLock& operator=(const InputLock&) = delete;

private:
    QPointer<QWidget> mWindow;
    bool mWasLocked;
};
