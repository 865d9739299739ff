#include "app/startup/exit_program.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/draw/verified_event.h"
#include "app/common/draw_files.h"
#include "app/common/draw_recovery.h"
#include "app/common/winners_log.h"
#include "app/tools/checkin_link.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

// While winners are missing from the results file, the operator decides what becomes of
// them before the exit question: saved elsewhere, or given up by an explicit No. False
// when the program is to stay open.
bool SettleUnsavedResults() {
    Dialogs& dialogs = *host().dialogs;
    for (;;) {
        const int answer = dialogs.showMessage(
            UnsavedResultsQuestion(), msg::kYesNoCancel | msg::kIconWarning, Gbk("中奖结果未保存"));
        if (answer == msg::kAnswerNo) return true;
        if (answer != msg::kAnswerYes) return false;
        Text path;
        if (!dialogs.saveFile(Gbk("文本文件(*.txt)|*.txt"), files::Results(), path)) continue;
        if (WriteWholeFile(path, State().draw.resultsText)) {
            dialogs.showMessage(Gbk("中奖结果已另存到：\r\n") + path, msg::kOk, Gbk("提示"));
            return true;
        }
        dialogs.showMessage(Gbk("无法写入文件：\r\n") + path, msg::kIconStop, Gbk("保存失败"));
    }
}

}  // namespace

Text ExitQuestion() {
    return Gbk(
        "    您希望退出软件，并保存当前抽奖进度吗？\r\n\r\n    选择 【是】 保存当前抽奖进度并退出"
        "\r\n\r\n    选择 【否】 不保存直接退出\r\n\r\n    选择 【取消】 则返回软件");
}

Text SavedNotice() { return Gbk("抽奖进度已保存，软件退出再运行，可以继续抽奖！"); }

Text SaveFailure(const Text& path) { return Gbk("抽奖进度保存失败：") + path; }

Text UnsavedResultsQuestion() {
    return Gbk(
        "    有中奖结果没能写入抽奖结果.txt，直接退出将丢失这些中奖人！\r\n\r\n    选择 【是】 "
        "把全部中奖结果另存到其他位置\r\n\r\n    选择 【否】 不保存中奖结果\r\n\r\n    选择 "
        "【取消】 则返回软件");
}

bool RunExitProcedure() {
    // The size is kept whatever the answer: the frame bars change it without saving.
    Control& prize = StageControl("图片框_奖品");
    ConfigStore::writeInt(keys::PrizeHeight(), prize.height());
    ConfigStore::writeInt(keys::PrizeWidth(), prize.width());
    if (State().results->unsaved() && !SettleUnsavedResults()) return false;
    // The winners file cannot be rebuilt later (it has the times): one more try, then the
    // operator knows what the exports will lack.
    if (WinnersLogUnsaved()) SaveWinnersLog();
    if (WinnersLogUnsaved()) {
        host().dialogs->showMessage(Gbk("中奖记录.csv 仍然无法保存：本场有中奖人只记在抽奖结果.txt "
                                        "里，导出的中奖名单会缺少他们。"),
                                    msg::kIconWarning, Gbk("警告"));
    }
    Dialogs& dialogs = *host().dialogs;
    int answer = dialogs.showMessage(ExitQuestion(), msg::kYesNoCancel | msg::kIconQuestion,
                                     Gbk("退出是否保存进度？"));
    if (answer == msg::kAnswerYes || answer == msg::kAnswerNo) SettleCheckinBeforeExit();
    if (answer == msg::kAnswerYes) {
        const DrawState& draw = State().draw;
        if (std::optional<Text> failed = SaveDrawForResume(draw.savedDrawn, draw.poolText)) {
            dialogs.showMessage(SaveFailure(*failed), msg::kIconStop, Gbk("保存失败"));
            return false;
        }
        // A clean exit: the next start has no crash to recover from.
        DeleteRecoveryRecord();
        dialogs.showMessage(SavedNotice(), msg::kOk, Gbk("提示"));
        CloseCheckin();
        host().shell->exitProgram(0);
    }
    if (answer == msg::kAnswerNo) {
        // Not to be resumed: a verified event ends here, its secret revealed.
        EndVerifiedEvent();
        DeleteRecoveryRecord();
        CloseCheckin();
        host().shell->exitProgram(0);
    }
    return false;
}

}  // namespace ld::app
