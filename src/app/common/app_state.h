// The application's global state: what program entry creates with zero values (the draw
// state, the results file of this run, the password window's current password) and the
// short ways to the draw screen's controls that every handler uses.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "app/common/draw_files.h"
#include "app/common/draw_state.h"
#include "ui/gui.h"
#include "ui/window.h"

namespace ld::app {

// 中奖记录.csv as this run keeps it (see winners_log.h).
struct WinnersLogState {
    std::optional<Bytes> text;       // the file's bytes; nullopt until this run begins it
    std::vector<ConsoleWinner> run;  // this run's winners, oldest first
    std::vector<size_t> stopOf;      // for each of them, the number of its stop in this run
    bool keepEarlier = false;        // a fresh run's file, not yet begun: history/ first
    bool warned = false;             // a failed write was reported; told again after a success
    bool unsaved = false;            // the last write failed
};

// The recovery record's writes, told like the results file's.
struct RecordWrites {
    bool unsaved = false;  // the last write failed
    bool warned = false;   // told; told again after a success
};

// The latest stop's winners when it drew a batch: 放弃当前中奖人 asks which of them.
struct LastBatch {
    Text level;
    std::vector<size_t> runEntries;  // into WinnersLogState::run, in tile order
};

struct AppState {
    DrawState draw;
    std::unique_ptr<ResultsFile> results = std::make_unique<ResultsFile>();
    Text currentPassword;                    // the password window's, unscrambled
    std::optional<BatchGridView> batchGrid;  // a batch draw's grid while it is shown
    std::vector<size_t> batchRollShows;      // while it rolls, per tile the roll entry shown
    WinnersLogState winnersLog;
    RecordWrites record;
    std::optional<LastBatch> lastBatch;
    // Per level, the ordinals whose winners gave up, drawn again before any new one.
    std::array<std::vector<int32_t>, kLevelCount> freedOrdinals;
    // The full-screen check-in view covers the stage: nothing may be drawn unseen behind it.
    bool checkinScreen = false;
    bool clickers = false;  // 翻页笔 as read at start-up and switched since: the console asks often
};

AppState& State();
// Program entry: a fresh state with zero values (also between tests).
void InitialiseApplication();

// The draw screen; the fatal runtime error when it is not loaded.
Window& Stage();
// A control of the draw screen by its name written in UTF-8 in the source.
Control& StageControl(std::string_view utf8Name);

}  // namespace ld::app
