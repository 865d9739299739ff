// What the settings commands share: telling the operator, the panel's file dialog and the
// level number carried in a control's name.
#pragma once

#include <optional>
#include <string_view>

#include "services/text.h"

namespace ld::app {

// A modal message box; the caption defaults to the program's usual "信息：". GBK texts.
int Tell(const Text& text, int style = 0, const Text& caption = Gbk("信息："));

// The file dialog 通用对话框1 with `filter` ("description|pattern", GBK): its Filter is
// set before it opens and its FileName on OK. The chosen path, or nullopt when cancelled.
std::optional<Text> ChooseFileWithPanelDialog(const Text& filter);

// The level 1..8 written as one digit right after `utf8Prefix` in a GBK control name
// (按钮_奖项3浏览 → 3); 0 when the name does not have one there.
int LevelDigitAfter(const Text& name, std::string_view utf8Prefix);

}  // namespace ld::app
