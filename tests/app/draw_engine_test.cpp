// Whole draws through the draw screen: what each stop shows and records, the pool, the pick
// log, the counters, the refusals and their messages, designated winners.
#include <gtest/gtest.h>

#include "app/common/draw_files.h"
#include "app/draw/winner_sound.h"
#include "draw_fixture.h"
#include "services/files.h"

namespace ld {
namespace {

using app::Stage;
using test::DrawTest;
using test::SolidJpeg;

const char* const kResults = "抽奖结果.txt";

class DrawEngine : public DrawTest {};

TEST_F(DrawEngine, ALevelDrawnToItsCount) {
    folder.write("zj.txt", "");
    setLevel(2, "一等奖", "3");
    setPool({"张三", "李四", "王五", "赵六"});
    choose("一等奖");

    Text results, pickLog;
    for (int ordinal = 1; ordinal <= 3; ++ordinal) {
        const Text poolBefore = state().poolText;
        click();
        EXPECT_EQ(caption(), Gbk("停止抽奖"));
        EXPECT_TRUE(control("图片框_照片").visible());
        EXPECT_EQ(state().rollList, SplitPool(poolBefore));
        click();
        const Text picked = state().pickedName;
        ASSERT_EQ(std::count(state().rollList.begin(), state().rollList.end(), picked), 1);
        results += WinnerLine(picked, Gbk("一等奖"));
        pickLog += picked + "\r\n";

        Text poolAfter = poolBefore;
        ASSERT_TRUE(DrawState::RemovePoolLine(poolAfter, picked));
        EXPECT_EQ(state().poolText, poolAfter);
        EXPECT_EQ(folder.read(kResults), results);
        EXPECT_EQ(folder.read("zj.txt"), pickLog);
        EXPECT_EQ(control("透明标签_中奖人").text(), picked);
        EXPECT_FALSE(control("透明标签_中奖人").visible());
        EXPECT_EQ(control("透明标签_恭喜").text(),
                  Gbk("恭喜您： ") + picked + "  " + Gbk("一等奖"));
        const Text progress = Gbk("一等奖 已抽取") + std::to_string(ordinal) + Gbk("名");
        EXPECT_EQ(control("透明标签_抽取进度").text(), progress);
        EXPECT_EQ(control("透明标签_抽取进度").width(), 11 * static_cast<int>(progress.size()));
        EXPECT_EQ(state().savedDrawn[1], ordinal);
        EXPECT_EQ(state().nextOrdinal, ordinal + 1);
        EXPECT_EQ(host.sound.sounds.back(), app::WinnerSound());
        host.loop.advance(200);
    }
    EXPECT_EQ(state().pickLogList.size(), 3u);
    EXPECT_TRUE(messages().empty());

    click();
    EXPECT_TRUE(lastMessageIs("本奖项抽取完毕", 0, "信息提示"));
    EXPECT_EQ(state().doneMark[1], 3);
    click();
    EXPECT_TRUE(lastMessageIs("没有本奖项或本奖项已经抽取完毕！", 0, "信息："));
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_EQ(caption(), Gbk("开始抽奖"));
    EXPECT_EQ(folder.read(kResults), results);
}

TEST_F(DrawEngine, RepeatsAllowedLeaveThePoolAlone) {
    allowRepeats(true);
    setLevel(1, "特等奖", "5");
    setPool({"A", "B"});
    const Text pool = state().poolText;
    choose("特等奖");
    for (int i = 0; i < 5; ++i) drawOne();
    EXPECT_EQ(state().poolText, pool);
    EXPECT_EQ(state().pickLogList.size(), 5u);
    EXPECT_FALSE(folder.exists("zj.txt"));  // never created by a stop
}

TEST_F(DrawEngine, AnEmptyPoolAndAnEmptySelectorAreRefused) {
    // Every level named: an empty selector would otherwise name an unnamed level, which
    // with its count of 0 counts as complete.
    const char* names[] = {"特等奖", "一等奖", "二等奖", "三等奖",
                           "四等奖", "五等奖", "六等奖", "七等奖"};
    for (int level = 1; level <= 8; ++level) setLevel(level, names[level - 1], "5");
    setPool({"A"});
    click();
    EXPECT_TRUE(lastMessageIs("您没有选择任何奖项，请选择！", 0, "信息提示"));

    choose("特等奖");
    drawOne();
    control("透明标签_中奖人").setVisible(true);
    click();
    EXPECT_TRUE(
        lastMessageIs("信息提示：\r\n\r\n1、可能是提供的照片数量已经抽完\r\n\r\n"
                      "2、可能是PHOTO文件夹下没有照片",
                      16, "提示"));
    EXPECT_EQ(control("透明标签_恭喜").text(), "");
    EXPECT_FALSE(control("透明标签_中奖人").visible());
    EXPECT_EQ(caption(), Gbk("开始抽奖"));
    EXPECT_EQ(host.loop.runningTimers(), 0u);
}

TEST_F(DrawEngine, AStartThatWouldLeaveNobodyToRollIsRefused) {
    setLevel(1, "特等奖", "2");
    designate(1, 1, "甲");
    designate(1, 2, "乙");
    setPool({"甲", "乙"});
    Stage().setMenuChecked(Gbk("启用背景音乐"), true);
    choose("特等奖");
    click();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages().back().style, 16);
    EXPECT_EQ(caption(), Gbk("开始抽奖"));
    EXPECT_EQ(control("时钟_取随机").getInt(prop::kInterval), 0);
    EXPECT_TRUE(host.sound.playlists.empty());
    EXPECT_EQ(state().poolText, Lines({Gbk("甲"), Gbk("乙")}));
}

TEST_F(DrawEngine, MusicPlaysWhileRollingWhenEnabled) {
    setLevel(1, "特等奖", "2");
    setPool({"A", "B"});
    Stage().setMenuChecked(Gbk("启用背景音乐"), true);
    choose("特等奖");
    click();
    ASSERT_EQ(host.sound.playlists.size(), 1u);
    EXPECT_EQ(host.sound.playlists[0], std::vector<Text>{ProgramDirectory() + "/wav/bjyy.mp3"});
    click();
    EXPECT_FALSE(host.sound.musicPlaying);
}

// Count 5 with all three designated: the last three draws show them, third to first.
TEST_F(DrawEngine, DesignatedWinnersTakeTheLastThreeDraws) {
    setLevel(1, "特等奖", "5");
    designate(1, 1, "一号");
    designate(1, 2, "二号");
    designate(1, 3, "三号");
    setPool({"一号", "A", "二号", "B", "C", "三号", "D", "E"});
    writePhoto("二号", SolidJpeg(8, 200));
    choose("特等奖");

    std::vector<Text> shown;
    for (int i = 0; i < 5; ++i) {
        click();
        if (i == 0) {
            EXPECT_EQ(state().poolText, Lines({"A", "B", "C", "D", "E"}));
        }
        click();
        shown.push_back(control("透明标签_中奖人").text());
        if (i == 3) {
            EXPECT_EQ(shownPicture(), SolidJpeg(8, 200));  // the designated one's photo
        } else if (i == 4) {
            EXPECT_EQ(shownPicture(), "");  // 一号 has none
        }
        host.loop.advance(200);
    }
    EXPECT_EQ(shown[2], Gbk("三号"));
    EXPECT_EQ(shown[3], Gbk("二号"));
    EXPECT_EQ(shown[4], Gbk("一号"));
    // The random picks were logged and left the pool all the same.
    ASSERT_EQ(state().pickLogList.size(), 5u);
    Text pool = Lines({"A", "B", "C", "D", "E"});
    for (const Text& pick : state().pickLogList) EXPECT_TRUE(DrawState::RemovePoolLine(pool, pick));
    EXPECT_EQ(state().poolText, "");
    Text expected;
    for (const Text& name : shown) expected += WinnerLine(name, Gbk("特等奖"));
    EXPECT_EQ(folder.read(kResults), expected);
}

TEST_F(DrawEngine, EachDesignatedFieldTakesOneLineOutOfThePool) {
    setLevel(1, "特等奖", "3");
    setLevel(2, "一等奖", "3");
    designate(1, 1, "甲");
    designate(2, 3, "甲");
    designate(2, 2, "乙");
    setPool({"甲", "乙", "丙", "甲", "乙", "甲"});
    choose("特等奖");
    click();
    EXPECT_EQ(state().poolText, Lines({Gbk("丙"), Gbk("乙"), Gbk("甲")}));
    EXPECT_EQ(state().rollList.size(), 3u);
}

TEST_F(DrawEngine, DesignatedWinnersOfSmallLevels) {
    setLevel(1, "二等奖", "2");
    setLevel(2, "三等奖", "1");
    for (int level : {1, 2}) {
        designate(level, 1, "一号");
        designate(level, 2, "二号");
        designate(level, 3, "三号");
    }
    allowRepeats(true);  // designated winners stay in the pool and may also come up
    setPool({"A", "B", "C"});
    choose("二等奖");
    drawOne();
    EXPECT_EQ(control("透明标签_中奖人").text(), Gbk("二号"));
    drawOne();
    EXPECT_EQ(control("透明标签_中奖人").text(), Gbk("一号"));
    choose("三等奖");
    drawOne();
    EXPECT_EQ(control("透明标签_中奖人").text(), Gbk("一号"));
}

TEST_F(DrawEngine, PhotosOutsideThePhotoFolderAreNotOpened) {
    folder.write("secret.jpg", SolidJpeg(8, 10));
    writePhoto("A", SolidJpeg(8, 90));
    setLevel(1, "特等奖", "2");
    setPool({"../secret"});
    choose("特等奖");
    drawOne();
    EXPECT_EQ(state().pickedName, "../secret");
    EXPECT_EQ(shownPicture(), "");

    setPool({"A"});
    drawOne();
    EXPECT_EQ(shownPicture(), SolidJpeg(8, 90));
}

TEST_F(DrawEngine, AFailedResultsWriteIsReportedOnceUntilAWriteSucceeds) {
    disableEffects(true);
    setLevel(1, "特等奖", "9");
    setPool({"A", "B", "C", "D"});
    choose("特等奖");
    SetWriteFailureAfterBytesForTest(0);
    drawOne();
    EXPECT_TRUE(lastMessageIs("抽奖结果保存失败，请检查磁盘！", 48, "警告"));
    drawOne();
    EXPECT_EQ(messages().size(), 1u);
    SetWriteFailureAfterBytesForTest(-1);
    drawOne();
    EXPECT_EQ(folder.read(kResults), state().resultsText);  // the whole text, late lines too
    SetWriteFailureAfterBytesForTest(0);
    drawOne();
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_EQ(state().nextOrdinal, 5);
}

}  // namespace
}  // namespace ld
