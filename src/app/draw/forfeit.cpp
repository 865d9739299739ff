#include "app/draw/forfeit.h"

#include <string_view>

#include "app/common/app_state.h"
#include "app/common/results_ledger.h"
#include "app/common/winners_log.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_levels.h"
#include "app/draw/verified_event.h"
#include "services/files.h"
#include "services/host.h"
#include "services/program.h"

namespace ld::app {

namespace {

// The last line of the results text, without its CR LF.
std::string_view LastLine(std::string_view results) {
    if (results.ends_with("\r\n")) results.remove_suffix(2);
    const size_t end = results.rfind("\r\n");
    return end == std::string_view::npos ? results : results.substr(end + 2);
}

// Only the winner on the last line of the results can be taken back, and only when that
// line belongs to the level now in the selector: a marker after anything else would mark
// the wrong record, and a second marker in a row would take back a draw nobody won.
bool HasForfeitableWinner(const DrawState& state, const Text& selector) {
    if (state.nextOrdinal <= 1) return false;
    const Text winnerEnd = WinnerLine("", selector);  // "  ------  " + level + CR LF
    const std::string_view tail(winnerEnd.data(), winnerEnd.size() - 2);
    const std::string_view last = LastLine(state.resultsText);
    return last.ends_with(tail);
}

// The level's counters after a forfeit, and its freed place (`ordinal`) for the next stop.
void FreePlace(const Text& selector, int32_t ordinal) {
    DrawState& state = State().draw;
    state.nextOrdinal -= 1;
    StageControl("透明标签_抽取进度").setTextValue(ProgressText(selector, state.nextOrdinal - 1));
    if (std::optional<int> level = SelectedLevel()) {
        LevelField(state.doneMark, *level) = state.nextOrdinal - 1;
        // Saved as well, so that re-selecting the level or a saving exit does not bring the
        // forfeited draw back.
        LevelField(state.savedDrawn, *level) = state.nextOrdinal - 1;
        State().freedOrdinals[static_cast<size_t>(*level - 1)].push_back(ordinal);
    }
}

void ClearSingleWinner() {
    StageControl("图片框_照片")
        .setText(prop::kPicture, ReadWholeFile(ProgramDirectory() + "/    photo.jpg"));
    StageControl("透明标签_恭喜").setTextValue({});
    StageControl("图片框_照片").setVisible(false);
}

// The given-up winner's tile stays, marked; the others stay on the stage. Not while a new
// roll runs in the grid.
void MarkTile(size_t tile, const Text& name) {
    std::optional<BatchGridView>& grid = State().batchGrid;
    if (!grid || tile >= grid->tiles.size() || grid->tiles[tile].name != name) return;
    grid->tiles[tile].name += Gbk("（放弃）");
    if (hasGui()) gui().showBatchGrid(Stage(), *grid);
}

// The winner's line is still open in the results (not taken back by a forfeit line).
bool OpenInResults(const Text& level, const Text& name) {
    // The console asks for every row a few times a second: read once per results text.
    static Text read;
    static Ledger ledger;
    if (read != State().draw.resultsText || ledger.lines.empty()) {
        read = State().draw.resultsText;
        ledger = ReadLedger(read, LevelNames());
    }
    for (const LedgerLine& line : ledger.lines)
        if (!line.forfeited && line.level == level && line.name == name) return true;
    return false;
}

void Forfeit(size_t entry) {
    DrawState& state = State().draw;
    const ConsoleWinner winner = RunEntry(entry);
    const Text question =
        Gbk("确定放弃 ") + winner.name + Gbk(" 的") + winner.level + Gbk("奖项吗？");
    const int answer =
        host().dialogs->showMessage(question, msg::kOkCancel, Gbk("确定放弃当前奖项？"));
    if (answer != msg::kAnswerOk) return;
    // The plain marker when the winner's line is the last one, as for a single draw.
    const Text winnerLine = WinnerLine(winner.name, winner.level);
    const bool last = LastLine(state.resultsText) ==
                      std::string_view(winnerLine).substr(0, winnerLine.size() - 2);
    const Text line = last ? ForfeitLine() : NamedForfeitLine(winner.name, winner.level);
    LogForfeit(winner.level, winner.ordinal, winner.name, entry);
    FreePlace(winner.level, winner.ordinal);
    ReportResultsWrite(RecordResultLine(line));
    RecordVerifiedForfeit(winner.level, winner.name);
    SaveWinnersLog();
    const std::optional<LastBatch>& batch = State().lastBatch;
    if (batch && BatchGridShown()) {
        for (size_t tile = 0; tile < batch->runEntries.size(); ++tile)
            if (batch->runEntries[tile] == entry) MarkTile(tile, winner.name);
    } else if (StageControl("透明标签_中奖人").text() == winner.name) {
        ClearSingleWinner();
    }
}

// After a batch of the current level: which of its winners gives up.
bool AskWhichOfTheBatch(const Text& selector) {
    const std::optional<LastBatch>& batch = State().lastBatch;
    if (!batch || batch->level != selector) return false;
    std::vector<size_t> open;
    std::vector<Text> names;
    for (size_t entry : batch->runEntries) {
        if (!RunWinnerForfeitable(entry)) continue;
        open.push_back(entry);
        names.push_back(RunEntry(entry).name);
    }
    if (open.empty()) return false;
    const std::optional<int> chosen = host().dialogs->chooseFromList(
        Gbk("放弃当前中奖人"), Gbk("请选择放弃奖项的中奖人："), names, 0);
    if (chosen && *chosen >= 0 && static_cast<size_t>(*chosen) < open.size())
        Forfeit(open[static_cast<size_t>(*chosen)]);
    return true;
}

}  // namespace

bool RunWinnerForfeitable(size_t entry) {
    if (entry >= State().winnersLog.run.size()) return false;
    const ConsoleWinner& winner = RunEntry(entry);
    return !winner.forfeited && winner.level == SelectorText() && State().draw.nextOrdinal > 1 &&
           OpenInResults(winner.level, winner.name);
}

void ForfeitRunWinner(size_t entry) {
    if (!RunWinnerForfeitable(entry)) {
        host().dialogs->showMessage(Gbk("当前奖项没有可以放弃的中奖人！"), msg::kOk, Gbk("信息："));
        return;
    }
    Forfeit(entry);
}

void ForfeitWinner() {
    DrawState& state = State().draw;
    const Text selector = SelectorText();
    if (AskWhichOfTheBatch(selector)) return;
    if (!HasForfeitableWinner(state, selector)) {
        host().dialogs->showMessage(Gbk("当前奖项没有可以放弃的中奖人！"), msg::kOk, Gbk("信息："));
        return;
    }
    const int answer = host().dialogs->showMessage(Gbk("确定放弃当前中奖人的奖项吗？"),
                                                   msg::kOkCancel, Gbk("确定放弃当前奖项？"));
    if (answer != msg::kAnswerOk) return;

    const std::string_view last = LastLine(state.resultsText);
    const Text name(last.substr(0, last.find("  ------  ")));
    const std::optional<size_t> entry = LatestRunEntry(selector, name);
    const int32_t ordinal = entry ? RunEntry(*entry).ordinal : state.nextOrdinal - 1;
    LogForfeit(selector, ordinal, name, entry);
    FreePlace(selector, ordinal);
    ReportResultsWrite(RecordResultLine(ForfeitLine()));
    RecordVerifiedForfeit(selector, name);
    SaveWinnersLog();
    ClearSingleWinner();
    HideBatchGrid();
}

}  // namespace ld::app
