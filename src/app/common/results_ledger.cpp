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

namespace {

// The open line that a named forfeit line takes back: the latest one of that name and level.
std::optional<size_t> NamedTakeBack(const Ledger& ledger, std::string_view line) {
    for (size_t i = ledger.lines.size(); i-- > 0;) {
        const LedgerLine& won = ledger.lines[i];
        if (won.forfeited) continue;
        const Text named = NamedForfeitLine(won.name, won.level);
        if (line == Trimmed(named)) return i;
    }
    return std::nullopt;
}

void TakeBack(Ledger& ledger, size_t index, const LevelTexts& levelNames) {
    LedgerLine& won = ledger.lines[index];
    won.forfeited = true;
    if (const std::optional<int> level = LevelOf(won.level, levelNames))
        --ledger.drawn[static_cast<size_t>(*level - 1)];
}

}  // namespace

Ledger ReadLedger(std::string_view resultsText, const LevelTexts& levelNames) {
    const Text forfeit(Trimmed(ForfeitLine()));
    Ledger ledger;
    // The winner line that a plain forfeit line may still take back: the one just before it.
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t takeBack = kNone;
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
            ledger.lines.push_back(
                {Text(line.substr(0, at)), Text(line.substr(at + kSeparator.size()))});
            const std::optional<int> level = LevelOf(ledger.lines.back().level, levelNames);
            if (level) ++ledger.drawn[static_cast<size_t>(*level - 1)];
            takeBack = ledger.lines.size() - 1;
        } else if (Trimmed(line) == forfeit) {
            if (takeBack != kNone) TakeBack(ledger, takeBack, levelNames);
            takeBack = kNone;
        } else if (const std::optional<size_t> named = NamedTakeBack(ledger, Trimmed(line))) {
            TakeBack(ledger, *named, levelNames);
            takeBack = kNone;
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
