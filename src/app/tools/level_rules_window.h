// 活动工具 → 奖项规则: who may win each named level, saved in peizhi.a (see level_rules.h).
#pragma once

namespace ld::app {

void EditLevelRules();

}  // namespace ld::app
