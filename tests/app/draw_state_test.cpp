#include "app/common/draw_state.h"

#include <gtest/gtest.h>

#include "app/common/results_ledger.h"

namespace ld {
namespace {

Text Pool(std::initializer_list<const char*> utf8Names) {
    Text pool;
    for (const char* name : utf8Names) pool += Gbk(name) + "\r\n";
    return pool;
}

TEST(RemovePoolLine, RemovesOnlyTheLineEqualToTheWholeName) {
    Text pool = Pool({"小张三", "李四", "张三"});
    EXPECT_TRUE(DrawState::RemovePoolLine(pool, Gbk("张三")));
    EXPECT_EQ(pool, Pool({"小张三", "李四"}));

    EXPECT_FALSE(DrawState::RemovePoolLine(pool, Gbk("张三")));
    EXPECT_FALSE(DrawState::RemovePoolLine(pool, Gbk("李")));  // a part of a line is no match
    EXPECT_EQ(pool, Pool({"小张三", "李四"}));
}

TEST(RemovePoolLine, RemovesOnlyTheFirstOfEqualLines) {
    DrawState state;
    state.poolText = Pool({"A", "B", "A"});
    EXPECT_TRUE(state.removePoolLine("A"));
    EXPECT_EQ(state.poolText, Pool({"B", "A"}));
}

TEST(RemovePoolLine, HandEditedLastLineWithoutLineEnd) {
    Text pool = "A\r\nB";
    EXPECT_TRUE(DrawState::RemovePoolLine(pool, "B"));
    EXPECT_EQ(pool, "A\r\n");
}

TEST(SplitPool, OneNamePerLine) {
    EXPECT_TRUE(SplitPool("").empty());
    EXPECT_EQ(SplitPool(Pool({"张三", "李四"})), (std::vector<Text>{Gbk("张三"), Gbk("李四")}));
    EXPECT_EQ(SplitPool("A\r\n\r\nB"), (std::vector<Text>{"A", "", "B"}));
}

TEST(SplitPool, LineEndAfterAStrayLeadByteStillSeparates) {
    // A raw name whose last byte would start a double-byte character.
    Text odd = "X\xB0";
    Text pool = odd + "\r\nB\r\n";
    EXPECT_EQ(SplitPool(pool), (std::vector<Text>{odd, "B"}));
    EXPECT_TRUE(DrawState::RemovePoolLine(pool, odd));
    EXPECT_EQ(pool, "B\r\n");
}

TEST(RollList, IndexedFromOne) {
    DrawState state;
    state.poolText = Pool({"A", "B"});
    state.splitPool();
    EXPECT_EQ(state.rollName(1), "A");
    EXPECT_EQ(state.rollName(2), "B");
    EXPECT_EQ(state.rollName(0), "");
    EXPECT_EQ(state.rollName(3), "");
    state.removePoolLine("A");  // a stop does not change the list until the next start
    EXPECT_EQ(state.rollList.size(), 2u);
}

TEST(LevelOf, FirstLevelWithTheNameCounts) {
    LevelTexts names = {Gbk("特等奖"), Gbk("一等奖"), Gbk("一等奖"), "", "", "", "", "x"};
    EXPECT_EQ(LevelOf(Gbk("一等奖"), names), 2);
    EXPECT_EQ(LevelOf("x", names), 8);
    EXPECT_EQ(LevelOf("", names), 4);
    EXPECT_FALSE(LevelOf("X", names));  // byte for byte, so case counts
}

TEST(LevelLimit, CountPlusOneTruncated) {
    DrawState state;
    state.setLevelLimit("3");
    EXPECT_EQ(state.levelLimit, 4);
    state.setLevelLimit("2.9");
    EXPECT_EQ(state.levelLimit, 3);
    state.setLevelLimit("");
    EXPECT_EQ(state.levelLimit, 1);
    state.setLevelLimit(Gbk("五人"));
    EXPECT_EQ(state.levelLimit, 1);
}

TEST(Progress, TextAndWidth) {
    Text text = ProgressText(Gbk("一等奖"), 3);
    EXPECT_EQ(text, Gbk("一等奖 已抽取3名"));
    EXPECT_EQ(ProgressWidth(text), 11 * 16);
    EXPECT_EQ(ProgressText("A", -1), "A" + Gbk(" 已抽取") + "-1" + Gbk("名"));
}

// A line naming who gave up takes back their latest open line of that level alone: with
// repeats allowed the same name may stand in two levels, or twice in one.
TEST(ResultsLedger, ANamedForfeitTakesBackThatWinnerOfThatLevel) {
    LevelTexts levels;
    levels[0] = Gbk("一等奖");
    levels[1] = Gbk("二等奖");
    const Text results = WinnerLine(Gbk("甲"), levels[0]) + WinnerLine(Gbk("甲"), levels[1]) +
                         WinnerLine(Gbk("乙"), levels[1]) + WinnerLine(Gbk("甲"), levels[1]) +
                         NamedForfeitLine(Gbk("甲"), levels[1]) +
                         NamedForfeitLine(Gbk("甲"), levels[1]) +
                         NamedForfeitLine(Gbk("甲"), levels[1]) +  // nobody left to take back
                         ForfeitLine();  // after a named line: takes back nothing
    EXPECT_EQ(NamedForfeitLine(Gbk("甲"), levels[1]),
              Text(24, ' ') + Gbk("(中奖人 甲 放弃 二等奖)\r\n"));
    const Ledger ledger = ReadLedger(results, levels);
    EXPECT_EQ(ledger.drawn[0], 1);
    EXPECT_EQ(ledger.drawn[1], 1);
    ASSERT_EQ(ledger.lines.size(), 4u);
    EXPECT_FALSE(ledger.lines[0].forfeited);
    EXPECT_TRUE(ledger.lines[1].forfeited);
    EXPECT_FALSE(ledger.lines[2].forfeited);
    EXPECT_TRUE(ledger.lines[3].forfeited);
    EXPECT_EQ(ledger.winners.size(), 4u);  // every announced name stays out of the draw
}

// A forfeit takes back the winner line just before it, once; a hand edit with LF line ends,
// a note and a level that no longer exists are read as well as they can be.
TEST(ResultsLedger, CountsWinnersLessForfeitsAndTakesEveryAnnouncedNameOutOfThePool) {
    LevelTexts levels;
    levels[0] = Gbk("一等奖");
    levels[1] = Gbk("二等奖");
    const Text results = WinnerLine(Gbk("甲"), levels[0]) + ForfeitLine() + ForfeitLine() +
                         WinnerLine(Gbk("乙"), levels[0]) + Gbk("备注\n") +
                         Gbk("丙  ------  二等奖\n") + WinnerLine(Gbk("丁"), Gbk("旧奖项"));
    const Ledger ledger = ReadLedger(results, levels);
    EXPECT_EQ(ledger.winners, (std::vector<Text>{Gbk("甲"), Gbk("乙"), Gbk("丙"), Gbk("丁")}));
    EXPECT_EQ(ledger.drawn[0], 1);
    EXPECT_EQ(ledger.drawn[1], 1);

    Text pool = Pool({"甲", "戊", "丁"});
    std::array<int32_t, kLevelCount> counters{1, 0};
    const Reconciled reconciled = ReconcileWithLedger(ledger, false, pool, counters);
    EXPECT_EQ(pool, Pool({"戊"}));
    EXPECT_EQ(reconciled.removedFromPool, 2u);
    EXPECT_EQ(counters[1], 1);
    EXPECT_TRUE(reconciled.countersRaised);

    Text repeats = Pool({"甲", "戊"});  // repeats allowed: winners stay in the pool
    EXPECT_EQ(ReconcileWithLedger(ledger, true, repeats, counters).removedFromPool, 0u);
    EXPECT_EQ(repeats, Pool({"甲", "戊"}));
}

}  // namespace
}  // namespace ld
