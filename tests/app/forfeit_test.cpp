// Taking back the last winner of the current level.
#include <gtest/gtest.h>

#include "draw_fixture.h"

namespace ld {
namespace {

using app::Stage;

const char* const kResults = "抽奖结果.txt";

class Forfeit : public test::DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        disableEffects(true);
    }
    void forfeit() { Stage().menuItem(Gbk("放弃当前中奖人")).selected(Stage().self(), args); }
    bool refused() { return lastMessageIs("当前奖项没有可以放弃的中奖人！", 0, "信息："); }
    EventArgs args;
};

TEST_F(Forfeit, ACompletedLevelOpensAgainAndStaysOpen) {
    setLevel(2, "一等奖", "3");
    setPool({"A", "B", "C", "D", "E"});
    choose("一等奖");
    for (int i = 0; i < 3; ++i) drawOne();
    click();
    ASSERT_TRUE(lastMessageIs("本奖项抽取完毕", 0, "信息提示"));
    const Text threeWinners = folder.read(kResults);
    control("透明标签_恭喜").setTextValue("x");
    control("图片框_照片").setVisible(true);
    const Text pool = state().poolText;
    const auto picks = state().pickLogList;

    forfeit();
    EXPECT_TRUE(lastMessageIs("确定放弃当前中奖人的奖项吗？", 1, "确定放弃当前奖项？"));
    EXPECT_EQ(state().nextOrdinal, 3);
    EXPECT_EQ(control("透明标签_抽取进度").text(), Gbk("一等奖 已抽取2名"));
    EXPECT_EQ(state().doneMark[1], 2);
    EXPECT_EQ(state().savedDrawn[1], 2);
    EXPECT_EQ(control("透明标签_恭喜").text(), "");
    EXPECT_FALSE(control("图片框_照片").visible());
    EXPECT_EQ(control("图片框_照片").getText(prop::kPicture), "");
    EXPECT_EQ(folder.read(kResults), threeWinners + ForfeitLine());
    EXPECT_EQ(state().poolText, pool);  // the forfeited participant does not come back
    EXPECT_EQ(state().pickLogList, picks);

    choose("一等奖");  // re-selected: the forfeited draw does not come back
    EXPECT_EQ(state().nextOrdinal, 3);
    const size_t shown = messages().size();
    drawOne();
    EXPECT_EQ(messages().size(), shown);  // the start was accepted
    EXPECT_EQ(folder.read(kResults),
              threeWinners + ForfeitLine() + WinnerLine(state().pickedName, Gbk("一等奖")));
    EXPECT_EQ(state().savedDrawn[1], 3);
}

TEST_F(Forfeit, ASecondForfeitInARowIsRefused) {
    setLevel(1, "特等奖", "3");
    setPool({"A", "B"});
    choose("特等奖");
    drawOne();
    forfeit();
    const Text results = state().resultsText;
    const size_t shown = messages().size();
    forfeit();
    EXPECT_EQ(messages().size(), shown + 1);  // no question asked
    EXPECT_TRUE(refused());
    EXPECT_EQ(state().resultsText, results);
    EXPECT_EQ(state().nextOrdinal, 1);
}

TEST_F(Forfeit, RefusedWithoutAWinnerOfTheCurrentLevel) {
    setLevel(1, "特等奖", "3");
    setLevel(2, "一等奖", "3");
    setPool({"A", "B", "C"});
    choose("特等奖");
    forfeit();  // ordinal 1: nobody drawn yet
    EXPECT_TRUE(refused());
    EXPECT_EQ(messages().size(), 1u);

    drawOne();  // 特等奖 1
    choose("一等奖");
    drawOne();         // 一等奖 1
    choose("特等奖");  // ordinal 2, but the last line is 一等奖's
    EXPECT_EQ(state().nextOrdinal, 2);
    const Text results = state().resultsText;
    forfeit();
    EXPECT_TRUE(refused());
    EXPECT_EQ(state().resultsText, results);
    EXPECT_EQ(state().savedDrawn[0], 1);

    choose("一等奖");
    forfeit();
    EXPECT_TRUE(lastMessageIs("确定放弃当前中奖人的奖项吗？", 1, "确定放弃当前奖项？"));
    EXPECT_TRUE(state().resultsText.ends_with(ForfeitLine()));
}

TEST_F(Forfeit, CancelChangesNothing) {
    setLevel(1, "特等奖", "3");
    setPool({"A", "B"});
    choose("特等奖");
    drawOne();
    const Text results = state().resultsText;
    const Text progress = control("透明标签_抽取进度").text();
    host.dialogs.messageAnswers = {msg::kAnswerCancel};
    forfeit();
    EXPECT_EQ(state().resultsText, results);
    EXPECT_EQ(state().nextOrdinal, 2);
    EXPECT_EQ(control("透明标签_抽取进度").text(), progress);
}

}  // namespace
}  // namespace ld
