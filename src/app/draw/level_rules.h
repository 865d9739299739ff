// Who may win a level. A participant's group is the department in their name, the text in
// the full-width parentheses that end it (张三（销售部）, from the photo's name or from an
// imported list); without one they are in no group. Per level, peizhi.a may name the groups
// that may win it (特等奖参与部门 …) and the names that may not (特等奖不参与 …); both empty
// or missing, everybody may. Designated winners are not bound by the rules.
#pragma once

#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "services/text.h"

namespace ld::app {

struct LevelRule {
    std::set<Text> groups;    // empty: every group, and nobody without one
    std::set<Text> excluded;  // whole participant names, or names without their group
    bool active() const { return !groups.empty() || !excluded.empty(); }
    bool allows(std::string_view participant) const;
};

// The department of a participant name; empty when it has none.
Text GroupOf(std::string_view participant);
// The items of a list typed or pasted: separated by "," "，" "、", tabs or line ends, trimmed.
std::vector<Text> SplitRuleList(std::string_view text);
// The items joined with "、", as stored.
Text JoinRuleList(const std::set<Text>& items);

LevelRule ReadLevelRule(int level);
// Writes the level's two keys, each only when it is set now or was stored before; false
// when a write failed.
bool WriteLevelRule(int level, const LevelRule& rule);

// The rule of the level in the selector (none for no level).
LevelRule SelectedLevelRule();
// The names of `names` the rule allows, in order.
std::vector<Text> AllowedNames(const std::vector<Text>& names, const LevelRule& rule);
// The rule in one line for the console: "部门：A、B；不参与：3 人", "全部参与" when none.
Text RuleSummary(const LevelRule& rule);

// Tells the operator that nobody may win the level now.
void ShowNobodyEligibleMessage();

}  // namespace ld::app
