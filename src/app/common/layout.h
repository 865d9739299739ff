// Layout operations that several commands share: the prize picture's frame and the two
// window modes.
#pragma once

namespace ld::app {

// Lays the four bars around 图片框_奖品. Move framing (start-up, level selection, a move
// of the box) puts the left and top bars on its edges; resize framing (after a bar drag)
// puts them one pixel outside. The prize name follows, above the picture.
enum class Framing { Move, Resize };
void FramePrizeBox(Framing framing);

// Shows or hides 图片框_奖品, its four bars and 透明标签_奖品名称 together.
void ShowPrizeArea(bool visible);

// Full screen: border 0, at 0,0 with the screen's size, 全屏 checked, 窗口 unchecked,
// 界面大小 = 全屏. Window: border 1, position and size kept, 窗口 checked, 界面大小 = 窗口.
void ApplyFullScreenMode();
void ApplyWindowedMode();

}  // namespace ld::app
