#include "app/settings/settings_prize_table.h"

#include <algorithm>
#include <string>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/layout.h"
#include "app/settings/settings_common.h"
#include "media/picture.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

Control& LevelField(const char* stem, int level, const char* tail = "") {
    return StageControl(std::string(stem) + std::to_string(level) + tail);
}
Control& NameField(int level) { return LevelField("编辑框_奖项", level); }
Control& CountField(int level) { return LevelField("编辑框_奖项人数", level); }
Control& MarkerField(int level) { return LevelField("编辑框_奖项", level, "图片"); }

Text PrizePicturePath(int level) { return files::InProgramDirectory(files::PrizePicture(level)); }

LevelTexts LevelNames() {
    LevelTexts names;
    for (int level = 1; level <= kLevelCount; ++level)
        names[static_cast<size_t>(level - 1)] = NameField(level).text();
    return names;
}

// The table's keys, one at a time in their fixed order. False when any write failed;
// every key is still attempted.
bool WritePrizeTable() {
    bool written = true;
    auto put = [&](const ConfigKey& key, const Text& value) {
        written = ConfigStore::write(key, value) && written;
    };
    for (int level = 1; level <= kLevelCount; ++level)
        put(keys::LevelCount(level), CountField(level).text());
    put(keys::RollSpeed(), StageControl("编辑框_滚动速度").text());
    for (int level = 1; level <= kLevelCount; ++level)
        put(keys::LevelName(level), NameField(level).text());
    put(keys::AllowRepeat(),
        ToText(StageControl("选择框_是否允许重复抽奖").getBool(prop::kChecked)));
    put(keys::PhotoWidth(), StageControl("编辑框_照片图片宽").text());
    put(keys::PhotoHeight(), StageControl("编辑框_照片图片高").text());
    return written;
}

void ResizePhotoBox() {
    Control& photo = StageControl("图片框_照片");
    photo.setWidth(ToInt32(StageControl("编辑框_照片图片宽").text()));
    photo.setHeight(ToInt32(StageControl("编辑框_照片图片高").text()));
}

// The selector lists the named levels in level order. A level that was selected stays
// selected when its name is still listed: a save in the middle of an event must not leave
// the draw without its level.
void RebuildLevelSelector(const LevelTexts& names) {
    Control& selector = StageControl("组合框1");
    const Text selected = selector.text();
    selector.clearItems();
    for (const Text& name : names)
        if (!name.empty()) selector.addItem(name);
    const auto& items = selector.items();
    auto kept = std::find(items.begin(), items.end(), selected);
    if (!selected.empty() && kept != items.end())
        selector.chooseItem(static_cast<int>(kept - items.begin()));
}

// The selected level's prize picture and winner limit follow the saved table. With nothing
// selected no level is meant, not the first unnamed one.
void RefreshSelectedLevel(const LevelTexts& names) {
    const Text selected = StageControl("组合框1").text();
    if (selected.empty()) return;
    std::optional<int> level = LevelOf(selected, names);
    if (!level) return;
    Control& prize = StageControl("图片框_奖品");
    prize.setText(prop::kPicture, ReadWholeFile(PrizePicturePath(*level)));
    // The box and its frame are shown only while it holds a picture.
    ShowPrizeArea(MakePicture(prize.getText(prop::kPicture)) != 0);
    State().draw.setLevelLimit(CountField(*level).text());
}

}  // namespace

void ChoosePrizePicture(Control& sender, EventArgs&) {
    const int level = LevelDigitAfter(sender.name(), "按钮_奖项");
    if (level == 0) return;
    std::optional<Text> chosen = ChooseFileWithPanelDialog(Gbk("图形文件(*.jpg)|*.jpg"));
    if (!chosen) return;
    // A failed copy (the folder is missing) leaves the marker as it was.
    if (CopyFileTo(*chosen, PrizePicturePath(level)))
        MarkerField(level).setTextValue(Gbk("有图片"));
}

void ClearPrizePicture(Control& sender, EventArgs&) {
    const int level = LevelDigitAfter(sender.name(), "按钮_奖项");
    if (level == 0) return;
    DeleteFileAt(PrizePicturePath(level));  // a missing file is no error
    MarkerField(level).setTextValue(Text());
}

void SavePrizeTable(Control&, EventArgs&) {
    const bool written = WritePrizeTable();
    ResizePhotoBox();
    const LevelTexts names = LevelNames();
    RebuildLevelSelector(names);
    RefreshSelectedLevel(names);
    StageControl("外形框1").setVisible(false);
    if (written) {
        Tell(Gbk("设置完毕！抽奖过程中，请不要再修改奖项设置！"));
    } else {
        // The table is in force for this run only; the operator must not believe it saved.
        Tell(Gbk("奖项设置已在本次运行中生效，但未能保存到配置文件 peizhi.a，"
                 "下次启动时将恢复原来的设置！"),
             msg::kIconWarning, Gbk("保存失败"));
    }
}

}  // namespace ld::app
