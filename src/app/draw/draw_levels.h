// The prize table as the draw reads it from the settings panel, which is its live state:
// level names, winner counts and designated winners, and the level named by the selector.
// Also the few screen duties that the draw engine, the level selection and the forfeit
// share.
#pragma once

#include <optional>

#include "app/common/draw_files.h"
#include "app/common/draw_state.h"

namespace ld::app {

Text SelectorText();             // 组合框1
LevelTexts LevelNames();         // 编辑框_奖项1 … 8
Text LevelCountText(int level);  // 编辑框_奖项人数N
// The level the selector names: the first whose name equals its text.
std::optional<int> SelectedLevel();

// True when the level's doneMark equals the number in its count field.
bool LevelFoundComplete(const DrawState& state, int level);
// The first level named like the selector that was found complete, if any.
std::optional<int> CompleteLevelNamed(const DrawState& state, std::string_view selector);

struct DesignatedWinners {
    Text first, second, third;
};
// 编辑框_中奖人N, NN and NNN of a level; all empty for no level.
DesignatedWinners DesignatedWinnersOf(std::optional<int> level);
// Every designated-winner field in the order a start removes them from the pool: the first
// winners of levels 1 … 8, then the second, then the third.
std::vector<Text> AllDesignatedWinners();

// Per-level fields by level number 1 … 8.
int32_t& LevelField(std::array<int32_t, kLevelCount>& field, int level);

// Adds a line to the results and writes them: the recovery record first, so that a crash
// between the two writes leaves the line in the record, then the results file.
ResultsFile::Outcome RecordResultLine(std::string_view line);

// The recovery record of the draw as it stands (a join changed the pool), its failure told
// as below.
void SaveRecoveryRecord();

// Tells the operator, once until a write succeeds again, that the results file or the
// recovery record could not be written; the stage shows it in a corner as long as winners
// are missing from either.
void ReportResultsWrite(const ResultsFile::Outcome& outcome);
Text UnsavedResultsMarker();  // "中奖结果未保存"
Text RecordWarning();

// Gives the start/stop button the keyboard focus.
void FocusStartButton();

}  // namespace ld::app
