// Layout editing on the draw screen: Ctrl + drag moves of the ten display elements, the
// prize picture resized by its frame bars, the window modes, the two immediate check boxes
// of the settings panel, and the panel's own drag and close mark.
#pragma once

#include "ui/control.h"

namespace ld::app {

// Left press on a movable element; only a press with exactly Ctrl moves it.
void MoveElement(Control& sender, EventArgs& args);
// A frame bar of 图片框_奖品 was dragged from args.oldPos to args.newPos.
void ResizePrizeFromBar(Control& sender, EventArgs& args);

// Menu 界面大小 › 窗口 / 全屏.
void WindowedMode(Control& sender, EventArgs& args);
void FullScreenMode(Control& sender, EventArgs& args);

// Check boxes 选择框_不显示按钮 and 选择框_禁用特效 (raised after the check has flipped).
void ToggleHideButton(Control& sender, EventArgs& args);
void ToggleEffects(Control& sender, EventArgs& args);

// 外形框1 follows the mouse (any modifiers); the close mark 标签8 hides it.
void DragSettingsPanel(Control& sender, EventArgs& args);
void HideSettingsPanel(Control& sender, EventArgs& args);

}  // namespace ld::app
