// The full-screen check-in view (活动工具 → 签到大屏, and the console's menu): the code,
// the address, the count and the latest names over the whole stage, so that the back rows
// can scan. The same command or Escape closes it; a roll closes it too. While it is shown,
// Enter and the clickers on the stage draw nothing behind it.
#pragma once

namespace ld::app {

bool CheckinScreenShown();
// Opens check-in first when it is closed.
void ToggleCheckinScreen();
// Draws it again with the latest count and names, when shown.
void RefreshCheckinScreen();
void CloseCheckinScreen();

}  // namespace ld::app
