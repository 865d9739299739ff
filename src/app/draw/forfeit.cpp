#include "app/draw/forfeit.h"

#include <string_view>

#include "app/common/app_state.h"
#include "app/common/winners_log.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_levels.h"
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

}  // namespace

void ForfeitWinner() {
    DrawState& state = State().draw;
    const Text selector = SelectorText();
    if (!HasForfeitableWinner(state, selector)) {
        host().dialogs->showMessage(Gbk("当前奖项没有可以放弃的中奖人！"), msg::kOk, Gbk("信息："));
        return;
    }
    const int answer = host().dialogs->showMessage(Gbk("确定放弃当前中奖人的奖项吗？"),
                                                   msg::kOkCancel, Gbk("确定放弃当前奖项？"));
    if (answer != msg::kAnswerOk) return;

    const std::string_view last = LastLine(state.resultsText);
    LogForfeit(selector, state.nextOrdinal - 1, Text(last.substr(0, last.find("  ------  "))));
    state.nextOrdinal -= 1;
    StageControl("透明标签_抽取进度").setTextValue(ProgressText(selector, state.nextOrdinal - 1));
    if (std::optional<int> level = SelectedLevel()) {
        LevelField(state.doneMark, *level) = state.nextOrdinal - 1;
        // Saved as well, so that re-selecting the level or a saving exit does not bring the
        // forfeited draw back.
        LevelField(state.savedDrawn, *level) = state.nextOrdinal - 1;
    }
    ReportResultsWrite(RecordResultLine(ForfeitLine()));
    SaveWinnersLog();
    StageControl("图片框_照片")
        .setText(prop::kPicture, ReadWholeFile(ProgramDirectory() + "/    photo.jpg"));
    StageControl("透明标签_恭喜").setTextValue({});
    StageControl("图片框_照片").setVisible(false);
    HideBatchGrid();
}

}  // namespace ld::app
