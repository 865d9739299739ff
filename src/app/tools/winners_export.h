// 活动工具 → 导出中奖名单 (and the console's button): 中奖名单.xlsx, 中奖名单.csv and
// 中奖名单.pdf beside the program, made from the winners file, then the folder is opened.
#pragma once

namespace ld::app {

void ExportWinnersCommand();

}  // namespace ld::app
