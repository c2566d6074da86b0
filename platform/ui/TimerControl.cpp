#include "platform/ui/TimerControl.h"
#include "platform/os/Clock.h"
#include <QWidget>

TimerControl::TimerControl(QWidget* iContainer, const QString& iName, int32_t iInterval, bool iEnabled)
    : QTimer(iContainer), Control(this, nullptr, iContainer, iName, "Timer", false), mEnabled(iEnabled) {
    QTimer::setInterval(iInterval);
    connect(this, &QTimer::timeout, this, [this] { fire(); });
    apply();
}

TimerControl::~TimerControl() { stop(); }

void TimerControl::setInterval(int32_t iInterval) {
    QTimer::setInterval(iInterval);
    apply();
}

void TimerControl::setEnabled(bool iEnabled) {
    mEnabled = iEnabled;
    apply();
}

void TimerControl::stop() {
    QTimer::stop();
    if (mVirtualId != 0) vclock::removeTimer(mVirtualId);
    mVirtualId = 0;
}

void TimerControl::fire() { raiseEvent("Timer", Timer); }

void TimerControl::apply() {
    // Setting the interval or enabling again starts the count afresh, as a real timer does.
    stop();
    if (!mEnabled || interval() <= 0) return;
    if (vclock::isVirtual()) mVirtualId = vclock::addTimer(interval(), [this] { fire(); });
    else start();
}
