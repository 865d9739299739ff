// 活动工具: the second pop-up menu (Ctrl + right press on the stage) with the commands that
// go beyond the draw itself. The stage's own pop-up menu stays as it is.
#pragma once

#include <vector>

#include "ui/gui.h"
#include "ui/window.h"

namespace ld::app {

void RunEventToolsMenu(Window& stage);
// The menu's entries as it would open now, and the command of one of them run.
std::vector<PopupEntry> EventToolEntries();
bool RunEventTool(int command);

}  // namespace ld::app
