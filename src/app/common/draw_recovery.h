// What keeps the draw whole through a crash or a power cut, in two hidden files of the data
// folder:
// - the recovery record, written after every recorded stop and forfeit: the state of the
//   draw after it, offered back at the next start when the program did not end cleanly;
// - the save journal: the exit save writes the counters of section jindu and 进度.txt as one
//   commit, its new contents put down here first, so that a start-up that finds the journal
//   finishes the save and the two files never disagree.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "app/common/draw_state.h"
#include "services/text.h"

namespace ld {

struct RecoveryRecord {
    Text level;  // the selector's text
    std::array<int32_t, kLevelCount> savedDrawn{};
    Text poolText;
    Text resultsText;
    Bytes winnersLog;  // 中奖记录.csv; empty when this run had not begun it
};

Bytes EncodeRecoveryRecord(const RecoveryRecord& record);
// nullopt for anything that is not a whole record (a hand-edited file).
std::optional<RecoveryRecord> DecodeRecoveryRecord(std::string_view bytes);

bool WriteRecoveryRecord(const RecoveryRecord& record);  // one atomic write
bool RecoveryRecordExists();
// The record on disk; nullopt when there is none or it cannot be read whole.
std::optional<RecoveryRecord> ReadRecoveryRecord();
bool DeleteRecoveryRecord();
// A record that cannot be read whole is moved to history/ (恢复记录-<stamp>.dat), for
// whoever wants to look into it: the path, or nullopt when it could not be moved.
std::optional<Text> KeepRecoveryRecordAside();

// The exit save: the counters and the participants as one commit. Returns the path of the
// file that could not be written; then the files are as they were before the save (or, when
// even that could not be restored, the journal finishes the save at the next start).
std::optional<Text> SaveDrawForResume(const std::array<int32_t, kLevelCount>& savedDrawn,
                                      std::string_view poolText);
// At start-up: a save that was interrupted is finished from its journal.
void FinishInterruptedSave();

}  // namespace ld
