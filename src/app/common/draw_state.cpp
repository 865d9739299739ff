#include "app/common/draw_state.h"

#include <unordered_map>

namespace ld {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Calls `visit(start, length, end)` for each line of the pool: its text and the offset just
// past its CR LF. Lines are cut at the bytes CR LF themselves, not at characters: names
// are compared byte for byte, and a name whose last byte looks like the first half of a
// double-byte character must not swallow the line end after it. Stops when `visit`
// returns false.
template <typename Visit>
void ForEachLine(std::string_view pool, Visit visit) {
    size_t start = 0;
    while (start < pool.size()) {
        size_t at = pool.find(kLineEnd, start);
        size_t length = (at == std::string_view::npos ? pool.size() : at) - start;
        size_t end = at == std::string_view::npos ? pool.size() : at + kLineEnd.size();
        if (!visit(start, length, end)) return;
        start = end;
    }
}

}  // namespace

void DrawState::setLevelLimit(std::string_view countText) {
    levelLimit = SaturateToInt32(ToNumber(countText) + 1);
}

void DrawState::splitPool() { rollList = SplitPool(poolText); }

Text DrawState::rollName(int32_t index) const {
    if (index < 1 || static_cast<size_t>(index) > rollList.size()) return {};
    return rollList[static_cast<size_t>(index) - 1];
}

void DrawState::logPick(std::string_view name) {
    pickLogText.append(name).append(kLineEnd);
    pickLogList.emplace_back(name);
}

bool DrawState::RemovePoolLine(Text& pool, std::string_view name) {
    bool removed = false;
    std::string_view view(pool);
    ForEachLine(view, [&](size_t start, size_t length, size_t end) {
        if (view.substr(start, length) != name) return true;
        pool.erase(start, end - start);
        removed = true;
        return false;
    });
    return removed;
}

size_t DrawState::RemovePoolLines(Text& pool, const std::vector<Text>& names) {
    std::unordered_map<std::string_view, int> toRemove;
    for (const Text& name : names) ++toRemove[name];
    if (toRemove.empty()) return 0;
    size_t removed = 0;
    Text remaining;
    remaining.reserve(pool.size());
    const std::string_view view(pool);
    ForEachLine(view, [&](size_t start, size_t length, size_t end) {
        const auto found = toRemove.find(view.substr(start, length));
        if (found != toRemove.end() && found->second > 0) {
            --found->second;
            ++removed;
        } else {
            remaining.append(view.substr(start, end - start));
        }
        return true;
    });
    pool = std::move(remaining);
    return removed;
}

std::optional<int> LevelOf(std::string_view text, const LevelTexts& levelNames) {
    for (int level = 1; level <= kLevelCount; ++level) {
        if (levelNames[static_cast<size_t>(level - 1)] == text) return level;
    }
    return std::nullopt;
}

std::vector<Text> SplitPool(std::string_view pool) {
    std::vector<Text> names;
    ForEachLine(pool, [&](size_t start, size_t length, size_t) {
        names.emplace_back(pool.substr(start, length));
        return true;
    });
    return names;
}

Text ProgressText(std::string_view selector, int32_t number) {
    return Text(selector) + Gbk(" 已抽取") + ToText(number) + Gbk("名");
}

int32_t ProgressWidth(std::string_view text) {
    return SaturateToInt32(11.0 * static_cast<double>(text.size()));
}

Text WinnerLine(std::string_view name, std::string_view level) {
    return Text(name) + "  ------  " + Text(level) + "\r\n";
}

Text ForfeitLine() { return Text(24, ' ') + Gbk("(上一个中奖人放弃)") + "\r\n"; }

Text NamedForfeitLine(std::string_view name, std::string_view level) {
    return Text(24, ' ') + Gbk("(中奖人 ") + Text(name) + Gbk(" 放弃 ") + Text(level) + ")\r\n";
}

}  // namespace ld
