#include "app/tools/level_rules_window.h"

#include <algorithm>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/draw/draw_levels.h"
#include "app/draw/level_rules.h"
#include "services/host.h"

namespace ld::app {

namespace {

// The groups of the names still in the draw, in order of first appearance.
std::vector<Text> GroupsInPool() {
    std::vector<Text> groups;
    for (const Text& name : SplitPool(State().draw.poolText)) {
        Text group = GroupOf(name);
        if (!group.empty() && std::find(groups.begin(), groups.end(), group) == groups.end())
            groups.push_back(std::move(group));
    }
    return groups;
}

Dialogs::LevelRuleFields FieldsOf(const Text& name, const LevelRule& rule,
                                  const std::vector<Text>& poolGroups) {
    Dialogs::LevelRuleFields fields;
    fields.level = name;
    fields.groups = poolGroups;
    // A group of the rule that nobody in the draw has now stays, checked.
    for (const Text& group : rule.groups)
        if (std::find(poolGroups.begin(), poolGroups.end(), group) == poolGroups.end())
            fields.groups.push_back(group);
    for (const Text& group : fields.groups) fields.checked.push_back(rule.groups.contains(group));
    fields.excluded = JoinRuleList(rule.excluded);
    return fields;
}

LevelRule RuleOf(const Dialogs::LevelRuleFields& fields) {
    LevelRule rule;
    for (size_t i = 0; i < fields.groups.size() && i < fields.checked.size(); ++i)
        if (fields.checked[i]) rule.groups.insert(fields.groups[i]);
    for (Text& name : SplitRuleList(fields.excluded)) rule.excluded.insert(std::move(name));
    return rule;
}

}  // namespace

void EditLevelRules() {
    const Text caption = Gbk("奖项规则");
    const LevelTexts names = LevelNames();
    const std::vector<Text> poolGroups = GroupsInPool();
    std::vector<int> levels;
    std::vector<Dialogs::LevelRuleFields> fields;
    for (int level = 1; level <= kLevelCount; ++level) {
        const Text& name = names[static_cast<size_t>(level - 1)];
        if (name.empty()) continue;
        levels.push_back(level);
        fields.push_back(FieldsOf(name, ReadLevelRule(level), poolGroups));
    }
    if (fields.empty()) {
        host().dialogs->showMessage(Gbk("还没有设置奖项名称，请先在奖项设置中填写奖项。"), msg::kOk,
                                    caption);
        return;
    }
    const Text note =
        Gbk("勾选可以中该奖项的部门（都不勾选：所有人都可以中奖）；"
            "不参与的名单用逗号、顿号或换行分隔。指定的中奖人不受规则限制。");
    if (!host().dialogs->levelRulesForm(caption, note, fields)) return;
    bool written = true;
    for (size_t i = 0; i < fields.size(); ++i)
        written = WriteLevelRule(levels[i], RuleOf(fields[i])) && written;
    if (!written) {
        host().dialogs->showMessage(
            Gbk("奖项规则没有保存：无法写入配置文件\r\n") + ConfigStore::path(), msg::kIconStop,
            caption);
    }
}

}  // namespace ld::app
