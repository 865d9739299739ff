// The operator's console: it shows the application's state as asked for, and at the console
// Enter (and the clickers' keys while they are on) presses the start/stop button once per
// press, while Page Down and Page Up never reach the level selector.
#include <gtest/gtest.h>

#include "platform/win32/console_window.h"
#include "services/text.h"

namespace ld::win {
namespace {

MSG KeyDown(WPARAM vk, bool repeat = false) {
    MSG msg{};
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1 | (repeat ? (1L << 30) : 0);
    return msg;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    return text;
}

TEST(Win32Console, ShowsTheStateAndItsKeysPressTheButtonOncePerPress) {
    int starts = 0;
    ConsoleActions actions;
    actions.view = [&] {
        ConsoleView v;
        v.levels = {{Gbk("特等奖"), 1, 3}};
        v.selectedLevel = 0;
        v.buttonCaption = Gbk(starts % 2 ? "停止抽奖" : "开始抽奖");
        v.poolSize = 40;
        return v;
    };
    actions.startOrStop = [&] { ++starts; };
    auto* console = new ConsoleWindow;
    if (!console->hwnd()) {
        delete console;
        // Wine without a display (the CTest run) makes no top-level windows.
        GTEST_SKIP() << "no top-level windows here";
    }
    console->open(actions, MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    HWND button = GetDlgItem(console->hwnd(), ConsoleWindow::kStartStop);
    EXPECT_EQ(TextOf(button), L"\u5f00\u59cb\u62bd\u5956");  // 开始抽奖

    EXPECT_TRUE(console->takeKey(KeyDown(VK_RETURN)));
    EXPECT_TRUE(console->takeKey(KeyDown(VK_RETURN, true)));  // held: a repeat
    EXPECT_EQ(starts, 1);
    // The button follows at once, not only at the next refresh.
    EXPECT_EQ(TextOf(button), L"\u505c\u6b62\u62bd\u5956");  // 停止抽奖

    // Page keys are taken and do nothing, until the clickers are on.
    EXPECT_TRUE(console->takeKey(KeyDown(VK_NEXT)));
    EXPECT_FALSE(console->takeKey(KeyDown('B')));
    EXPECT_EQ(starts, 1);
    SetConsoleClickerKeys(true);
    EXPECT_TRUE(console->takeKey(KeyDown(VK_NEXT)));
    EXPECT_TRUE(console->takeKey(KeyDown('B')));
    EXPECT_EQ(starts, 3);
    SetConsoleClickerKeys(false);
    DestroyWindow(console->hwnd());  // the window takes its object with it
}

}  // namespace
}  // namespace ld::win
