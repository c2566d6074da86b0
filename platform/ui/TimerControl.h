#pragma once
#include "platform/ui/Control.h"
#include <QTimer>

// A window's timer (kind "Timer"): Timer runs every Interval milliseconds while
// Enabled; an Interval of 0 stops it. The window stops its timers when it
// unloads.
class TimerControl : public QTimer, public Control {
    Q_OBJECT
public:
    TimerControl(QWidget* iContainer, const QString& iName, int32_t iInterval = 0, bool iEnabled = true);

    int32_t Interval() const { return interval(); }
    void setInterval(int32_t iInterval);
    bool Enabled() const override { return mEnabled; }
    void setEnabled(bool iEnabled);

    std::function<void()> Timer;

private:
    void apply();
    bool mEnabled;
};
