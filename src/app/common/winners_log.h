// 中奖记录.csv: every recorded winner and every forfeit, appended at once, UTF-8 with a
// BOM (a spreadsheet opens it), the whole file rewritten atomically like the results file.
// It follows the results file's life: a fresh run keeps the old file in history/ and starts
// anew at its first stop, a resumed run appends, the reset keeps it in history/ and deletes
// it, and the recovery after a crash brings it level with the results. The exports are made
// from it; 抽奖结果.txt stays as it is.
#pragma once

#include <optional>
#include <vector>

#include "app/common/draw_state.h"
#include "services/text.h"
#include "ui/gui.h"

namespace ld::app {

// The winners of one stop, in order, of the level, each with its ordinal; `rollSize` is the
// number of names the stop drew from. Kept in memory (the recovery record takes them along)
// until SaveWinnersLog writes the file. Returns their entries in this run's list.
std::vector<size_t> LogWinners(const std::vector<Text>& names, const Text& level,
                               const std::vector<int32_t>& ordinals, size_t rollSize);
// The winner of `ordinal` of the level was taken back; `runEntry` is their entry in this
// run's list, when they won in this run.
void LogForfeit(const Text& level, int32_t ordinal, const Text& name,
                std::optional<size_t> runEntry);
// This run's latest entry of the name in the level that is not given up.
std::optional<size_t> LatestRunEntry(const Text& level, const Text& name);
// Writes the file; a failure is told once until a write succeeds again.
void SaveWinnersLog();
// True from a failed write until one succeeds: winners are missing from the file.
bool WinnersLogUnsaved();

// A resumed run appends to the file as it is; a recovered one continues from `text` (the
// file's bytes as the recovery record kept them), written back when the file differs.
void ContinueWinnersLog();
void RecoverWinnersLog(const Bytes& text);
// The places given up and not drawn again, per level, from the file as continued: a resumed
// or recovered run draws them again with their own ordinals.
void RestoreFreedPlaces(const LevelTexts& levels);
// The file's bytes as this run wrote them, for the recovery record; empty before its first
// write in a fresh run.
Bytes WinnersLogText();

// This run's winners for the console: their entries, stops newest first, a batch in tile
// order.
std::vector<size_t> RunEntriesNewestFirst();
const ConsoleWinner& RunEntry(size_t entry);

Text WinnersLogName();  // 中奖记录.csv
// Copies the file to history/中奖记录-YYYYMMDD-HHMMSS.csv: the copy's path, empty when there
// was nothing to keep, nullopt when the copy failed.
std::optional<Text> KeepWinnersLogInHistory();

}  // namespace ld::app
