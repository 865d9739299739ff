#include "framework/window_manager.h"

#include <gtest/gtest.h>

#include "support/test_host.h"

namespace ld {
namespace {

// A small program of two windows: a stage with a timer, and a modal dialog.
std::unique_ptr<Window> MakeWindow(std::string_view name, std::vector<Text>* log) {
    if (name == "Stage") {
        auto w = std::make_unique<Window>("Stage", 0);
        Control& timer = w->add(ControlType::Timer, "timer");
        timer.bind(ev::kTick, [log](Control&, EventArgs&) { log->push_back("tick"); });
        w->self().bind(ev::kCreated, [log, raw = w.get()](Control&, EventArgs&) {
            log->push_back("created with " + std::to_string(raw->controls().size()));
        });
        return w;
    }
    if (name == "Dialog") return std::make_unique<Window>("Dialog", 1);
    return nullptr;
}

class WindowManagerTest : public ::testing::Test {
protected:
    test::TestHost host;
    std::vector<Text> log;
    WindowManager manager{[this](std::string_view n) { return MakeWindow(n, &log); }};
    void SetUp() override { setWindowManager(&manager); }
    void TearDown() override { setWindowManager(nullptr); }
};

TEST_F(WindowManagerTest, CreatedEventComesOnceAllControlsExist) {
    EXPECT_TRUE(manager.loadWindow("Stage"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "created with 1");
    EXPECT_FALSE(manager.loadWindow("Nowhere"));
    EXPECT_EQ(host.gui.loaded, std::vector<Text>{"Stage"});
}

TEST_F(WindowManagerTest, TimersTickOnTheClockAndStopAtZeroOrLess) {
    manager.loadWindow("Stage");
    Control& timer = manager.window("Stage").control("timer");
    host.loop.advance(1000);
    EXPECT_EQ(log.size(), 1u);  // a timer starts stopped
    timer.setInt(prop::kInterval, 30);
    host.loop.advance(95);
    EXPECT_EQ(log.size(), 4u);
    timer.setInt(prop::kInterval, -5);
    host.loop.advance(100);
    EXPECT_EQ(log.size(), 4u);
    timer.setInt(prop::kInterval, 200);
    host.loop.waitProcessing(400);  // ticks go on inside the wait
    EXPECT_EQ(log.size(), 6u);
}

TEST_F(WindowManagerTest, ClosingIsPostedAndStopsTheWindowsTimers) {
    manager.loadWindow("Stage");
    manager.loadWindow("Dialog");
    EXPECT_EQ(manager.loadedCount(), 2u);  // two windows at once
    manager.window("Stage").control("timer").setInt(prop::kInterval, 10);
    manager.closeWindow("Stage");
    EXPECT_TRUE(manager.isLoaded("Stage"));  // until the current handler returns
    host.loop.runPosted();
    EXPECT_FALSE(manager.isLoaded("Stage"));
    EXPECT_EQ(host.loop.runningTimers(), 0u);
}

TEST_F(WindowManagerTest, ModalWindowRunsItsLoopUntilClosed) {
    bool sawDialogOpen = false;
    host.loop.modalScripts.push_back([&] {
        sawDialogOpen = manager.isLoaded("Dialog");
        manager.closeWindow("Dialog");
    });
    EXPECT_TRUE(manager.loadWindow("Dialog", nullptr, true));
    EXPECT_TRUE(sawDialogOpen);
    EXPECT_FALSE(manager.isLoaded("Dialog"));
}

TEST_F(WindowManagerTest, TouchingAWindowThatIsNotLoadedIsFatal) {
    EXPECT_TRUE(test::CatchExit([&] { manager.window("Dialog"); }).has_value());
    EXPECT_EQ(host.dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace ld
