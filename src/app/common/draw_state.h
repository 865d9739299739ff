// Everything that changes while prizes are drawn, and the few operations that the draw
// engine, the level selection, the forfeit, start-up and exit share. Pure state: the
// engine mirrors the visible parts into the controls, draw_files.h writes the files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/common/config_keys.h"
#include "services/text.h"

namespace ld {

using LevelTexts = std::array<Text, kLevelCount>;  // one text per level, level 1 first

struct DrawState {
    int32_t currentIndex = 0;  // 1-based index into rollList of the latest random pick
    int32_t nextOrdinal = 1;   // ordinal the next winner of the current level receives
    int32_t levelLimit = 0;    // the current level's count + 1
    std::array<int32_t, kLevelCount> savedDrawn{};  // ordinal of each level's last winner
    std::array<int32_t, kLevelCount> doneMark{};    // count when last found complete

    Text poolText;                  // remaining participants, each name + CR LF
    std::vector<Text> rollList;     // the pool as split at the latest start
    Text pickedName;                // the latest random pick at a stop
    Text resultsText;               // the whole content of 抽奖结果.txt
    Text pickLogText;               // every pick of this run, each name + CR LF
    std::vector<Text> pickLogList;  // the same names as list items

    // levelLimit := truncate(number of the count text + 1).
    void setLevelLimit(std::string_view countText);
    // Removes the first line of the pool equal to `name` (see RemovePoolLine).
    bool removePoolLine(std::string_view name) { return RemovePoolLine(poolText, name); }
    // rollList := the pool split at CR LF.
    void splitPool();
    // The name at a 1-based index of rollList; empty outside it.
    Text rollName(int32_t index) const;
    void appendResult(std::string_view line) { resultsText += line; }
    // Adds a pick to the PickLog text and list.
    void logPick(std::string_view name);

    // Removes from `pool` the first line whose whole text equals `name`, with its CR LF
    // (a last line without one is matched as well). False when no line equals it.
    static bool RemovePoolLine(Text& pool, std::string_view name);
    // The same for every name of `names` in one pass over the pool: each takes out the first
    // line equal to it that is still there. Returns how many lines went.
    static size_t RemovePoolLines(Text& pool, const std::vector<Text>& names);
};

// The first level (1..8) whose name equals `text`, byte for byte.
std::optional<int> LevelOf(std::string_view text, const LevelTexts& levelNames);

// The pool split at CR LF; an empty piece after the last CR LF is not a name.
std::vector<Text> SplitPool(std::string_view pool);

// selector + " 已抽取" + number + "名"
Text ProgressText(std::string_view selector, int32_t number);
// The progress label is 11 pixels wide per byte of its text.
int32_t ProgressWidth(std::string_view text);

// name + "  ------  " + level + CR LF
Text WinnerLine(std::string_view name, std::string_view level);
// 24 spaces + "(上一个中奖人放弃)" + CR LF
Text ForfeitLine();
// A winner other than the last line's gave up: 24 spaces + "(中奖人 " + name + " 放弃 " +
// level + ")" + CR LF. It has no "  ------  ", so no reader takes it for a winner, and it
// names whom it takes back.
Text NamedForfeitLine(std::string_view name, std::string_view level);

}  // namespace ld
