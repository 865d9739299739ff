#include "app/common/results_ledger.h"

#include <optional>
#include <unordered_set>

namespace ld {

namespace {

constexpr std::string_view kSeparator = "  ------  ";

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

Ledger ReadLedger(std::string_view resultsText, const LevelTexts& levelNames) {
    const Text forfeit(Trimmed(ForfeitLine()));
    Ledger ledger;
    // The latest winner line that a forfeit may still take back: its level (1-based), 0 for
    // a level not in the table, -1 for none.
    int takeBack = -1;
    size_t start = 0;
    while (start < resultsText.size()) {
        size_t end = resultsText.find('\n', start);
        if (end == std::string_view::npos) end = resultsText.size();
        std::string_view line = resultsText.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        const size_t at = line.find(kSeparator);
        if (at != std::string_view::npos && at > 0) {
            ledger.winners.emplace_back(line.substr(0, at));
            const std::optional<int> level =
                LevelOf(line.substr(at + kSeparator.size()), levelNames);
            if (level) ++ledger.drawn[static_cast<size_t>(*level - 1)];
            takeBack = level.value_or(0);
        } else if (Trimmed(line) == forfeit) {
            if (takeBack > 0) --ledger.drawn[static_cast<size_t>(takeBack - 1)];
            takeBack = -1;
        }
    }
    return ledger;
}

Reconciled ReconcileWithLedger(const Ledger& ledger, bool allowRepeat, Text& poolText,
                               std::array<int32_t, kLevelCount>& savedDrawn) {
    Reconciled result;
    if (!allowRepeat && !ledger.winners.empty()) {
        const std::unordered_set<std::string_view> won(ledger.winners.begin(),
                                                       ledger.winners.end());
        Text kept;
        kept.reserve(poolText.size());
        for (const Text& name : SplitPool(poolText)) {
            if (won.contains(name)) {
                ++result.removedFromPool;
            } else {
                kept += name + "\r\n";
            }
        }
        // Untouched when nobody went: a pool saved without its last line end stays as it was.
        if (result.removedFromPool > 0) poolText = std::move(kept);
    }
    for (size_t i = 0; i < savedDrawn.size(); ++i) {
        if (savedDrawn[i] < ledger.drawn[i]) {
            savedDrawn[i] = ledger.drawn[i];
            result.countersRaised = true;
        }
    }
    return result;
}

}  // namespace ld
