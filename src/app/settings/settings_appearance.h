// The dress of the draw screen: the two titles and the fonts and colours of four text
// elements. Each command changes the screen and writes its keys at once.
#pragma once

#include "ui/control.h"

namespace ld::app {

// Menu 更换主标题 / 更换副标题.
void ChangeMainTitle(Control& sender, EventArgs& args);
void ChangeSubtitle(Control& sender, EventArgs& args);

// Menu 字体颜色设置 › 主标题, 副标题, 滚动抽取 (hidden), 抽奖结果.
void MainTitleFont(Control& sender, EventArgs& args);
void SubtitleFont(Control& sender, EventArgs& args);
void WinnerFont(Control& sender, EventArgs& args);
void ResultFont(Control& sender, EventArgs& args);

}  // namespace ld::app
