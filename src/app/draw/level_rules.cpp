#include "app/draw/level_rules.h"

#include "app/common/config_keys.h"
#include "app/draw/draw_levels.h"
#include "services/host.h"

namespace ld::app {

namespace {

// Byte length of the GBK character at `at` (a lead byte starts a pair).
size_t CharLength(std::string_view text, size_t at) {
    return static_cast<unsigned char>(text[at]) >= 0x81 && at + 1 < text.size() ? 2 : 1;
}

// Spaces, tabs and the full-width space (GBK A1 A1) at both ends.
std::string_view Trim(std::string_view s) {
    constexpr std::string_view wide = "\xA1\xA1";
    for (;;) {
        size_t last = 0;  // where the last character starts
        for (size_t at = 0; at < s.size(); at += CharLength(s, at)) last = at;
        if (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
            s.remove_prefix(1);
        } else if (s.starts_with(wide)) {
            s.remove_prefix(wide.size());
        } else if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
            s.remove_suffix(1);
        } else if (s.substr(last) == wide) {
            s.remove_suffix(wide.size());
        } else {
            return s;
        }
    }
}

const Text& Open() {
    static const Text open = Gbk("（");
    return open;
}
const Text& Close() {
    static const Text close = Gbk("）");
    return close;
}

// Where the group's brackets open in `participant` (张三（销售部） gives 4), or npos when the
// name ends in no group.
size_t GroupStart(std::string_view participant) {
    size_t lastOpen = std::string_view::npos, lastChar = std::string_view::npos;
    for (size_t at = 0; at < participant.size(); at += CharLength(participant, at)) {
        if (participant.substr(at).starts_with(Open())) lastOpen = at;
        lastChar = at;
    }
    if (lastOpen == std::string_view::npos || participant.substr(lastChar) != Close() ||
        lastOpen == 0)
        return std::string_view::npos;
    return lastOpen;
}

// The participant name without its group: 张三（ 销售部 ） gives 张三.
std::string_view WithoutGroup(std::string_view participant) {
    const size_t start = GroupStart(participant);
    if (start == std::string_view::npos || GroupOf(participant).empty()) return participant;
    return participant.substr(0, start);
}

}  // namespace

Text GroupOf(std::string_view participant) {
    const size_t start = GroupStart(participant);
    if (start == std::string_view::npos) return {};
    const size_t from = start + Open().size();
    return Text(Trim(participant.substr(from, participant.size() - Close().size() - from)));
}

bool LevelRule::allows(std::string_view participant) const {
    if (excluded.contains(Text(participant)) || excluded.contains(Text(WithoutGroup(participant))))
        return false;
    return groups.empty() || groups.contains(GroupOf(participant));
}

std::vector<Text> SplitRuleList(std::string_view text) {
    static const Text separators[] = {",", Gbk("，"), Gbk("、"), "\t", "\r", "\n", ";", Gbk("；")};
    std::vector<Text> items;
    size_t begin = 0;
    const auto take = [&](size_t end) {
        const std::string_view item = Trim(text.substr(begin, end - begin));
        if (!item.empty()) items.emplace_back(item);
    };
    for (size_t at = 0; at < text.size();) {
        size_t length = 0;
        for (const Text& separator : separators)
            if (text.substr(at).starts_with(separator)) length = separator.size();
        if (length > 0 && (length > 1 || CharLength(text, at) == 1)) {
            take(at);
            at += length;
            begin = at;
        } else {
            at += CharLength(text, at);
        }
    }
    take(text.size());
    return items;
}

Text JoinRuleList(const std::set<Text>& items) {
    Text joined;
    for (const Text& item : items) joined += (joined.empty() ? Text() : Gbk("、")) + item;
    return joined;
}

LevelRule ReadLevelRule(int level) {
    LevelRule rule;
    for (Text& group : SplitRuleList(ConfigStore::readText(keys::LevelGroups(level))))
        rule.groups.insert(std::move(group));
    for (Text& name : SplitRuleList(ConfigStore::readText(keys::LevelExcluded(level))))
        rule.excluded.insert(std::move(name));
    return rule;
}

bool WriteLevelRule(int level, const LevelRule& rule) {
    bool written = true;
    const auto write = [&](const ConfigKey& key, const std::set<Text>& items) {
        const Text value = JoinRuleList(items);
        if (value != ConfigStore::readText(key))
            written = ConfigStore::write(key, value) && written;
    };
    write(keys::LevelGroups(level), rule.groups);
    write(keys::LevelExcluded(level), rule.excluded);
    return written;
}

LevelRule SelectedLevelRule() {
    const std::optional<int> level = SelectedLevel();
    return level ? ReadLevelRule(*level) : LevelRule();
}

std::vector<Text> AllowedNames(const std::vector<Text>& names, const LevelRule& rule) {
    if (!rule.active()) return names;
    std::vector<Text> allowed;
    for (const Text& name : names)
        if (rule.allows(name)) allowed.push_back(name);
    return allowed;
}

Text RuleSummary(const LevelRule& rule) {
    if (!rule.active()) return Gbk("全部参与");
    Text summary;
    if (!rule.groups.empty()) summary = Gbk("部门：") + JoinRuleList(rule.groups);
    if (!rule.excluded.empty()) {
        if (!summary.empty()) summary += Gbk("；");
        summary +=
            Gbk("不参与：") + ToText(static_cast<int64_t>(rule.excluded.size())) + Gbk(" 人");
    }
    return summary;
}

void ShowNobodyEligibleMessage() {
    host().dialogs->showMessage(
        Gbk("本奖项没有可以中奖的人：奖项规则允许的人都已中奖或不在名单中。\r\n"
            "请在“奖项规则”中检查参与部门和不参与名单。"),
        msg::kIconStop, Gbk("奖项规则"));
}

}  // namespace ld::app
