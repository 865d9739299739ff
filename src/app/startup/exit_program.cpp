#include "app/startup/exit_program.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "services/host.h"

namespace ld::app {

namespace {

// The counters first, then the participants, as the next start reads them. 进度.txt is
// replaced in one step, so an earlier save stays whole until the new one is complete.
// Returns the path of the file that could not be written, or nothing when all were.
std::optional<Text> SaveDraw() {
    const DrawState& draw = State().draw;
    if (!WriteCounters(draw.savedDrawn)) return ConfigStore::path();
    if (!WriteProgress(draw.poolText)) return files::InProgramDirectory(files::Progress());
    return std::nullopt;
}

}  // namespace

Text ExitQuestion() {
    return Gbk(
        "    您希望退出软件，并保存当前抽奖进度吗？\r\n\r\n    选择 【是】 保存当前抽奖进度并退出"
        "\r\n\r\n    选择 【否】 不保存直接退出\r\n\r\n    选择 【取消】 则返回软件");
}

Text SavedNotice() { return Gbk("抽奖进度已保存，软件退出再运行，可以继续抽奖！"); }

Text SaveFailure(const Text& path) { return Gbk("抽奖进度保存失败：") + path; }

bool RunExitProcedure() {
    // The size is kept whatever the answer: the frame bars change it without saving.
    Control& prize = StageControl("图片框_奖品");
    ConfigStore::writeInt(keys::PrizeHeight(), prize.height());
    ConfigStore::writeInt(keys::PrizeWidth(), prize.width());
    Dialogs& dialogs = *host().dialogs;
    int answer = dialogs.showMessage(ExitQuestion(), msg::kYesNoCancel | msg::kIconQuestion,
                                     Gbk("退出是否保存进度？"));
    if (answer == msg::kAnswerYes) {
        if (std::optional<Text> failed = SaveDraw()) {
            dialogs.showMessage(SaveFailure(*failed), msg::kIconStop, Gbk("保存失败"));
            return false;
        }
        dialogs.showMessage(SavedNotice(), msg::kOk, Gbk("提示"));
        host().shell->exitProgram(0);
    }
    if (answer == msg::kAnswerNo) host().shell->exitProgram(0);
    return false;
}

}  // namespace ld::app
