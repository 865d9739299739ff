#include "app/draw/draw_engine.h"

#include <algorithm>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_engine_parts.h"
#include "app/draw/draw_phase.h"
#include "app/draw/level_rules.h"
#include "app/draw/verified_event.h"
#include "app/handlers.h"
#include "framework/template_library.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

void Inform(const char* utf8Text, const char* utf8Caption) {
    host().dialogs->showMessage(Gbk(utf8Text), msg::kOk, Gbk(utf8Caption));
}

// The checks that refuse a start and a stop alike: false, after telling the operator, when
// the selector names a completed level, nothing, or a level with all its winners drawn.
bool LevelMayDraw(DrawState& state, const Text& selector) {
    if (CompleteLevelNamed(state, selector)) {
        Inform("没有本奖项或本奖项已经抽取完毕！", "信息：");
        return false;
    }
    if (selector.empty()) {
        Inform("您没有选择任何奖项，请选择！", "信息提示");
        return false;
    }
    if (state.levelLimit <= state.nextOrdinal) {
        if (std::optional<int> level = SelectedLevel())
            LevelField(state.doneMark, *level) = state.nextOrdinal - 1;
        Inform("本奖项抽取完毕", "信息提示");
        return false;
    }
    return true;
}

// A verified event draws only its sealed levels, by their sealed rules, once it has its seed.
bool VerifiedStopAllowed(const Text& selector) {
    if (!VerifiedDrawOn()) return true;
    const Text refusal = VerifiedStopRefusal(selector, SelectedLevel());
    if (refusal.empty()) return true;
    host().dialogs->showMessage(refusal, msg::kIconStop, Gbk("公证抽奖"));
    return false;
}

}  // namespace

Text StartCaption() { return Gbk("开始抽奖"); }
Text StopCaption() { return Gbk("停止抽奖"); }

void ShowNoPhotosMessage() {
    host().dialogs->showMessage(Gbk("信息提示：\r\n\r\n1、可能是提供的照片数量已经抽完\r\n\r\n"
                                    "2、可能是PHOTO文件夹下没有照片"),
                                msg::kIconStop, Gbk("提示"));
}

void StartOrStopDraw() {
    Control& button = StageControl("超级按钮");
    // During the pause after a stop the roll list is stale: a second stop (Enter does not
    // care that the button is disabled) would pick again from it and could record the same
    // participant twice.
    if (button.disabled()) return;
    // Enter or a clicker on the stage while the check-in view covers it: nobody would see
    // the roll or the winner. The console closes the view before it starts.
    if (State().checkinScreen) return;
    if (IsWindowLoaded(kCelebrationWindow)) CloseWindow(kCelebrationWindow);

    DrawState& state = State().draw;
    const Text selector = SelectorText();
    if (!LevelMayDraw(state, selector)) return;
    // A verified event's winners are its picks alone.
    const DesignatedWinners designated =
        VerifiedDrawOn() ? DesignatedWinners{} : DesignatedWinnersOf(SelectedLevel());
    if (!VerifiedStopAllowed(selector)) return;

    SetFileAttribute(ConfigStore::path(), 2);  // hidden, which also leaves it writable
    Control& congratulation = StageControl("透明标签_恭喜");
    congratulation.setWidth(host().screen->width());
    congratulation.setTextValue({});
    StageControl("透明标签_中奖人").setVisible(false);
    if (state.poolText.empty()) {
        ShowNoPhotosMessage();
        return;
    }
    const Text caption = button.text();
    if (caption == StartCaption()) {
        StartRoll();
    } else if (caption == StopCaption()) {
        // The level may have changed in the roll: its rules hold at the stop.
        const LevelRule rule = SelectedLevelRule();
        if (rule.active()) state.rollList = AllowedNames(state.rollList, rule);
        int tiles = BatchTiles(state);  // read now: the level may have changed
        // A verified batch takes exactly its tiles' picks: never more than the level leaves.
        if (const VerifiedEvent* event = OpenVerifiedEvent())
            tiles = static_cast<int>(std::min<size_t>(
                static_cast<size_t>(tiles), VerifiedEligibleCount(*event, selector)));
        if (tiles > 1) {
            StopBatch(designated, tiles);
        } else {
            StopRoll(designated);
        }
    }
}

void RearmStartButton() {
    StageControl("时钟_开始").setInt(prop::kInterval, 0);
    Control& button = StageControl("超级按钮");
    button.setTextValue(StartCaption());
    button.setDisabled(false);
    FocusStartButton();
    NotifyDrawPhase(DrawPhase::Idle);
}

}  // namespace ld::app
