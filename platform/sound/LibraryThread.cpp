#include "platform/sound/LibraryThread.h"
#include <memory>
#include <thread>

namespace sound {
namespace {
struct CallState {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    bool abandoned = false;
};
}

LibraryThread::LibraryThread() {
    std::thread([this] {
        for (;;) {
            std::function<void()> work;
            {
                std::unique_lock lock(mMutex);
                mWake.wait(lock, [&] { return !mQueue.empty(); });
                work = std::move(mQueue.front());
                mQueue.pop_front();
            }
            work();
        }
    }).detach();
}

bool LibraryThread::run(std::function<void()> iWork, std::function<void()> iCleanup, Refused iRefused) {
    auto state = std::make_shared<CallState>();
    const bool behind = stuck();
    if (behind && iRefused == Refused::Dropped) return false;
    state->abandoned = behind;
    if (behind) mAbandoned.fetch_add(1, std::memory_order_acq_rel);
    {
        std::lock_guard lock(mMutex);
        mQueue.push_back([this, state, work = std::move(iWork), cleanup = std::move(iCleanup)] {
            work();
            std::lock_guard l(state->mutex);
            if (state->abandoned) {
                if (cleanup) cleanup();
                mAbandoned.fetch_sub(1, std::memory_order_acq_rel);
            } else {
                state->done = true;
                state->cv.notify_all();
            }
        });
    }
    mWake.notify_one();
    if (behind) return false;
    std::unique_lock l(state->mutex);
    if (state->cv.wait_for(l, kDeadline, [&] { return state->done; })) return true;
    state->abandoned = true;
    mAbandoned.fetch_add(1, std::memory_order_acq_rel);
    return false;
}

void LibraryThread::post(std::function<void()> iWork) {
    {
        std::lock_guard lock(mMutex);
        mQueue.push_back(std::move(iWork));
    }
    mWake.notify_one();
}

}
