// The prize table of the settings panel: pictures installed and removed by their buttons,
// and the save that writes the table, resizes the photo box and rebuilds the selector.
#include <algorithm>

#include "app/common/app_state.h"
#include "app/common/layout.h"
#include "settings_fixture.h"

namespace ld::test {
namespace {

const char* const kNames[8] = {"特等奖", "一等奖", "二等奖", "三等奖",
                               "四等奖", "五等奖", "六等奖", "七等奖"};

class PrizeTable : public SettingsTest {
protected:
    std::string field(const char* stem, int level, const char* tail = "") {
        return std::string(stem) + std::to_string(level) + tail;
    }
    void fillTable() {
        for (int level = 1; level <= 8; ++level) {
            type(field("编辑框_奖项", level), kNames[level - 1]);
            type(field("编辑框_奖项人数", level), std::to_string(level));
        }
    }
    Control& selector() { return control("组合框1"); }
    void select(std::string_view utf8Name) {
        const auto& items = selector().items();
        auto it = std::find(items.begin(), items.end(), Gbk(utf8Name));
        ASSERT_NE(it, items.end());
        selector().chooseItem(static_cast<int>(it - items.begin()));
    }
    // The save of a table with every name set, so the selector lists all eight.
    void saveFullTable() {
        fillTable();
        click("按钮_保存");
    }
};

TEST_F(PrizeTable, SaveWritesEveryKeyInItsOrderAsTyped) {
    begin();
    fillTable();
    type("编辑框_奖项3", "");         // level 3 without a name
    type("编辑框_奖项人数2", "abc");  // unvalidated
    type("编辑框_滚动速度", "45");
    type("编辑框_照片图片宽", "350.9");
    type("编辑框_照片图片高", "260");
    control("选择框_是否允许重复抽奖").setBool(prop::kChecked, true);
    control("外形框1").setVisible(true);
    click("按钮_保存");

    EXPECT_EQ(stored(keys::LevelCount(2)), "abc");
    EXPECT_EQ(stored(keys::LevelName(3)), Text());  // present, empty
    EXPECT_EQ(stored(keys::LevelName(8)), Gbk("七等奖"));
    EXPECT_EQ(stored(keys::RollSpeed()), "45");
    EXPECT_EQ(stored(keys::AllowRepeat()), Gbk("真"));
    EXPECT_EQ(stored(keys::PhotoWidth()), "350.9");
    EXPECT_EQ(stored(keys::PhotoHeight()), "260");
    // One key after the other: counts, speed, names, repeat, photo size.
    const std::string file = folder.read("peizhi.a");
    std::vector<const ConfigKey*> order;
    for (int level = 1; level <= 8; ++level) order.push_back(&keys::LevelCount(level));
    order.push_back(&keys::RollSpeed());
    for (int level = 1; level <= 8; ++level) order.push_back(&keys::LevelName(level));
    for (auto* k : {&keys::AllowRepeat(), &keys::PhotoWidth(), &keys::PhotoHeight()})
        order.push_back(k);
    size_t previous = 0;
    for (const ConfigKey* key : order) {
        size_t at = file.find("\r\n" + key->name + "=");
        ASSERT_NE(at, std::string::npos) << key->name;
        EXPECT_GT(at, previous) << key->name;
        previous = at;
    }
    // Designated winners, markers and the immediate check boxes are not the save's.
    EXPECT_FALSE(stored(keys::DesignatedWinner(1, 1)));
    EXPECT_FALSE(stored(keys::LevelPictureMarker(1)));
    EXPECT_FALSE(stored(keys::NoEffects()));

    EXPECT_EQ(control("图片框_照片").width(), 350);
    EXPECT_EQ(control("图片框_照片").height(), 260);
    std::vector<Text> listed;
    for (int level : {1, 2, 4, 5, 6, 7, 8}) listed.push_back(Gbk(kNames[level - 1]));
    EXPECT_EQ(selector().items(), listed);
    EXPECT_FALSE(control("外形框1").visible());
    EXPECT_EQ(lastMessage().text, Gbk("设置完毕！抽奖过程中，请不要再修改奖项设置！"));
    EXPECT_EQ(lastMessage().style, 0);
    EXPECT_EQ(lastMessage().caption, Gbk("信息："));
}

TEST_F(PrizeTable, SaveKeepsTheSelectedLevelWithItsPictureAndLimit) {
    begin();
    saveFullTable();
    makeFolder("奖品图片");
    folder.write("奖品图片/3.jpg", TinyJpeg());
    select("二等奖");
    type("编辑框_奖项人数3", "6");
    app::ShowPrizeArea(false);
    click("按钮_保存");

    EXPECT_EQ(selector().text(), Gbk("二等奖"));
    EXPECT_EQ(selector().chosenItem(), 2);
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), TinyJpeg());
    EXPECT_TRUE(control("图片框_奖品").visible());
    EXPECT_TRUE(control("分隔条_下").visible());
    EXPECT_EQ(app::State().draw.levelLimit, 7);

