// Enter reaches the draw's hot key once per press however long it is held; the presenter
// clickers' keys do what Enter does only while they are switched on.
#include <gtest/gtest.h>

#include "platform/win32/event_loop.h"
#include "platform/win32/key_filter.h"
#include "ui/hotkeys.h"

namespace ld::win {
namespace {

class Win32HotKeys : public ::testing::Test {
protected:
    Win32HotKeys() : window(Gbk("Stage"), 0), target(window.add(ControlType::Label, Gbk("target"))) {
        target.bind(ev::kNotification, [this](Control&, EventArgs&) { ++draws; });
        hotKey = AddHotKey(window, target, 0, kVirtualKeyEnter);
        // Every window counts as ours: the test has none on a display.
        InstallKeyFilter(loop, [](HWND) { return true; });
    }
    ~Win32HotKeys() override {
        RemoveHotKeysOf(window);
        SetClickerKeys(false);
        ForgetHeldKeys();
    }

    // A key message as the system posts it; `repeat` sets the previous-state bit that marks
    // the auto-repeats of a held key.
    static MSG Key(UINT message, WPARAM vk, DWORD time, bool repeat = false) {
        MSG msg{};
        msg.message = message;
        msg.wParam = vk;
        msg.lParam = 1 | (repeat ? (1L << 30) : 0) | (message == WM_KEYUP ? (3L << 30) : 0);
        msg.time = time;
        return msg;
    }

    WinEventLoop loop;
    Window window;
    Control& target;
    int hotKey = 0, draws = 0;
};

TEST_F(Win32HotKeys, AHeldEnterCountsOnceAndTheNextPressAgain) {
    EXPECT_TRUE(FilterKeyMessage(Key(WM_KEYDOWN, VK_RETURN, 1000)));
    for (DWORD t = 1500; t < 3000; t += 33)  // the repeats, taken but not counted
        EXPECT_TRUE(FilterKeyMessage(Key(WM_KEYDOWN, VK_RETURN, t, true)));
    EXPECT_EQ(draws, 1);
    FilterKeyMessage(Key(WM_KEYUP, VK_RETURN, 3010));
    EXPECT_TRUE(FilterKeyMessage(Key(WM_KEYDOWN, VK_RETURN, 4000)));
    EXPECT_EQ(draws, 2);
}

TEST_F(Win32HotKeys, ClickerKeysDrawOnlyWhileSwitchedOn) {
    EXPECT_FALSE(FilterKeyMessage(Key(WM_KEYDOWN, VK_NEXT, 1000)));
    FilterKeyMessage(Key(WM_KEYUP, VK_NEXT, 1050));
    EXPECT_EQ(draws, 0);
    SetClickerKeys(true);
    for (WPARAM vk : {WPARAM{VK_NEXT}, WPARAM{VK_PRIOR}, WPARAM{'B'}}) {
        EXPECT_TRUE(FilterKeyMessage(Key(WM_KEYDOWN, vk, 2000)));
        FilterKeyMessage(Key(WM_KEYUP, vk, 2050));
    }
    EXPECT_EQ(draws, 3);
}

TEST_F(Win32HotKeys, KeysWithoutAHotKeyGoToTheWindow) {
    EXPECT_FALSE(FilterKeyMessage(Key(WM_KEYDOWN, 'X', 1000)));
    RemoveHotKey(window, hotKey);
    EXPECT_FALSE(FilterKeyMessage(Key(WM_KEYDOWN, VK_RETURN, 2000)));
    EXPECT_EQ(draws, 0);
}

}  // namespace
}  // namespace ld::win
