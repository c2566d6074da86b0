#pragma once
#include "platform/ui/Control.h"
#include <QTimer>

// A window's timer (kind "Timer"): Timer runs every Interval milliseconds while
// Enabled; an Interval of 0 stops it. The window stops its timers when it
// unloads. On the virtual clock it ticks from the clock's advance and poll, so
// a test moves time on and reads the result without waiting.
class TimerControl : public QTimer, public Control {
    Q_OBJECT
public:
    TimerControl(QWidget* iContainer, const QString& iName, int32_t iInterval = 0, bool iEnabled = true);
    ~TimerControl() override;

    int32_t Interval() const { return interval(); }
    void setInterval(int32_t iInterval);
    bool Enabled() const override { return mEnabled; }
    void setEnabled(bool iEnabled);
    // Whether it is counting now (enabled, an interval, and not stopped).
    bool running() const { return isActive() || mVirtualId != 0; }
    // Stops it until it is enabled or given an interval again (the window's
    // unload); hides QTimer's so that a virtual count stops too.
    void stop();

    std::function<void()> Timer;

private:
    void apply();
    void fire();
    bool mEnabled;
    int mVirtualId = 0;
};
