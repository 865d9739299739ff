// 抽奖结果.txt is the ledger of the event: every winner line in it was announced on the
// stage. Whatever else a start finds (an older 进度.txt, an older recovery record), the pool
// and the counters are brought level with it, so that nobody announced can be drawn again.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "app/common/draw_state.h"
#include "services/text.h"

namespace ld {

struct LedgerLine {
    Text name, level;
    bool forfeited = false;  // taken back by a forfeit line
};

struct Ledger {
    std::vector<Text> winners;                 // every announced name, a forfeited one too
    std::vector<LedgerLine> lines;             // every winner line, in file order
    std::array<int32_t, kLevelCount> drawn{};  // winners minus forfeits, per level
};

// Winner lines are name + "  ------  " + level; a forfeit line takes back the winner line
// just before it, and a named forfeit line the latest winner line of its name and level
// not taken back yet. Lines of levels not in `levelNames` count as winners but for no level;
// anything else (a hand-written note) is skipped. LF-only line ends are taken too.
Ledger ReadLedger(std::string_view resultsText, const LevelTexts& levelNames);

struct Reconciled {
    size_t removedFromPool = 0;  // participants taken out because they already won
    bool countersRaised = false;
};

// Takes every announced winner out of the pool (unless repeats are allowed) and raises each
// counter to the ledger's count of that level.
Reconciled ReconcileWithLedger(const Ledger& ledger, bool allowRepeat, Text& poolText,
                               std::array<int32_t, kLevelCount>& savedDrawn);

}  // namespace ld
