#include "app/common/draw_files.h"

#include <gtest/gtest.h>

#include "app/common/config_keys.h"
#include "program_folder.h"
#include "services/files.h"

namespace ld {
namespace {

const char* const kResults = "抽奖结果.txt";  // names on disk are UTF-8

std::tm FixedTime() {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 0;
    time.tm_mday = 2;
    time.tm_hour = 3;
    time.tm_min = 4;
    time.tm_sec = 5;
    return time;
}

class DrawFilesTest : public ::testing::Test {
protected:
    test::ProgramFolder folder;
    DrawState state;
    ResultsFile results{FixedTime};
};

TEST_F(DrawFilesTest, ResultsAfterTwoWinnersAndAForfeit) {
    EXPECT_TRUE(AppendResult(state, results, WinnerLine(Gbk("张三"), Gbk("特等奖"))).written);
    EXPECT_TRUE(AppendResult(state, results, WinnerLine(Gbk("李四"), Gbk("一等奖"))).written);
    EXPECT_TRUE(AppendResult(state, results, ForfeitLine()).written);
    Text expected = Gbk("张三  ------  特等奖\r\n李四  ------  一等奖\r\n") +
                    "                        " + Gbk("(上一个中奖人放弃)\r\n");
    EXPECT_EQ(folder.read(kResults), expected);
    EXPECT_EQ(ReadResults(), expected);
    EXPECT_FALSE(folder.exists("history"));  // there was nothing earlier to keep
}

TEST_F(DrawFilesTest, FreshRunKeepsEarlierResultsOnce) {
    folder.write(kResults, Gbk("旧的  ------  特等奖\r\n"));
    AppendResult(state, results, WinnerLine("A", "L"));
    AppendResult(state, results, WinnerLine("B", "L"));
    ASSERT_TRUE(results.historyCopy());
    EXPECT_EQ(folder.read("history/抽奖结果-20240102-030405.txt"), Gbk("旧的  ------  特等奖\r\n"));
    EXPECT_EQ(folder.read(kResults), WinnerLine("A", "L") + WinnerLine("B", "L"));

    // Another fresh run within the same second keeps both copies.
    ResultsFile nextRun{FixedTime};
    DrawState next;
    AppendResult(next, nextRun, WinnerLine("C", "L"));
    EXPECT_EQ(folder.read("history/抽奖结果-20240102-030405-2.txt"),
              WinnerLine("A", "L") + WinnerLine("B", "L"));
}

TEST_F(DrawFilesTest, ResumedRunMakesNoCopy) {
    folder.write(kResults, WinnerLine("A", "L"));
    state.resultsText = ReadResults();
    AppendResult(state, results, WinnerLine("B", "L"));
    EXPECT_FALSE(results.historyCopy());
    EXPECT_FALSE(folder.exists("history"));
    EXPECT_EQ(folder.read(kResults), WinnerLine("A", "L") + WinnerLine("B", "L"));
}

TEST_F(DrawFilesTest, FailedWritesWarnOnceUntilOneSucceeds) {
    SetWriteFailureAfterBytesForTest(0);
    auto first = AppendResult(state, results, WinnerLine("A", "L"));
    EXPECT_FALSE(first.written);
    EXPECT_TRUE(first.warningDue);
    auto second = AppendResult(state, results, WinnerLine("B", "L"));
    EXPECT_FALSE(second.written);
    EXPECT_FALSE(second.warningDue);
    EXPECT_FALSE(folder.exists(kResults));

    SetWriteFailureAfterBytesForTest(-1);
    auto third = AppendResult(state, results, ForfeitLine());
    EXPECT_TRUE(third.written);
    EXPECT_FALSE(third.warningDue);
    EXPECT_EQ(folder.read(kResults), WinnerLine("A", "L") + WinnerLine("B", "L") + ForfeitLine());

    SetWriteFailureAfterBytesForTest(0);
    EXPECT_TRUE(AppendResult(state, results, WinnerLine("C", "L")).warningDue);

    Warning warning = ResultsWarning();
    EXPECT_EQ(warning.text, Gbk("抽奖结果保存失败，请检查磁盘！"));
    EXPECT_EQ(warning.style, 48);
    EXPECT_EQ(warning.caption, Gbk("警告"));
}

TEST_F(DrawFilesTest, EarlierResultsStayWhenTheirCopyFails) {
    folder.write(kResults, "old\r\n");
    SetWriteFailureAfterBytesForTest(0);  // the copy itself cannot be written
    auto outcome = AppendResult(state, results, WinnerLine("A", "L"));
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(outcome.warningDue);
    EXPECT_EQ(folder.read(kResults), "old\r\n");

    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_TRUE(AppendResult(state, results, WinnerLine("B", "L")).written);
    EXPECT_EQ(folder.read("history/抽奖结果-20240102-030405.txt"), "old\r\n");
}

TEST_F(DrawFilesTest, PickLogOnlyWhenItExistsAndCutToItsText) {
    EXPECT_FALSE(LogPick(state, "A"));
    EXPECT_FALSE(folder.exists("zj.txt"));

    folder.write("zj.txt", "names of an earlier, longer run\r\n");
    EXPECT_TRUE(LogPick(state, Gbk("张三")));
    EXPECT_EQ(folder.read("zj.txt"), "A\r\n" + Gbk("张三") + "\r\n");
}

TEST_F(DrawFilesTest, StartupCopyIsReplaced) {
    folder.write("title.txt", "a much longer earlier list\r\n");
    EXPECT_TRUE(WriteStartupCopy("A\r\n"));
    EXPECT_EQ(folder.read("title.txt"), "A\r\n");
}

TEST_F(DrawFilesTest, ProgressFile) {
    EXPECT_FALSE(ProgressFileExists());
    EXPECT_EQ(ReadProgress(), "");
    EXPECT_TRUE(WriteProgress(Gbk("张三\r\n李四\r\n")));
    EXPECT_TRUE(ProgressFileExists());
    EXPECT_EQ(folder.read("进度.txt"), Gbk("张三\r\n李四\r\n"));

    folder.write("进度.txt", std::string("A\r\n\0B\r\n", 7));
    EXPECT_EQ(ReadProgress(), "A\r\n");  // the text ends at the first zero byte
}

TEST_F(DrawFilesTest, Counters) {
    EXPECT_EQ(ReadCounters(), (std::array<int32_t, 8>{}));
    EXPECT_TRUE(WriteCounters({1, 2, 0, 0, 0, 0, 0, 8}));
    ASSERT_TRUE(ConfigStore::write(keys::Counter(3), "2.7"));
    EXPECT_EQ(ReadCounters(), (std::array<int32_t, 8>{1, 2, 2, 0, 0, 0, 0, 8}));

    SetWriteFailureAfterBytesForTest(0);
    EXPECT_FALSE(WriteCounters({}));
}

TEST_F(DrawFilesTest, PhotoPathStaysInsideThePhotoFolder) {
    EXPECT_EQ(PhotoPathOf(Gbk("张三")), ProgramDirectory() + "/photo/" + Gbk("张三") + ".jpg");
    EXPECT_FALSE(PhotoPathOf("../peizhi"));
    EXPECT_FALSE(PhotoPathOf("a/b"));
    EXPECT_FALSE(PhotoPathOf("..\\x"));
    EXPECT_FALSE(PhotoPathOf(".."));
    // 乗 is 81 5C in GBK: its second byte is no backslash.
    EXPECT_TRUE(PhotoPathOf(Gbk("乗")));
    EXPECT_TRUE(PhotoPathOf("a..b"));
}

}  // namespace
}  // namespace ld
