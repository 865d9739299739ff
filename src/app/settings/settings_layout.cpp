#include "app/settings/settings_layout.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/handlers.h"
#include "app/common/layout.h"
#include "framework/template_library.h"
#include "ui/gui.h"

namespace ld::app {

namespace {

enum class AfterMove { Nothing, RaiseSettings, FramePrize };

struct Movable {
    const char* control;
    PlacedElement element;
    AfterMove after;
};

// The titles and the congratulation line are wide enough to slide over the settings panel,
// which is brought back on top after they moved.
const Movable kMovables[] = {
    {"图片框_照片", PlacedElement::Photo, AfterMove::Nothing},
    {"透明标签_抽取进度", PlacedElement::Progress, AfterMove::Nothing},
    {"透明标签_副标题", PlacedElement::Subtitle, AfterMove::RaiseSettings},
    {"透明标签_恭喜", PlacedElement::Congratulation, AfterMove::RaiseSettings},
    {"超级按钮", PlacedElement::StartButton, AfterMove::Nothing},
    {"透明标签_中奖人", PlacedElement::Winner, AfterMove::Nothing},
    {"透明标签_奖项等级", PlacedElement::LevelCaption, AfterMove::Nothing},
    {"图片框_奖品", PlacedElement::PrizePicture, AfterMove::FramePrize},
    {"组合框1", PlacedElement::LevelSelector, AfterMove::Nothing},
    {"透明标签_主标题", PlacedElement::MainTitle, AfterMove::RaiseSettings},
};

const Movable* MovableNamed(const Text& name) {
    for (const Movable& m : kMovables)
        if (Gbk(m.control) == name) return &m;
    return nullptr;
}

bool IsBar(const Control& bar, const char* utf8Name) { return bar.name() == Gbk(utf8Name); }

}  // namespace

void MoveElement(Control& sender, EventArgs& args) {
    // Exactly Ctrl: ordinary clicks, and Ctrl with Shift or Alt, never move the layout.
    if (args.keyState != keys::kCtrl) return;
    const Movable* movable = MovableNamed(sender.name());
    if (!movable) return;
    if (hasGui()) gui().moveLoop(sender);
    ConfigStore::writeGroup(keys::Position(movable->element),
                            {ToText(sender.left()), ToText(sender.top())});
    switch (movable->after) {
        case AfterMove::RaiseSettings:
            if (hasGui()) gui().setZOrder(StageControl("分组框1"), 1);
            break;
        case AfterMove::FramePrize:
            FramePrizeBox(Framing::Move);
            break;
        case AfterMove::Nothing:
            break;
    }
}

void ResizePrizeFromBar(Control& sender, EventArgs& args) {
    Control& box = StageControl("图片框_奖品");
    const int32_t d = args.newPos - args.oldPos;  // positive to the right or down
    if (IsBar(sender, "分隔条_上")) {
        box.setHeight(box.height() - d);
        box.setTop(box.top() + d);
    } else if (IsBar(sender, "分隔条_下")) {
        box.setHeight(box.height() + d);
    } else if (IsBar(sender, "分隔条_右")) {
        box.setWidth(box.width() + d);
    } else if (IsBar(sender, "分隔条_左")) {
        box.setWidth(box.width() - d);
        box.setLeft(box.left() + d);
    } else {
        return;
    }
    // The size itself is stored at exit.
    FramePrizeBox(Framing::Resize);
}

void WindowedMode(Control&, EventArgs&) { ApplyWindowedMode(); }

void FullScreenMode(Control&, EventArgs&) { ApplyFullScreenMode(); }

void ToggleHideButton(Control& sender, EventArgs&) {
    const bool hide = sender.getBool(prop::kChecked);
    // Height 0 rather than hidden: Enter and the space bar still start the draw.
    StageControl("超级按钮").setHeight(hide ? 0 : 70);
    ConfigStore::writeLogical(keys::HideButton(), hide);
}

void ToggleEffects(Control& sender, EventArgs&) {
    ConfigStore::writeLogical(keys::NoEffects(), sender.getBool(prop::kChecked));
    if (IsWindowLoaded(kCelebrationWindow)) CloseWindow(kCelebrationWindow);
}

void DragSettingsPanel(Control& sender, EventArgs&) {
    if (hasGui()) gui().moveLoop(sender);  // the panel's position is not stored
}

void HideSettingsPanel(Control&, EventArgs&) { StageControl("外形框1").setVisible(false); }

}  // namespace ld::app
