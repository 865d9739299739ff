// Choosing a level from the selector: its saved ordinal, limit, prize picture and frame.
#include <gtest/gtest.h>

#include <filesystem>

#include "draw_fixture.h"

namespace ld {
namespace {

class LevelSelection : public test::DrawTest {
protected:
    void writePrize(int level, const std::string& bytes) {
        std::filesystem::create_directories(folder.diskPath("奖品图片"));
        folder.write("奖品图片/" + std::to_string(level) + ".jpg", bytes);
    }
    bool prizeAreaVisible(bool visible) {
        for (const char* name : {"图片框_奖品", "分隔条_左", "分隔条_右", "分隔条_上", "分隔条_下",
                                 "透明标签_奖品名称"}) {
            if (control(name).visible() != visible) return false;
        }
        return true;
    }
};

TEST_F(LevelSelection, ASavedLevelContinuesAfterItsLastWinner) {
    disableEffects(true);
    setLevel(3, "二等奖", "5");
    setPool({"A", "B", "C"});
    state().savedDrawn[2] = 2;
    control("透明标签_恭喜").setVisible(true);
    control("图片框_照片").setVisible(true);
    host.gui.focused = nullptr;
    choose("二等奖");
    EXPECT_EQ(state().nextOrdinal, 3);
    EXPECT_EQ(state().levelLimit, 6);
    const Text progress = Gbk("二等奖 已抽取2名");
    EXPECT_EQ(control("透明标签_抽取进度").text(), progress);
    EXPECT_EQ(control("透明标签_抽取进度").width(), 11 * static_cast<int>(progress.size()));
    EXPECT_EQ(control("透明标签_奖品名称").text(), Gbk("二等奖"));
    EXPECT_FALSE(control("透明标签_恭喜").visible());
    EXPECT_FALSE(control("图片框_照片").visible());
    EXPECT_EQ(host.gui.focused, &control("超级按钮"));

    drawOne();
    EXPECT_EQ(control("透明标签_抽取进度").text(), Gbk("二等奖 已抽取3名"));
    EXPECT_EQ(state().savedDrawn[2], 3);
}

TEST_F(LevelSelection, ANeverDrawnLevelStartsAtOneAndKeepsTheOldProgressText) {
    setLevel(1, "特等奖", "1");
    state().nextOrdinal = 7;
    control("透明标签_抽取进度").setTextValue(Gbk("一等奖 已抽取4名"));
    choose("特等奖");
    EXPECT_EQ(state().nextOrdinal, 1);
    EXPECT_EQ(control("透明标签_抽取进度").text(), Gbk("一等奖 已抽取4名"));
    EXPECT_EQ(state().levelLimit, 2);
}

TEST_F(LevelSelection, TheFirstOfTwoLevelsWithTheSameNameCounts) {
    setLevel(2, "一等奖", "4");
    setLevel(3, "一等奖", "9");
    writePrize(2, test::SolidJpeg(16, 200));
    writePrize(3, test::SolidJpeg(16, 10));
    state().savedDrawn[1] = 1;
    state().savedDrawn[2] = 5;
    choose("一等奖");
    EXPECT_EQ(state().nextOrdinal, 2);
    EXPECT_EQ(state().levelLimit, 5);
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), test::SolidJpeg(16, 200));

    disableEffects(true);
    setPool({"A"});
    drawOne();
    EXPECT_EQ(state().savedDrawn[1], 2);
    EXPECT_EQ(state().savedDrawn[2], 5);
}

TEST_F(LevelSelection, ThePrizePictureIsShownInItsFrameOrHiddenWithIt) {
    setLevel(1, "特等奖", "1");
    setLevel(2, "一等奖", "1");
    writePrize(1, test::SolidJpeg(16, 200));
    Control& box = control("图片框_奖品");
    box.setLeft(700);
    box.setTop(420);
    choose("特等奖");
    EXPECT_TRUE(prizeAreaVisible(true));
    EXPECT_EQ(control("分隔条_左").left(), 700);
    EXPECT_EQ(control("分隔条_右").left(), 700 + box.width());
    EXPECT_EQ(control("分隔条_上").top(), 420);
    EXPECT_EQ(control("分隔条_下").top(), 420 + box.height());
    EXPECT_EQ(control("分隔条_上").width(), box.width());

    choose("一等奖");  // no 奖品图片/2.jpg
    EXPECT_TRUE(prizeAreaVisible(false));
    EXPECT_EQ(box.getText(prop::kPicture), "");
}

TEST_F(LevelSelection, ACompletedLevelWarnsButIsSelectedAndRefusedAtTheStart) {
    setLevel(1, "特等奖", "2");
    setLevel(4, "三等奖", "4");
    setPool({"A", "B"});
    state().doneMark[3] = 4;
    state().savedDrawn[3] = 4;
    choose("特等奖");
    choose("三等奖");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(lastMessageIs("没有本奖项或本奖项已经抽取完毕！", 0, "信息："));
    EXPECT_EQ(control("透明标签_奖品名称").text(), Gbk("三等奖"));
    EXPECT_EQ(state().nextOrdinal, 5);
    click();
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_TRUE(lastMessageIs("没有本奖项或本奖项已经抽取完毕！", 0, "信息："));
    EXPECT_EQ(caption(), Gbk("开始抽奖"));
}

TEST_F(LevelSelection, ATextThatNamesNoLevelKeepsTheLimitAndPicture) {
    setLevel(1, "特等奖", "3");
    writePrize(1, test::SolidJpeg(16, 200));
    choose("特等奖");
    state().nextOrdinal = 3;
    setLevel(1, "大奖", "3");  // renamed in the panel, not saved: the item stays
    Control& selector = control("组合框1");
    selector.chooseItem(0);
    raise("组合框1", ev::kItemChosen);
    EXPECT_EQ(state().nextOrdinal, 1);
    EXPECT_EQ(state().levelLimit, 4);
    EXPECT_EQ(control("透明标签_奖品名称").text(), Gbk("特等奖"));
    EXPECT_EQ(control("图片框_奖品").getText(prop::kPicture), test::SolidJpeg(16, 200));
}

}  // namespace
}  // namespace ld
