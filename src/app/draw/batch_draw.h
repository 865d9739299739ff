// Batch draws: a level whose per-draw count (每次人数) is above 1 draws that many winners at
// one stop, shown together as a grid of tiles in the photo's place. A level that draws one
// at a time never comes here.
#pragma once

#include <vector>

#include "app/common/draw_state.h"

namespace ld::app {

constexpr int kMaxPerDraw = 50;

// The level's winners per stop as stored: missing, empty or not a whole number is 1, and
// the count is kept within 1 … 50.
int PerDrawCount(int level);
int ParsePerDrawCount(std::string_view text);

// The tiles of a stop now: the selected level's per-draw count, at most the winners still to
// draw in the level and the names in the roll. 1 means the single photo.
int BatchTiles(const DrawState& state);

// At a start: the grid with its tiles when the level draws a batch, else no grid.
void StartBatchRoll();
// At a tick: every tile changes to a ready preview. False when no grid rolls.
bool RollBatchTiles();
// Shows the winners of a stop, in tile order, with the congratulation line.
void ShowBatchWinners(const std::vector<Text>& winners, const Text& congratulation);
bool BatchGridShown();
// Hides the grid (a forfeit, another level, a single stop); the check-in panel comes back.
void HideBatchGrid();

// 活动工具 → 每次抽取人数: the named levels' per-draw counts, saved in peizhi.a.
void EditPerDrawCounts();

}  // namespace ld::app
