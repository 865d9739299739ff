// The program's loop on Qt's: waits that keep timers running, posted work, modal loops that
// end when their window goes.
#include <QTimer>

#include "qt_stage.h"

namespace ld::qt::test {
namespace {

class EventLoopTest : public QtStageTest {};

TEST_F(EventLoopTest, WaitProcessingLastsItsTimeAndKeepsTimersTicking) {
    int ticks = 0;
    EventLoop::TimerId id = loop.startTimer(10, [&] { ++ticks; });
    const int64_t start = loop.tickCount();
    loop.waitProcessing(120);
    EXPECT_GE(loop.tickCount() - start, 120);
    EXPECT_GE(ticks, 3);  // a lower bound only: a slow machine may tick less often
    loop.stopTimer(id);
    loop.waitProcessing(0);  // returns at once
}

TEST_F(EventLoopTest, ATickMayStopItsOwnTimer) {
    int ticks = 0;
    EventLoop::TimerId id = 0;
    id = loop.startTimer(1, [&] {
        ++ticks;
        loop.stopTimer(id);
    });
    loop.waitProcessing(40);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(loop.runningTimers(), 0u);
}

TEST_F(EventLoopTest, PostedWorkRunsAfterTheCurrentHandlerInOrder) {
    std::vector<int> order;
    loop.post([&] { order.push_back(1); });
    loop.post([&] { order.push_back(2); });
    order.push_back(0);
    loop.runUntil([&] { return order.size() == 3; });
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST_F(EventLoopTest, AModalWindowBlocksTheOthersUntilItIsClosed) {
    define("Main", [](Window&) {});
    define("Password", [](Window&) {});
    load("Main");
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            // Inside the modal loop, as the password window's button would.
            wasModal = stage(*manager.find("Password")).isModal();
            manager.closeWindow("Password");
        });
        manager.loadWindow("Password", nullptr, true);
    });
    // The program's own loop: ends when every window has gone.
    QTimer::singleShot(0, [&] { QTimer::singleShot(0, [&] { manager.closeWindow("Main"); }); });
    loop.runUntil([&] { return manager.loadedCount() == 0 && wasModal; });
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(manager.find("Password"), nullptr);
}

TEST_F(EventLoopTest, ClosingTheWindowAsksItsMayCloseHandler) {
    int asked = 0;
    bool allow = false;
    define("Main", [&](Window& w) {
        w.self().bind(ev::kMayClose, [&](Control&, EventArgs& e) {
            ++asked;
            e.allow = allow;
        });
    });
    Window& w = load("Main");
    stage(w).close();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(manager.isLoaded("Main"));  // the handler said no
    allow = true;
    stage(w).close();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(manager.isLoaded("Main"));
}

}  // namespace
}  // namespace ld::qt::test
