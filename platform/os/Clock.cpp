#include "platform/os/Clock.h"
#include "platform/vb/DateTime.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

namespace {
struct VirtualState {
    bool on = false;
    int64_t tick = 0;
    int64_t startTick = 0;
    QDateTime start;
};
VirtualState& vstate() { static VirtualState s; return s; }

struct VirtualTimer {
    int64_t interval = 0;
    int64_t due = 0;
    bool ticking = false;   // its tick is running: no second one inside it
    std::function<void()> tick;
};
std::map<int, VirtualTimer>& vtimers() { static std::map<int, VirtualTimer> t; return t; }

// Runs the ticks due up to iTarget in time order, the clock standing at each
// tick's time while it runs, then leaves the clock at iTarget. A timer that
// fell behind (a busy wait) ticks once and starts its interval afresh.
void runTimersUntil(int64_t iTarget) {
    VirtualState& v = vstate();
    for (;;) {
        int id = 0;
        int64_t due = 0;
        for (const auto& [key, t] : vtimers())
            if (!t.ticking && t.due <= iTarget && (id == 0 || t.due < due)) { id = key; due = t.due; }
        if (id == 0) break;
        VirtualTimer& t = vtimers()[id];
        if (due > v.tick) v.tick = due;
        t.due = t.due + t.interval <= v.tick ? v.tick + t.interval : t.due + t.interval;
        t.ticking = true;
        const std::function<void()> tick = t.tick;   // the tick may remove its timer
        tick();
        const auto it = vtimers().find(id);
        if (it != vtimers().end()) it->second.ticking = false;
    }
    if (iTarget > v.tick) v.tick = iTarget;
}

const QElapsedTimer& monotonic() {
    static QElapsedTimer t = [] { QElapsedTimer e; e.start(); return e; }();
    return t;
}
}

namespace vclock {
int64_t ticks() {
    if (vstate().on) return vstate().tick;
    // Offset so that the count is never small right after start.
    return monotonic().elapsed() + 1000000;
}

int32_t tickCount() { return static_cast<int32_t>(static_cast<uint32_t>(ticks())); }

QDateTime now() {
    if (vstate().on) return vstate().start.addMSecs(vstate().tick - vstate().startTick);
    return QDateTime::currentDateTime();
}

double nowDays() { return vbDateFromDateTime(now()); }

void busyWaitUntil(int64_t iTick) {
    if (vstate().on) {
        if (iTick > vstate().tick) vstate().tick = iTick;
        return;
    }
    // Sleep rather than spin: the result is the same, the machine stays cool.
    for (int64_t left = iTick - ticks(); left > 0; left = iTick - ticks())
        std::this_thread::sleep_for(std::chrono::milliseconds(left > 2 ? left - 1 : 1));
}

void busyWait(int64_t iMs) { busyWaitUntil(ticks() + iMs); }

void poll() {
    if (vstate().on) runTimersUntil(vstate().tick + kPollStepMs);
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    // A poll loop on the real clock must not spin a core at full load.
    if (!vstate().on) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool isVirtual() { return vstate().on; }

void setVirtual(const QDateTime& iStart, int64_t iStartTick) {
    vstate() = VirtualState{true, iStartTick, iStartTick, iStart};
    for (auto& [id, t] : vtimers()) t.due = iStartTick + t.interval;
}

void setReal() { vstate().on = false; }

void advance(int64_t iMs) {
    if (vstate().on) runTimersUntil(vstate().tick + iMs);
}

int addTimer(int64_t iIntervalMs, std::function<void()> iTick) {
    static int sLastId = 0;
    const int id = ++sLastId;
    vtimers()[id] = VirtualTimer{std::max<int64_t>(iIntervalMs, 1), vstate().tick + std::max<int64_t>(iIntervalMs, 1),
                                 false, std::move(iTick)};
    return id;
}

void removeTimer(int iId) { vtimers().erase(iId); }
}
