// Batch draws: several winners of a level at one stop, shown as a grid, recorded in tile
// order; designated winners by ordinal; the per-draw counts and their window.
#include "app/draw/batch_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/common/draw_recovery.h"
#include "app/common/results_ledger.h"
#include "app/draw/draw_levels.h"
#include "app/startup/exit_program.h"
#include "app/startup/stage_startup.h"
#include "app/tools/event_tools.h"
#include "draw_fixture.h"
#include "export/export_rows.h"
#include "export/winners_file.h"
#include "services/profile.h"

namespace ld::test {
namespace {

class BatchDraw : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        disableEffects(true);
    }
    void perDraw(const std::string& level, const std::string& value) {
        WriteConfigText(ConfigStore::path(), "zbt", Gbk(level + "每次人数"), value);
    }
    Text stored(const std::string& key) {
        return ReadConfigText(ConfigStore::path(), "zbt", Gbk(key), "absent");
    }
    void pool(int n, const std::string& prefix = "p") {
        state().poolText.clear();
        for (int i = 1; i <= n; ++i) state().poolText += prefix + std::to_string(i) + "\r\n";
    }
    std::vector<Text> tileNames() {
        std::vector<Text> names;
        if (host.gui.batchGrid)
            for (const BatchTile& tile : host.gui.batchGrid->tiles) names.push_back(tile.name);
        return names;
    }
    // The winners of the results text, in order (forfeit markers left out).
    std::vector<Text> winners() {
        std::vector<Text> names;
        for (const Text& line : SplitPool(state().resultsText)) {
            const size_t at = line.find("  ------  ");
            if (at != Text::npos) names.push_back(line.substr(0, at));
        }
        return names;
    }
    static bool Distinct(std::vector<Text> names) {
        std::sort(names.begin(), names.end());
        return std::adjacent_find(names.begin(), names.end()) == names.end();
    }
    void menu(std::string_view utf8Caption) {
        EventArgs args;
        app::Stage().menuItem(Gbk(utf8Caption)).selected(app::Stage().self(), args);
    }
};

TEST_F(BatchDraw, TilesAtTheLevelsRemainderAndThePoolThenOneCelebration) {
    folder.write("zj.txt", "");
    setLevel(2, "一等奖", "8");
    setLevel(3, "二等奖", "10");
    perDraw("一等奖", "5");
    perDraw("二等奖", "80");  // taken as 50
    pool(12);
    choose("一等奖");
    disableEffects(false);

    click();
    ASSERT_TRUE(host.gui.batchGrid);
    EXPECT_EQ(host.gui.batchGrid->tiles.size(), 5u);
    EXPECT_FALSE(control("图片框_照片").visible());
    const int updates = host.gui.batchGridUpdates;
    host.loop.advance(90);  // three ticks: every tile rolls, no name shows
    EXPECT_GE(host.gui.batchGridUpdates, updates + 3);
    EXPECT_EQ(tileNames(), std::vector<Text>(5));
    const size_t celebrations = std::count(host.gui.loaded.begin(), host.gui.loaded.end(),
                                           Text("CelebrationWindow"));
    const size_t sounds = host.sound.sounds.size();
    click();
    const std::vector<Text> first = tileNames();
    ASSERT_EQ(first.size(), 5u);
    EXPECT_TRUE(Distinct(first));
    EXPECT_EQ(winners(), first);  // one line each, in tile order
    EXPECT_EQ(folder.read("抽奖结果.txt"), state().resultsText);
    EXPECT_EQ(SplitPool(folder.read("zj.txt")), first);
    EXPECT_EQ(host.gui.batchGrid->caption, Gbk("恭喜以下 5 位获得 一等奖"));
    EXPECT_EQ(control("透明标签_恭喜").text(), Gbk("恭喜以下 5 位获得 一等奖"));
    EXPECT_EQ(control("透明标签_中奖人").text(), first.back());
    EXPECT_EQ(control("透明标签_抽取进度").text(), Gbk("一等奖 已抽取5名"));
    EXPECT_EQ(state().savedDrawn[1], 5);
    EXPECT_EQ(state().nextOrdinal, 6);
    EXPECT_EQ(host.sound.sounds.size(), sounds + 1);
    EXPECT_EQ(std::count(host.gui.loaded.begin(), host.gui.loaded.end(),
                         Text("CelebrationWindow")),
              celebrations + 1);
    EXPECT_EQ(SplitPool(state().poolText).size(), 7u);
    host.loop.advance(5000);
    disableEffects(true);

    drawOne();  // three of the level are left
    EXPECT_EQ(tileNames().size(), 3u);
    EXPECT_EQ(state().savedDrawn[1], 8);
    choose("二等奖");  // another level hides the grid
    EXPECT_FALSE(host.gui.batchGrid);
    drawOne();  // four names are left in the pool
    EXPECT_EQ(tileNames().size(), 4u);
    EXPECT_EQ(winners().size(), 12u);
    EXPECT_TRUE(Distinct(winners()));
    click();
    EXPECT_TRUE(lastMessageIs("信息提示：\r\n\r\n1、可能是提供的照片数量已经抽完\r\n\r\n"
                              "2、可能是PHOTO文件夹下没有照片",
                              16, "提示"));
}

