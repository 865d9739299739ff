#include "app/draw/level_selection.h"

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/layout.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_levels.h"
#include "media/picture.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

// The level's prize picture and winner limit; both stay as they were for a selector text
// that names no level.
void ShowPrize(DrawState& state, std::optional<int> level) {
    Control& prize = StageControl("图片框_奖品");
    if (level) {
        prize.setText(prop::kPicture,
                      ReadWholeFile(files::InProgramDirectory(files::PrizePicture(*level))));
        state.setLevelLimit(LevelCountText(*level));
    }
    ShowPrizeArea(MakePicture(prize.getText(prop::kPicture)) > 0);
    FramePrizeBox(Framing::Move);
}

}  // namespace

void SelectLevelFromList() {
    DrawState& state = State().draw;
    const Text selector = SelectorText();
    // A warning only: the level still becomes current, and a start refuses it.
    if (CompleteLevelNamed(state, selector)) {
        host().dialogs->showMessage(Gbk("没有本奖项或本奖项已经抽取完毕！"), msg::kOk,
                                    Gbk("信息："));
    }
    FocusStartButton();
    ShowSelectedLevel();
}

void ShowSelectedLevel() {
    DrawState& state = State().draw;
    const Text selector = SelectorText();
    Control& progress = StageControl("透明标签_抽取进度");
    state.nextOrdinal = 1;
    const std::optional<int> level = LevelOf(selector, LevelNames());
    if (level && LevelField(state.savedDrawn, *level) > 0) {
        const int32_t drawn = LevelField(state.savedDrawn, *level);
        state.nextOrdinal = drawn + 1;
        progress.setTextValue(ProgressText(selector, drawn));
    }
    StageControl("透明标签_恭喜").setVisible(false);
    StageControl("图片框_照片").setVisible(false);
    HideBatchGrid();
    progress.setWidth(ProgressWidth(progress.text()));
    StageControl("透明标签_奖品名称").setTextValue(selector);
    ShowPrize(state, level);
}

}  // namespace ld::app
