// 活动工具: the second pop-up menu (Ctrl + right press on the stage) with the commands that
// go beyond the draw itself. The specified pop-up menu stays as it is.
#pragma once

#include "ui/window.h"

namespace ld::app {

void RunEventToolsMenu(Window& stage);

}  // namespace ld::app
