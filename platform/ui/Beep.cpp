#include "platform/ui/Beep.h"
#include <QApplication>
#include <atomic>

namespace {
std::atomic<int> gBeeps{0};
}

void vbBeep() {
    ++gBeeps;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
}

int beepCount() { return gBeeps.load(); }
