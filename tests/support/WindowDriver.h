#pragma once
#include "platform/ui/Form.h"
#include <QApplication>
#include <QTest>

// Drives windows as a user would: shows and activates them, types into the
// focused control, presses keys (also held down with auto-repeat) and clicks.
namespace drive {
inline bool showActive(Form& iForm) {
    iForm.Show();
    iForm.activateWindow();
    return QTest::qWaitForWindowActive(&iForm);
}
inline QWidget* focus() { return QApplication::focusWidget(); }
inline void type(const QString& iText) { QTest::keyClicks(focus(), iText); }
inline void key(Qt::Key iKey, Qt::KeyboardModifiers iMods = Qt::NoModifier) { QTest::keyClick(focus(), iKey, iMods); }
// A key held down: its press, then iRepeats auto-repeated releases and presses,
// then its release.
inline void hold(Qt::Key iKey, int iRepeats, Qt::KeyboardModifiers iMods = Qt::NoModifier) {
    QTest::simulateEvent(focus(), true, iKey, iMods, QString(), false);
    for (int i = 0; i < iRepeats; ++i) {
        QTest::simulateEvent(focus(), false, iKey, iMods, QString(), true);
        QTest::simulateEvent(focus(), true, iKey, iMods, QString(), true);
    }
    QTest::simulateEvent(focus(), false, iKey, iMods, QString(), false);
}
inline void click(QWidget* iWidget, QPoint iAt = QPoint()) { QTest::mouseClick(iWidget, Qt::LeftButton, Qt::NoModifier, iAt); }
}
