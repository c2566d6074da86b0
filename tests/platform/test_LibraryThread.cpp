// The thread that makes the sound library's calls: a call stuck on a stalled
// sound server is given up on after the deadline, and the calls made
// meanwhile are refused at once. Once the stuck call returns, the library is
// there again at once: the calls refused meanwhile that only asked for
// something (a stream opened for a caller who has long gone) are not run
// then, one after the other, while the station waits; releases still are.
#include "platform/sound/LibraryThread.h"
#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using sound::LibraryThread;

TEST(LibraryThread, CallsRefusedWhileOneWasStuckAreNotRunLaterButReleasesAre) {
    auto* t = new LibraryThread;   // never destroyed, as the station's
    std::promise<void> serverBack;
    std::shared_future<void> back = serverBack.get_future().share();
    EXPECT_FALSE(t->run([back] { back.wait(); }));   // given up on after the deadline
    EXPECT_TRUE(t->stuck());

    std::atomic<int> opened{0}, cleaned{0}, released{0};
    for (int i = 0; i < 200; ++i) {
        const auto asked = std::chrono::steady_clock::now();
        EXPECT_FALSE(t->run([&] { ++opened; }, [&] { ++cleaned; }, LibraryThread::Refused::Dropped));
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(100));
    }
    EXPECT_FALSE(t->run([&] { ++released; }));

    serverBack.set_value();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (t->stuck() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(t->stuck());
    EXPECT_TRUE(t->run([] {}));
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(cleaned, 0);
    EXPECT_EQ(released, 1);
}
