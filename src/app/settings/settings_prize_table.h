// The prize table on the settings panel: prize pictures are installed and removed at once
// by their buttons; the save writes the table to peizhi.a, resizes the photo box and
// rebuilds the level selector.
#pragma once

#include "ui/control.h"

namespace ld::app {

// The "《" button of a level (按钮_奖项N浏览): copies a chosen picture to 奖品图片/N.jpg.
void ChoosePrizePicture(Control& sender, EventArgs& args);
// The "清除" button of a level (按钮_奖项N浏览1): deletes 奖品图片/N.jpg.
void ClearPrizePicture(Control& sender, EventArgs& args);
// 按钮_保存.
void SavePrizeTable(Control& sender, EventArgs& args);

}  // namespace ld::app
