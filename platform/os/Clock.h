#pragma once
#include <QDateTime>
#include <cstdint>

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
void advance(int64_t iMs);
// Virtual milliseconds one poll step costs.
constexpr int64_t kPollStepMs = 5;
}
