// The Win32 event loop: work posted from another thread runs on the window thread, a timer
// may stop itself from its own tick, and a nested loop ends when its condition holds.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/event_loop.h"

namespace ld::win {
namespace {

TEST(Win32EventLoop, WorkPostedFromAnotherThreadRunsOnTheWindowThread) {
    WinEventLoop loop;
    const DWORD windowThread = GetCurrentThreadId();
    std::atomic<int> ran{0};
    DWORD ranOn = 0;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            loop.post([&] {
                ranOn = GetCurrentThreadId();
                ++ran;
            });
    });
    worker.join();
    loop.runUntil([&] { return ran == 100; });
    EXPECT_EQ(ran, 100);
    EXPECT_EQ(ranOn, windowThread);
}

TEST(Win32EventLoop, ATimerStoppedFromItsOwnTickTicksNoMore) {
    WinEventLoop loop;
    int ticks = 0;
    EventLoop::TimerId id = 0;
    id = loop.startTimer(5, [&] {
        ++ticks;
        loop.stopTimer(id);  // the tick's own function goes away while it runs
    });
    loop.runUntil([&] { return ticks > 0; });
    loop.waitProcessing(60);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(loop.runningTimers(), 0u);
}

TEST(Win32EventLoop, TheWaitLastsAtLeastItsTimeAndRunsTimersMeanwhile) {
    WinEventLoop loop;
    int ticks = 0;
    const EventLoop::TimerId id = loop.startTimer(10, [&] { ++ticks; });
    const int64_t start = loop.tickCount();
    loop.waitProcessing(120);
    EXPECT_GE(loop.tickCount() - start, 120);
    EXPECT_GT(ticks, 0);
    loop.stopTimer(id);
}

}  // namespace
}  // namespace ld::win
