#pragma once
#include <QDateTime>
#include <cstdint>
#include <functional>

// The station's one clock: the tick count its timeouts and delays use, the time
// of day, and the two kinds of waiting (a busy wait that runs no window events,
// and the poll step that lets them run). With the simulated jig the clock is
// virtual: it stands still until the station waits, so a long sweep costs
// milliseconds in a test.
namespace vclock {
int64_t ticks();                 // milliseconds, monotonic, 64-bit
int32_t tickCount();             // the same as a signed 32-bit count that wraps
QDateTime now();                 // local date and time
double nowDays();                // now as days since 1899-12-30

void busyWaitUntil(int64_t iTick);   // no window events run meanwhile
void busyWait(int64_t iMs);
void poll();                     // let queued window events run once

// Virtual time (tests, the jig).
bool isVirtual();
void setVirtual(const QDateTime& iStart, int64_t iStartTick = 1000000);
void setReal();
// Moves virtual time on; timers due meanwhile tick at their times, in order.
void advance(int64_t iMs);
// Virtual milliseconds one poll step costs.
constexpr int64_t kPollStepMs = 5;

// Timers on virtual time: a timer ticks every iIntervalMs when the clock
// advances or polls past its due time, on the calling (user-interface) thread,
// as a real timer ticks between window events. A busy wait runs no ticks; the
// next poll runs one tick for all the ones missed. Ids are never 0.
int addTimer(int64_t iIntervalMs, std::function<void()> iTick);
void removeTimer(int iId);
}