TEST_F(BatchDraw, FiftyTilesAndTheirWholePhotos) {
    setLevel(1, "特等奖", "100");
    perDraw("特等奖", "50");
    pool(60, "n");
    writePhoto("n7", PhotoWithPreview(200));
    choose("特等奖");
    drawOne();
    ASSERT_EQ(tileNames().size(), 50u);
    for (const BatchTile& tile : host.gui.batchGrid->tiles) {
        // The whole photo is named for the host to decode; the tile shows the preview first.
        if (tile.name != "n7") continue;
        EXPECT_TRUE(std::filesystem::exists(tile.photoFile));
        EXPECT_FALSE(tile.picture.empty());
    }
    const BatchGridView& grid = *host.gui.batchGrid;
    // Between the titles and the selector row, within the stage.
    EXPECT_GE(grid.top, control("透明标签_副标题").top() + control("透明标签_副标题").height());
    EXPECT_LE(grid.top + grid.height, control("超级按钮").top());
    EXPECT_GE(grid.left, 0);
    EXPECT_LE(grid.left + grid.width, app::Stage().self().width());

    // With the prize picture shown on the right, the grid keeps to its left.
    Control& prize = control("图片框_奖品");
    prize.setLeft(1400);
    prize.setTop(300);
    prize.setVisible(true);
    control("透明标签_奖品名称").setVisible(false);
    drawOne();
    EXPECT_LT(host.gui.batchGrid->left + host.gui.batchGrid->width, 1400 - 2);
}

TEST_F(BatchDraw, RepeatsAllowedNeverShowANameTwiceInABatch) {
    allowRepeats(true);
    setLevel(2, "一等奖", "12");
    perDraw("一等奖", "5");
    designate(2, 1, "甲");  // the level's first prize, its twelfth draw
    setPool({"甲", "A", "B", "C", "D", "E"});
    choose("一等奖");
    for (size_t size : {5u, 5u, 2u}) {
        drawOne();
        ASSERT_EQ(tileNames().size(), size);
        EXPECT_TRUE(Distinct(tileNames()));
    }
    EXPECT_EQ(tileNames().back(), Gbk("甲"));
    // The designated winner is never a random pick; the pool keeps everybody.
    EXPECT_EQ(std::count(state().pickLogList.begin(), state().pickLogList.end(), Gbk("甲")), 0);
    EXPECT_EQ(SplitPool(state().poolText).size(), 6u);
}

TEST_F(BatchDraw, DesignatedWinnersAtEveryPositionOfABatch) {
    pool(40);
    // Levels 1 … 5 of six winners each, drawing 2 … 6 at a time: the designated third,
    // second and first (ordinals 4, 5, 6) fall at the start, inside and at the end of
    // batches, and once on a single stop.
    for (int level = 1; level <= 5; ++level) {
        const std::string name = "L" + std::to_string(level);
        setLevel(level, name, "6");
        const char* const words[] = {"特等奖", "一等奖", "二等奖", "三等奖", "四等奖"};
        perDraw(words[level - 1], std::to_string(level + 1));
        designate(level, 3, "third" + name);
        designate(level, 2, "second" + name);
        designate(level, 1, "first" + name);
    }
    for (int level = 1; level <= 5; ++level) {
        const std::string name = "L" + std::to_string(level);
        choose(name);
        const size_t before = winners().size();
        const size_t picksBefore = state().pickLogList.size();
        while (state().nextOrdinal <= 6) drawOne();
        const std::vector<Text> all = winners();
        const std::vector<Text> level6(all.begin() + static_cast<long>(before), all.end());
        ASSERT_EQ(level6.size(), 6u) << name;
        EXPECT_EQ(level6[3], "third" + name);
        EXPECT_EQ(level6[4], "second" + name);
        EXPECT_EQ(level6[5], "first" + name);
        EXPECT_EQ(state().pickLogList.size(), picksBefore + 6);  // every tile was a pick
    }
    EXPECT_EQ(SplitPool(state().poolText).size(), 10u);
    EXPECT_TRUE(Distinct(winners()));
}

