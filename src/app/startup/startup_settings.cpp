// Start-up: the stored settings pushed into the check boxes, menu marks, labels and the
// settings panel.
#include <string>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/startup/stage_startup.h"
#include "services/files.h"

namespace ld::app::startup {

namespace {

struct FontTarget {
    FontElement element;
    const char* label;
};
const FontTarget kFontTargets[] = {
    {FontElement::MainTitle, "透明标签_主标题"},
    {FontElement::Subtitle, "透明标签_副标题"},
    {FontElement::Winner, "透明标签_中奖人"},
    {FontElement::Congratulation, "透明标签_恭喜"},
};

Text LevelField(const char* utf8Stem, int level, const char* utf8Tail = "") {
    return Gbk(utf8Stem) + ToText(level) + Gbk(utf8Tail);
}

void Check(const char* utf8Name, bool checked) {
    StageControl(utf8Name).setBool(prop::kChecked, checked);
}

}  // namespace

void ApplySwitches() {
    StageControl("图片框_照片").setVisible(false);
    StageControl("通用对话框_字体设置").setInt(prop::kDialogKind, 2);  // the font dialog
    Check("选择框_禁用特效", ConfigStore::readLogical(keys::NoEffects()));
    // An empty key reads as "30", the field's own template text.
    StageControl("编辑框_滚动速度").setTextValue(ConfigStore::readText(keys::RollSpeed()));
    bool music = ConfigStore::readLogical(keys::BackgroundMusic());
    Stage().setMenuChecked(Gbk("启用背景音乐"), music);
    Stage().setMenuChecked(Gbk("禁用背景音乐"), !music);
}

// Stored sizes are points; the template's fonts keep their style flags.
void ApplyStoredFonts() {
    for (const FontTarget& target : kFontTargets) {
        std::optional<StoredFont> stored = ConfigStore::readFont(target.element);
        if (!stored) continue;
        Control& label = StageControl(target.label);
        FontValue font = label.getFont(prop::kTransFont);
        font.face = stored->face;
        font.points = stored->size;
        font.pixels = 0;
        label.set(prop::kTransFont, font);
        label.setInt(prop::kTextColor, stored->colour);
    }
}

void ApplyPictureSizes() {
    Control& widthField = StageControl("编辑框_照片图片宽");
    Control& heightField = StageControl("编辑框_照片图片高");
    if (auto photo = ConfigStore::readGroup(keys::PhotoSize())) {
        widthField.setTextValue((*photo)[0]);
        heightField.setTextValue((*photo)[1]);
    }
    if (auto prize = ConfigStore::readGroup(keys::PrizeSize())) {
        Control& box = StageControl("图片框_奖品");
        box.setHeight(ToInt32((*prize)[0]));
        box.setWidth(ToInt32((*prize)[1]));
    }
    Control& photoBox = StageControl("图片框_照片");
    photoBox.setWidth(ToInt32(widthField.text()));
    photoBox.setHeight(ToInt32(heightField.text()));
}

// Copied whatever they hold: an absent key empties the field.
void LoadPrizeTable() {
    for (int level = 1; level <= kLevelCount; ++level) {
        Stage()
            .control(LevelField("编辑框_奖项人数", level))
            .setTextValue(ConfigStore::readText(keys::LevelCount(level)));
    }
    for (int level = 1; level <= kLevelCount; ++level) {
        Stage()
            .control(LevelField("编辑框_奖项", level))
            .setTextValue(ConfigStore::readText(keys::LevelName(level)));
    }
}

// Keys a … x: the first designated winner of each level, then the second, then the third;
// the field repeats the level digit once per rank (编辑框_中奖人3, 33, 333).
void LoadDesignatedWinners() {
    for (int rank = 1; rank <= kDesignatedPerLevel; ++rank) {
        for (int level = 1; level <= kLevelCount; ++level) {
            Text field = Gbk("编辑框_中奖人") +
                         std::string(static_cast<size_t>(rank), static_cast<char>('0' + level));
            Stage().control(field).setTextValue(
                ConfigStore::readScrambled(keys::DesignatedWinner(level, rank)));
        }
    }
}

// A marker is only ever set here; a missing picture leaves the field as it is.
void MarkPrizePictures() {
    for (int level = 1; level <= kLevelCount; ++level) {
        if (FileExists(files::InProgramDirectory(files::PrizePicture(level))))
            Stage().control(LevelField("编辑框_奖项", level, "图片")).setTextValue(Gbk("有图片"));
    }
}

// A missing file gives empty bytes: no background.
void LoadBackground() {
    Stage().self().setText(prop::kBackPicture,
                           ReadWholeFile(files::InProgramDirectory(files::Background())));
}

void ApplyRepeatSwitch() {
    Check("选择框_是否允许重复抽奖", ConfigStore::readLogical(keys::AllowRepeat()));
}

}  // namespace ld::app::startup
