// The reset for a new event: progress and results erased (the results kept in history/
// first), layout, fonts and switches back to their defaults, the background moved aside,
// the prize table and the titles kept, and the program started afresh. No exit question.
#pragma once

#include "services/text.h"

namespace ld::app {

// Does nothing unless the operator confirms. Ends the program once the reset is done;
// returns when it was cancelled or could not be done, the operator having been told.
void RunReset();

// The texts of the reset (GBK).
Text ResetQuestion();
Text ResetDoneNotice();  // 初始化完毕，抽奖系统将重新启动！
Text BackupFailure();    // 无法备份抽奖结果，初始化已取消！

}  // namespace ld::app
