// The operator's desk: the stage on the screen that 舞台屏幕 names, a console on another
// screen with the draw's state and every command, and presenter clickers (翻页笔). With
// one screen and neither key set, nothing here changes the program.
#pragma once

#include "ui/gui.h"

namespace ld::app {

// Start-up, before the layout reads the screen's size: the stage goes to its screen, or to
// the primary screen with a word to the operator when that screen is missing.
void SetUpStageScreen();
// Start-up, once the stage stands: the console when it is wanted, the clicker keys.
void SetUpDesk();

void ChooseStageScreen();  // 活动工具 → 舞台显示器
bool ClickersOn();
void ToggleClickers();  // 活动工具 → 翻页笔, and the console's check box

// What the console shows now, and what its controls do.
ConsoleView CurrentConsoleView();
ConsoleActions DeskActions();

}  // namespace ld::app
