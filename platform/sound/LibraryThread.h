#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

// A thread that makes the calls into a sound library that can block on the
// device or the sound server (a stalled server holds them for as long as it
// stays stalled). The user-interface thread waits for a call with a deadline
// and may give up on it: the call then goes on by itself, owning everything it
// uses (its closure), and later calls are queued behind it without being
// waited for until it has returned. Never destroyed: a call still stuck when
// the program ends must not hold up its end (create it with new).
namespace sound {

class LibraryThread {
public:
    // How long the user-interface thread waits for a call.
    static constexpr std::chrono::seconds kDeadline{4};

    LibraryThread();
    LibraryThread(const LibraryThread&) = delete;
    LibraryThread& operator=(const LibraryThread&) = delete;

    // What becomes of a call made while one given up on has not returned yet.
    enum class Refused {
        Queued,    // run once the thread is free: a release that must happen
        Dropped,   // not run at all: only its caller wanted its result, and has gone on
    };
    // Runs iWork there and waits for it. False when it did not finish within
    // the deadline (iCleanup then runs there after iWork, in place of the
    // caller taking its result), or at once when a call given up on before has
    // not returned yet (the call is then queued or dropped, as iRefused says:
    // calls queued behind a stuck one would keep the library from the station
    // long after the sound server answers again).
    bool run(std::function<void()> iWork, std::function<void()> iCleanup = {}, Refused iRefused = Refused::Queued);
    // Runs iWork there without waiting for it.
    void post(std::function<void()> iWork);
    // A call given up on has not returned yet.
    bool stuck() const { return mAbandoned.load(std::memory_order_acquire) > 0; }

private:
    std::mutex mMutex;
    std::condition_variable mWake;
    std::deque<std::function<void()>> mQueue;
    std::atomic<int> mAbandoned{0};
};

}
