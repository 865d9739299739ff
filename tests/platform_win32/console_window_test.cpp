// The operator's console: it shows the application's state as asked for, and at the console
// Enter (and the clickers' keys while they are on) presses the start/stop button once per
// press, while Page Down and Page Up never reach the level selector; its menu bar is built
// as it opens.
#include <gtest/gtest.h>

#include <vector>

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

PopupEntry Item(const char* caption, int command) {
    PopupEntry entry;
    entry.caption = Gbk(caption);
    entry.command = command;
    return entry;
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
        ConsoleLevel level;
        level.name = Gbk("特等奖");
        level.drawn = 1;
        level.total = 3;
        v.levels = {level};
        v.selectedLevel = 0;
        v.buttonCaption = Gbk(starts % 2 ? "停止抽奖" : "开始抽奖");
        v.poolSize = 40;
        PopupEntry fonts = Item("字体", 0);
        fonts.submenu = {Item("大", 20011), Item("小", 20012)};
        v.stageMenu = {Item("全屏", 20010), fonts};
        v.tools = {Item("手机签到", 20020)};
        return v;
    };
    actions.startOrStop = [&] { ++starts; };
    std::vector<int> commands;
    actions.runCommand = [&](int command) { commands.push_back(command); };
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

    // The menu bar holds the stage's menu and 活动工具 as they are when opened; a command runs
    // once the menu has closed.
    HMENU bar = GetMenu(console->hwnd());
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    for (int twice = 0; twice < 2; ++twice)  // opened again: built anew, not added to
        SendMessageW(console->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, 0)), 0);
    SendMessageW(console->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, 1)), 1);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetSubMenu(bar, 0), 1)), 2);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), 20020u);
    SendMessageW(console->hwnd(), WM_COMMAND, 20012, 0);
    EXPECT_TRUE(commands.empty());
    MSG msg;
    while (PeekMessageW(&msg, console->hwnd(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(commands, std::vector<int>{20012});
    DestroyWindow(console->hwnd());  // the window takes its object with it
}

}  // namespace
}  // namespace ld::win
