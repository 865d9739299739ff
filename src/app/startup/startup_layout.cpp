// Start-up: the level selector and the prize area, the default layout with the saved
// positions over it, the repairs that keep the bottom row on screen, the window mode and
// the heights that follow from the fonts.
#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/layout.h"
#include "app/startup/stage_startup.h"
#include "media/picture.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app::startup {

namespace {

Control& LevelNameField(int level) { return Stage().control(Gbk("编辑框_奖项") + ToText(level)); }
Control& LevelCountField(int level) {
    return Stage().control(Gbk("编辑框_奖项人数") + ToText(level));
}

LevelTexts LevelNames() {
    LevelTexts names;
    for (int level = 1; level <= kLevelCount; ++level)
        names[static_cast<size_t>(level - 1)] = LevelNameField(level).text();
    return names;
}

struct Placed {
    PlacedElement element;
    const char* control;
};
// The order in which saved positions are applied.
const Placed kPlaced[] = {
    {PlacedElement::MainTitle, "透明标签_主标题"},
    {PlacedElement::Subtitle, "透明标签_副标题"},
    {PlacedElement::Winner, "透明标签_中奖人"},
    {PlacedElement::Congratulation, "透明标签_恭喜"},
    {PlacedElement::LevelSelector, "组合框1"},
    {PlacedElement::Progress, "透明标签_抽取进度"},
    {PlacedElement::LevelCaption, "透明标签_奖项等级"},
    {PlacedElement::PrizePicture, "图片框_奖品"},
    {PlacedElement::Photo, "图片框_照片"},
};

bool ApplySavedPosition(PlacedElement element, Control& control) {
    std::optional<StoredPosition> position = ConfigStore::readPosition(element);
    if (!position) return false;
    control.setLeft(position->left);
    control.setTop(position->top);
    return true;
}

// Typed sizes can be as large as an int holds; sums of them saturate instead of wrapping.
int32_t Sum(double a, double b, double c = 0) { return SaturateToInt32(a + b + c); }

void FitHeightToFont(Control& label) {
    label.setHeight(IntegerPartInt32(label.getFont(prop::kTransFont).sizePoints() * 1.8));
}

}  // namespace

void FillLevelSelector() {
    Control& selector = StageControl("组合框1");
    selector.clearItems();
    for (int level = 1; level <= kLevelCount; ++level) {
        Text name = LevelNameField(level).text();
        if (!name.empty()) selector.addItem(name);
    }
}

// The selector's text is empty right after it was filled, so the level matched is the
// first one without a name; with all eight named nothing happens.
void MatchLevel() {
    Control& box = StageControl("图片框_奖品");
    if (std::optional<int> level = LevelOf(StageControl("组合框1").text(), LevelNames())) {
        box.setText(prop::kPicture,
                    ReadWholeFile(files::InProgramDirectory(files::PrizePicture(*level))));
        State().draw.setLevelLimit(LevelCountField(*level).text());
    }
    ShowPrizeArea(MakePicture(box.getText(prop::kPicture)) != 0);
}

void LayOutDefault() {
    const int32_t w = host().screen->width();
    const int32_t h = host().screen->height();
    Control& winner = StageControl("透明标签_中奖人");
    Control& congratulation = StageControl("透明标签_恭喜");
    Control& selector = StageControl("组合框1");
    Control& caption = StageControl("透明标签_奖项等级");
    Control& progress = StageControl("透明标签_抽取进度");
    Control& subtitle = StageControl("透明标签_副标题");
    Control& photo = StageControl("图片框_照片");
    winner.setLeft(0);
    winner.setWidth(w);
    congratulation.setLeft(0);
    selector.setTop(Sum(h, -selector.height(), -50));
    caption.setTop(Sum(h, -caption.height(), -45));
    progress.setTop(Sum(h, -progress.height(), -45));
    Control& stage = Stage().self();
    stage.setTop(0);
    stage.setLeft(0);
    stage.setHeight(h);
    stage.setWidth(w);
    for (Control* label : {&StageControl("透明标签_主标题"), &congratulation, &subtitle})
        label->setWidth(w);
    StageControl("超级按钮").setTop(Sum(selector.top(), -60));
    photo.setTop(Sum(subtitle.top(), subtitle.height(), 5));
    photo.setLeft(SaturateToInt32(w / 2.0 - photo.width() / 2.0));
    congratulation.setTop(Sum(photo.top(), photo.height(), 5));
    StageControl("图片框_奖品").setLeft(Sum(photo.left(), photo.width(), 10));
}

// A key present but empty gives an empty title; only an absent key gives the default.
void ApplyTitles() {
    StageControl("透明标签_主标题").setTextValue(ConfigStore::readText(keys::MainTitle()));
    StageControl("透明标签_副标题").setTextValue(ConfigStore::readText(keys::Subtitle()));
}

void ApplySavedPositions() {
    for (const Placed& placed : kPlaced)
        ApplySavedPosition(placed.element, StageControl(placed.control));
    Control& button = StageControl("超级按钮");
    button.setLeft(SaturateToInt32((host().screen->width() - button.width()) / 2.0));
    ApplySavedPosition(PlacedElement::StartButton, button);
}

// A level caption saved below the window's bottom edge brings the bottom row back.
void RepairBottomRow() {
    const int32_t height = Stage().self().height();
    Control& caption = StageControl("透明标签_奖项等级");
    if (caption.top() <= Sum(height, -10)) return;
    caption.setTop(height - 40);
    StageControl("组合框1").setTop(height - 30);
    StageControl("透明标签_抽取进度").setTop(height - 40);
}

// A level caption saved beyond the left edge lines the bottom row up from the left.
void RepairLeftEdge() {
    Control& caption = StageControl("透明标签_奖项等级");
    if (caption.left() >= -5) return;
    Control& selector = StageControl("组合框1");
    caption.setLeft(5);
    selector.setLeft(Sum(caption.left(), caption.width(), 5));
    StageControl("透明标签_抽取进度").setLeft(Sum(selector.left(), selector.width(), 5));
}

// Every value but "窗口" means full screen, so an unknown one is written back as "全屏".
void ApplyWindowMode() {
    if (ConfigStore::readText(keys::WindowMode()) == WindowedWord())
        ApplyWindowedMode();
    else
        ApplyFullScreenMode();
}

void FitTitleHeights() {
    FitHeightToFont(StageControl("透明标签_主标题"));
    FitHeightToFont(StageControl("透明标签_副标题"));
}

void ApplyButtonHeight() {
    bool hidden = ConfigStore::readLogical(keys::HideButton());
    StageControl("超级按钮").setHeight(hidden ? 0 : 70);
    StageControl("选择框_不显示按钮").setBool(prop::kChecked, hidden);
}

}  // namespace ld::app::startup
