#include "platform/os/Clock.h"
#include "platform/vb/DateTime.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <thread>

namespace {
struct VirtualState {
    bool on = false;
    int64_t tick = 0;
    int64_t startTick = 0;
    QDateTime start;
};
VirtualState& vstate() { static VirtualState s; return s; }

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
    if (vstate().on) vstate().tick += kPollStepMs;
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    // A poll loop on the real clock must not spin a core at full load.
    if (!vstate().on) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool isVirtual() { return vstate().on; }

void setVirtual(const QDateTime& iStart, int64_t iStartTick) {
    vstate() = VirtualState{true, iStartTick, iStartTick, iStart};
}

void setReal() { vstate().on = false; }

void advance(int64_t iMs) { if (vstate().on) vstate().tick += iMs; }
}