TEST_F(BatchDraw, AForfeitAfterABatchThenExitAndResume) {
    folder.write("peizhi.a", Gbk("[zbt]\r\n一等奖=一等奖\r\n一等奖人数=10\r\n一等奖每次人数=4\r\n"));
    setLevel(2, "一等奖", "10");
    pool(20);
    choose("一等奖");
    drawOne();
    const std::vector<Text> batch = tileNames();
    ASSERT_EQ(batch.size(), 4u);
    EXPECT_EQ(ReadRecoveryRecord()->resultsText, state().resultsText);  // one record

    host.dialogs.listAnswers = {3};  // the last tile's winner
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    menu("放弃当前中奖人");
    ASSERT_EQ(host.dialogs.listsShown.size(), 1u);
    EXPECT_EQ(host.dialogs.listsShown[0], batch);
    EXPECT_TRUE(
        lastMessageIs("确定放弃 " + batch[3] + " 的一等奖奖项吗？", 1, "确定放弃当前奖项？"));
    // The others stay on the stage, the given-up tile marked.
    EXPECT_EQ(tileNames(),
              (std::vector<Text>{batch[0], batch[1], batch[2], batch[3] + Gbk("（放弃）")}));
    EXPECT_EQ(state().nextOrdinal, 4);
    EXPECT_EQ(state().savedDrawn[1], 3);
    EXPECT_EQ(control("透明标签_抽取进度").text(), Gbk("一等奖 已抽取3名"));
    EXPECT_TRUE(state().resultsText.ends_with(WinnerLine(batch[3], Gbk("一等奖")) + ForfeitLine()));
    const Text pool = state().poolText;

    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerOk};
    ASSERT_EQ(CatchExit([&] { menu("退出"); }), 0);
    startAgain({msg::kAnswerYes});  // resume
    EXPECT_EQ(state().poolText, pool);
    EXPECT_EQ(state().savedDrawn[1], 3);
    choose("一等奖");
    drawOne();
    EXPECT_EQ(tileNames().size(), 4u);
    EXPECT_EQ(state().savedDrawn[1], 7);
    EXPECT_EQ(control("透明标签_抽取进度").text(), Gbk("一等奖 已抽取7名"));
}

TEST_F(BatchDraw, TheThirdOfFiveGivesUpAndOneIsDrawnAgainThenACrash) {
    folder.write("peizhi.a", Gbk("[zbt]\r\n一等奖=一等奖\r\n一等奖人数=5\r\n一等奖每次人数=5\r\n"));
    setLevel(2, "一等奖", "5");
    pool(12);
    choose("一等奖");
    drawOne();
    const std::vector<Text> batch = tileNames();
    ASSERT_EQ(batch.size(), 5u);
    const Text level = Gbk("一等奖");
    Text five;
    for (const Text& name : batch) five += WinnerLine(name, level);

    host.dialogs.listAnswers = {2};
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    menu("放弃当前中奖人");
    EXPECT_TRUE(
        lastMessageIs("确定放弃 " + batch[2] + " 的一等奖奖项吗？", 1, "确定放弃当前奖项？"));
    const Text givenUp = Text(24, ' ') + Gbk("(中奖人 ") + batch[2] + Gbk(" 放弃 一等奖)\r\n");
    EXPECT_EQ(folder.read("抽奖结果.txt"), five + givenUp);
    EXPECT_EQ(tileNames()[2], batch[2] + Gbk("（放弃）"));
    EXPECT_EQ(tileNames()[4], batch[4]);
    EXPECT_EQ(control("透明标签_抽取进度").text(), Gbk("一等奖 已抽取4名"));
    // The next question lists the four left; cancelled, nothing changes.
    menu("放弃当前中奖人");
    ASSERT_EQ(host.dialogs.listsShown.size(), 2u);
    EXPECT_EQ(host.dialogs.listsShown[1],
              (std::vector<Text>{batch[0], batch[1], batch[3], batch[4]}));
    EXPECT_EQ(folder.read("抽奖结果.txt"), five + givenUp);

    drawOne();  // the freed place, one name
    const Text again = state().pickedName;
    EXPECT_EQ(std::count(batch.begin(), batch.end(), again), 0);
    EXPECT_EQ(folder.read("抽奖结果.txt"), five + givenUp + WinnerLine(again, level));
    const Ledger ledger = ReadLedger(folder.read("抽奖结果.txt"), app::LevelNames());
    EXPECT_EQ(ledger.drawn[1], 5);
    // 中奖记录.csv: the given-up winner marked on their own row, the new one in their place.
    const auto rows =
        exporting::ExportRows(exporting::ParseWinnersFile(folder.read("中奖记录.csv")));
    ASSERT_EQ(rows.size(), 6u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(rows[i].name, batch[i]);  // ASCII names read the same in UTF-8
        EXPECT_EQ(rows[i].ordinal, static_cast<int>(i + 1));
        EXPECT_EQ(rows[i].forfeited, i == 2);
    }
    EXPECT_EQ(rows[5].name, again);
    EXPECT_EQ(rows[5].ordinal, 3);
    click();
    EXPECT_TRUE(lastMessageIs("本奖项抽取完毕", 0, "信息提示"));

    // A crash, then the recovery: every line kept, nobody of the six back in the draw.
    const Text results = state().resultsText;
    startAgain({msg::kAnswerYes});
    EXPECT_EQ(state().resultsText, results);
    EXPECT_EQ(folder.read("抽奖结果.txt"), results);
    EXPECT_EQ(state().savedDrawn[1], 5);
    const std::vector<Text> left = SplitPool(state().poolText);
    EXPECT_EQ(left.size(), 6u);
    for (const Text& name : batch) EXPECT_EQ(std::count(left.begin(), left.end(), name), 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), again), 0);
}

