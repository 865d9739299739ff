// The verified draw's band on the Win32 stage: in the top right corner, over the stage's
// controls and a card that raised itself, under the full-screen check-in view.
#include "platform/win32/stage_seal.h"

#include <gtest/gtest.h>

#include "platform/win32/checkin_screen.h"
#include "services/text.h"

namespace ld::win {
namespace {

// Place among the stage's children from the top: 0 is nearest the audience.
int Depth(HWND stage, HWND child) {
    int depth = 0;
    for (HWND w = GetWindow(stage, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT), ++depth)
        if (w == child) return depth;
    return -1;
}

TEST(Win32StageSeal, LiesOverTheControlsAndUnderTheCheckinView) {
    HWND stage = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 800, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    // Wine without a display (the CTest run) makes no top-level windows.
    if (!stage) GTEST_SKIP() << "no top-level windows here";
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1000, 100,
                                  stage, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetStageSeal(stage, Gbk("名单指纹 1a2b 3c4d\r\n现场数字 123456 789012 345678"));
    HWND seal = FindWindowExW(stage, nullptr, L"LdStageSeal", nullptr);
    ASSERT_NE(seal, nullptr);
    RECT band;
    GetWindowRect(seal, &band);
    MapWindowPoints(nullptr, stage, reinterpret_cast<POINT*>(&band), 2);
    EXPECT_EQ(band.top, 0);
    EXPECT_EQ(band.right, 1000);
    EXPECT_GE(band.bottom - band.top, 2 * 18);  // two lines of 2.2 % of 800
    EXPECT_LT(Depth(stage, seal), Depth(stage, button));

    ShowCheckinScreen(stage, 96, CheckinScreenView{});
    SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // a card raised itself
    KeepStageSealOnTop(stage);
    HWND screen = GetWindow(stage, GW_CHILD);
    EXPECT_NE(screen, seal);
    EXPECT_LT(Depth(stage, seal), Depth(stage, button));
    EXPECT_EQ(Depth(stage, seal), 1);

    SetStageSeal(stage, Text());
    EXPECT_EQ(FindWindowExW(stage, nullptr, L"LdStageSeal", nullptr), nullptr);
    DestroyWindow(stage);
}

}  // namespace
}  // namespace ld::win
