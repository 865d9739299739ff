// The full-screen check-in view has Escape while shown; closed, it gives the stage's focus
// back where it was.
#include "platform/win32/checkin_screen.h"

#include <gtest/gtest.h>

namespace ld::win {
namespace {

TEST(Win32CheckinScreen, TakesEscapeAndGivesTheFocusBack) {
    HWND stage = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                                 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Wine without a display (the CTest run) makes no top-level windows.
    if (!stage) GTEST_SKIP() << "no top-level windows here";
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, stage,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFocus(button);
    ASSERT_EQ(GetFocus(), button);
    int escapes = 0;
    CheckinScreenView view;
    view.escape = [&] {
        ++escapes;
        HideCheckinScreen(stage);
    };
    ShowCheckinScreen(stage, 96, view);
    HWND screen = GetFocus();
    ASSERT_NE(screen, button);
    ASSERT_EQ(GetParent(screen), stage);
    SendMessageW(screen, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(escapes, 1);
    EXPECT_FALSE(IsWindowVisible(screen));
    EXPECT_EQ(GetFocus(), button);
    DestroyWindow(stage);
}

}  // namespace
}  // namespace ld::win