TEST_F(BatchDraw, ResumeAfterAForfeitInTheMiddleOfABatch) {
    folder.write("peizhi.a", Gbk("[zbt]\r\n一等奖=一等奖\r\n一等奖人数=5\r\n一等奖每次人数=5\r\n"));
    setLevel(2, "一等奖", "5");
    pool(8);
    choose("一等奖");
    drawOne();
    const std::vector<Text> batch = tileNames();
    host.dialogs.listAnswers = {1};
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    menu("放弃当前中奖人");
    const Text results = state().resultsText;

    // An older 进度.txt still holds everybody: the results bring the pool level with them.
    folder.write("进度.txt", [] {
        Text all;
        for (int i = 1; i <= 8; ++i) all += "p" + std::to_string(i) + "\r\n";
        return all;
    }());
    DeleteRecoveryRecord();
    startAgain({msg::kAnswerYes});  // resume
    EXPECT_EQ(state().resultsText, results);
    EXPECT_EQ(SplitPool(state().poolText).size(), 3u);
    choose("一等奖");
    EXPECT_EQ(state().nextOrdinal, 5);  // four winners stand
    drawOne();
    EXPECT_EQ(std::count(batch.begin(), batch.end(), state().pickedName), 0);
    EXPECT_EQ(ReadLedger(folder.read("抽奖结果.txt"), app::LevelNames()).drawn[1], 5);
    // The new winner takes the given-up place, not a second fifth one.
    const auto rows = exporting::ParseWinnersFile(folder.read("中奖记录.csv"));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows.back().ordinal, 2);
}

TEST_F(BatchDraw, PerDrawCountsFromTheFileAndTheWindow) {
    for (const char* bad : {"", "abc", "0", "-3", "2.5", "5x"})
        EXPECT_EQ(app::ParsePerDrawCount(bad), 1) << bad;
    EXPECT_EQ(app::ParsePerDrawCount(" 7 "), 7);
    EXPECT_EQ(app::ParsePerDrawCount("51"), 50);
    EXPECT_EQ(app::ParsePerDrawCount("99999999999999999999"), 50);

    // No level named: nothing to set.
    app::EditPerDrawCounts();
    EXPECT_TRUE(host.dialogs.numberFormsShown.empty());
    ASSERT_EQ(messages().size(), 1u);

    setLevel(1, "特等奖", "1");
    setLevel(3, "二等奖", "5");
    perDraw("特等奖", "abc");
    host.dialogs.numberFormAnswers = {std::vector<int>{1, 70}, std::nullopt};
    app::EditPerDrawCounts();
    ASSERT_EQ(host.dialogs.numberFormsShown.size(), 1u);
    const auto& shown = host.dialogs.numberFormsShown[0];
    ASSERT_EQ(shown.size(), 2u);  // the named levels only
    EXPECT_EQ(shown[0].label, Gbk("特等奖"));
    EXPECT_EQ(shown[1].label, Gbk("二等奖"));
    EXPECT_EQ(shown[0].value, 1);
    EXPECT_EQ(stored("特等奖每次人数"), "abc");  // unchanged, so not written
    EXPECT_EQ(stored("二等奖每次人数"), "50");
    EXPECT_EQ(stored("一等奖每次人数"), "absent");
    app::EditPerDrawCounts();  // cancelled
    EXPECT_EQ(stored("二等奖每次人数"), "50");
    EXPECT_EQ(host.dialogs.numberFormsShown[1][1].value, 50);
}

}  // namespace
}  // namespace ld::test
