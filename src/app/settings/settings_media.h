// The media of the data folder, reached from the pop-up menu: the background picture, the
// background music and its switch, the photo folder and the results file. Chosen files are
// copied in under their fixed names; the operator never types a path.
#pragma once

#include "ui/control.h"

namespace ld::app {

// 背景图控制 › 更换背景图 / 取消背景图.
void ChangeBackground(Control& sender, EventArgs& args);
void RemoveBackground(Control& sender, EventArgs& args);
// 背景音乐控制 › 更换背景音乐 / 启用背景音乐 / 禁用背景音乐.
void ChangeMusic(Control& sender, EventArgs& args);
void EnableMusic(Control& sender, EventArgs& args);
void DisableMusic(Control& sender, EventArgs& args);
// 设置抽奖照片数据: how to add photos, then the photo folder in the desktop's browser.
void PhotoFolderHelp(Control& sender, EventArgs& args);
// 查看抽奖结果: the results file with the desktop's text viewer.
void ShowResults(Control& sender, EventArgs& args);

}  // namespace ld::app
