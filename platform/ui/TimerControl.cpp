#include "platform/ui/TimerControl.h"
#include <QWidget>

TimerControl::TimerControl(QWidget* iContainer, const QString& iName, int32_t iInterval, bool iEnabled)
    : QTimer(iContainer), Control(this, nullptr, iContainer, iName, "Timer", false), mEnabled(iEnabled) {
    QTimer::setInterval(iInterval);
    connect(this, &QTimer::timeout, this, [this] { raiseEvent("Timer", Timer); });
    apply();
}

void TimerControl::setInterval(int32_t iInterval) {
    QTimer::setInterval(iInterval);
    apply();
}

void TimerControl::setEnabled(bool iEnabled) {
    mEnabled = iEnabled;
    apply();
}

void TimerControl::apply() {
    if (mEnabled && interval() > 0) start();
    else stop();
}
