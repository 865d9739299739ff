// The titles and the four font commands.
#include "settings_fixture.h"

namespace ld::test {
namespace {

using Appearance = SettingsTest;

TEST_F(Appearance, TheMainTitleStartsFromTheStoredOneAndIsStoredWithoutCjini) {
    begin();
    choose("更换主标题");  // cancelled: nothing changes
    ASSERT_EQ(host.dialogs.inputs.size(), 1u);
    EXPECT_EQ(host.dialogs.inputs[0].prompt, Gbk("请输入主标题"));
    EXPECT_EQ(host.dialogs.inputs[0].caption, Gbk("请输入主标题"));
    EXPECT_EQ(host.dialogs.inputs[0].initial, Gbk("某某公司现场抽奖仪式"));
    EXPECT_FALSE(host.dialogs.inputs[0].masked);
    EXPECT_FALSE(stored(keys::MainTitle()));

    host.dialogs.inputAnswers = {Gbk("新年晚会")};
    choose("更换主标题");
    EXPECT_EQ(text("透明标签_主标题"), Gbk("新年晚会"));
    EXPECT_EQ(text("编辑框1"), Gbk("新年晚会"));
    EXPECT_EQ(stored(keys::MainTitle()), Gbk("新年晚会"));
    EXPECT_FALSE(folder.exists("cjini.txt"));  // never created

    // The next box starts from the key, not from the screen.
    control("透明标签_主标题").setTextValue("other");
    choose("更换主标题");
    EXPECT_EQ(host.dialogs.inputs.back().initial, Gbk("新年晚会"));
}

TEST_F(Appearance, AShorterTitleReplacesAllOfCjini) {
    folder.write("cjini.txt", Gbk("某某集团二〇二四年度颁奖典礼暨抽奖晚会"));
    begin();
    host.dialogs.inputAnswers = {Gbk("年会")};
    choose("更换主标题");
    EXPECT_EQ(folder.read("cjini.txt"), Gbk("年会"));  // no tail, no line break
    EXPECT_EQ(text("透明标签_主标题"), Gbk("年会"));
    EXPECT_EQ(stored(keys::MainTitle()), Gbk("年会"));
}

TEST_F(Appearance, TheSubtitleHasItsOwnPromptAndKey) {
    begin();
    const Text before = text("透明标签_副标题");
    choose("更换副标题");
    EXPECT_EQ(text("透明标签_副标题"), before);
    EXPECT_FALSE(stored(keys::Subtitle()));

    host.dialogs.inputAnswers = {Gbk("第二行")};
    choose("更换副标题");
    EXPECT_EQ(host.dialogs.inputs.back().prompt, Gbk("请输入副标题"));
    EXPECT_EQ(host.dialogs.inputs.back().caption, Gbk("请输入副标题"));
    EXPECT_EQ(host.dialogs.inputs.back().initial, Gbk("某某公司现场抽奖仪式"));
    EXPECT_EQ(text("透明标签_副标题"), Gbk("第二行"));
    EXPECT_EQ(stored(keys::Subtitle()), Gbk("第二行"));
    EXPECT_FALSE(stored(keys::MainTitle()));
}

TEST_F(Appearance, AChosenFontDressesTheLabelAndIsStoredFaceSizeColour) {
    begin();
    FontChoice choice;
    choice.face = Gbk("黑体");
    choice.points = 20;
    choice.bold = true;
    choice.italic = true;
    choice.color = 0x0000FF00;
    host.dialogs.fontAnswers = {choice};
    choose("主标题");

    Control& label = control("透明标签_主标题");
    const FontValue font = label.getFont(prop::kTransFont);
    EXPECT_EQ(font.face, Gbk("黑体"));
    EXPECT_EQ(font.points, 20);
    EXPECT_EQ(font.pixels, 0);
    EXPECT_TRUE(font.bold && font.italic && !font.underline);
    EXPECT_EQ(label.getInt(prop::kTextColor), 0x0000FF00);
    EXPECT_EQ(label.height(), 36);
    EXPECT_EQ(stored(ConfigSection::Yanse, "主标题字体"), Gbk("黑体"));
    EXPECT_EQ(stored(ConfigSection::Yanse, "主标题字体大小"), "20");
    EXPECT_EQ(stored(ConfigSection::Yanse, "主标题字体颜色"), "65280");
    const std::string file = folder.read("peizhi.a");
    EXPECT_LT(file.find(Gbk("主标题字体=")), file.find(Gbk("主标题字体大小=")));
    EXPECT_LT(file.find(Gbk("主标题字体大小=")), file.find(Gbk("主标题字体颜色=")));
    // The dialog control carries the choice.
    Control& dialog = control("通用对话框_字体设置");
    EXPECT_EQ(dialog.getText(prop::kFontName), Gbk("黑体"));
    EXPECT_TRUE(dialog.getBool(prop::kItalic));

    // The congratulation line is twice its size high; the hidden winner item works too.
    host.dialogs.fontAnswers = {choice, choice};
    choose("抽奖结果");
    EXPECT_EQ(control("透明标签_恭喜").height(), 40);
    EXPECT_EQ(stored(ConfigSection::Yanse, "恭喜字体大小"), "20");
    choose("滚动抽取");
    EXPECT_EQ(control("透明标签_中奖人").height(), 36);
    EXPECT_EQ(stored(ConfigSection::Yanse, "中奖人字体颜色"), "65280");
}

TEST_F(Appearance, ACancelledFontDialogStillStoresTheCurrentFont) {
    begin();
    Control& label = control("透明标签_副标题");
    FontValue current;
    current.face = Gbk("幼圆");
    current.points = 30;
    label.set(prop::kTransFont, Value{current});
    label.setInt(prop::kTextColor, 0x00FFFFFF);
    choose("副标题");

    ASSERT_EQ(host.dialogs.fontsOffered.size(), 1u);  // offered what the label shows
    EXPECT_EQ(host.dialogs.fontsOffered[0].face, Gbk("幼圆"));
    EXPECT_EQ(host.dialogs.fontsOffered[0].points, 30);
    EXPECT_EQ(host.dialogs.fontsOffered[0].color, 0x00FFFFFFu);
    EXPECT_EQ(label.getFont(prop::kTransFont), current);
    EXPECT_EQ(stored(ConfigSection::Yanse, "副标题字体"), Gbk("幼圆"));
    EXPECT_EQ(stored(ConfigSection::Yanse, "副标题字体大小"), "30");
    EXPECT_EQ(stored(ConfigSection::Yanse, "副标题字体颜色"), "16777215");
    EXPECT_EQ(label.height(), 54);
}

}  // namespace
}  // namespace ld::test