    // Without its picture file the box and its frame go.
    std::filesystem::remove(folder.diskPath("奖品图片/3.jpg"));
    click("按钮_保存");
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), Text());
    EXPECT_FALSE(control("图片框_奖品").visible());
    EXPECT_FALSE(control("分隔条_左").visible());
}

TEST_F(PrizeTable, ARenamedOrUnselectedLevelChangesNothingOfTheDraw) {
    begin();
    saveFullTable();
    select("一等奖");
    click("按钮_保存");
    ASSERT_EQ(app::State().draw.levelLimit, 3);

    type("编辑框_奖项2", "头奖");  // the selected name is gone from the list
    type("编辑框_奖项人数2", "9");
    click("按钮_保存");
    EXPECT_EQ(selector().text(), Text());
    EXPECT_EQ(app::State().draw.levelLimit, 3);

    // Nothing selected and an unnamed level with a picture: no level is meant.
    makeFolder("奖品图片");
    folder.write("奖品图片/4.jpg", TinyJpeg());
    type("编辑框_奖项4", "");
    click("按钮_保存");
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), Text());
    EXPECT_EQ(app::State().draw.levelLimit, 3);
}

TEST_F(PrizeTable, ASaveThatDoesNotReachTheDiskIsNotReportedAsDone) {
    begin();
    fillTable();
    SetWriteFailureAfterBytesForTest(0);
    click("按钮_保存");
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_FALSE(stored(keys::LevelName(1)));
    EXPECT_EQ(lastMessage().style, msg::kIconWarning);
    EXPECT_EQ(lastMessage().caption, Gbk("保存失败"));
    // The table is in force for this run all the same.
    EXPECT_EQ(selector().items().size(), 8u);
    EXPECT_FALSE(control("外形框1").visible());
}

TEST_F(PrizeTable, ChoosingAPictureCopiesItUnderTheLevelNumber) {
    begin();
    makeFolder("奖品图片");
    folder.write("prize.jpg", TinyJpeg());
    host.dialogs.fileAnswers = {Gbk(folder.path("prize.jpg"))};
    click("按钮_奖项5浏览");

    EXPECT_EQ(folder.read("奖品图片/5.jpg"), TinyJpeg());
    EXPECT_EQ(text("编辑框_奖项5图片"), Gbk("有图片"));
    EXPECT_EQ(text("编辑框_奖项1图片"), " ");
    ASSERT_EQ(host.dialogs.fileFilters.size(), 1u);
    EXPECT_EQ(host.dialogs.fileFilters[0], Gbk("图形文件(*.jpg)|*.jpg"));
    Control& dialog = control("通用对话框1");
    EXPECT_EQ(dialog.getText(prop::kFilter), Gbk("图形文件(*.jpg)|*.jpg"));
    EXPECT_EQ(dialog.getText(prop::kFileName), Gbk(folder.path("prize.jpg")));
    // The box shows it only when the level is next selected or the table saved.
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), Text());
}

TEST_F(PrizeTable, ACancelledChoiceOrAFailedCopyLeavesTheMarker) {
    begin();
    folder.write("prize.jpg", TinyJpeg());
    host.dialogs.fileAnswers = {std::nullopt, Gbk(folder.path("prize.jpg"))};
    click("按钮_奖项1浏览");  // cancelled
    click("按钮_奖项1浏览");  // no 奖品图片 folder
    EXPECT_EQ(host.dialogs.fileFilters.size(), 2u);
    EXPECT_EQ(text("编辑框_奖项1图片"), " ");
    EXPECT_FALSE(folder.exists("奖品图片"));
}

TEST_F(PrizeTable, ClearingDeletesThePictureAndEmptiesTheMarkerEvenWithoutAFile) {
    begin();
    makeFolder("奖品图片");
    folder.write("奖品图片/8.jpg", TinyJpeg());
    folder.write("奖品图片/7.jpg", TinyJpeg());
    type("编辑框_奖项8图片", "有图片");
    click("按钮_奖项8浏览1");
    EXPECT_FALSE(folder.exists("奖品图片/8.jpg"));
    EXPECT_TRUE(folder.exists("奖品图片/7.jpg"));
    EXPECT_EQ(text("编辑框_奖项8图片"), Text());

    type("编辑框_奖项8图片", " ");
    click("按钮_奖项8浏览1");
    EXPECT_EQ(text("编辑框_奖项8图片"), Text());
    EXPECT_TRUE(host.dialogs.messages.empty());
}

}  // namespace
}  // namespace ld::test
