// Nothing lost: a crash after any stop is recovered at the next start, a results file that
// cannot be written is shown on the stage and settled before the exit, and the exit save
// commits the counters and the participants together.
#include <algorithm>

#include "app/common/draw_recovery.h"
#include "app/draw/draw_levels.h"
#include "app/startup/exit_program.h"
#include "app/startup/stage_startup.h"
#include "draw_fixture.h"
#include "services/profile.h"

namespace ld::test {
namespace {

const std::string kResults = "抽奖结果.txt";

class Recovery : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        // The level as the configuration names it, so that a new start finds it again.
        folder.write("peizhi.a", Gbk("[zbt]\r\n一等奖=一等奖\r\n一等奖人数=3\r\n"));
        setLevel(2, "一等奖", "3");
        setPool({"张三", "李四", "王五", "赵六", "孙七"});
        choose("一等奖");
        disableEffects(true);
    }
    // Runs a pop-up menu command as the menu does.
    void menu(std::string_view utf8Caption) {
        Window& stage = app::Stage();
        EventArgs args;
        stage.menuItem(Gbk(utf8Caption)).selected(stage.self(), args);
    }
    Text counter(int level) {
        return ReadConfigText(ConfigStore::path(), "jindu", Gbk("计数") + std::to_string(level),
                              "");
    }
};

TEST_F(Recovery, YesAfterACrashBringsBackTheDrawAfterTheLastStop) {
    drawOne();
    drawOne();
    const DrawState before = state();
    const Text progress = control("透明标签_抽取进度").text();
    // The crash came between the record and the results write of the second stop.
    const Text results = folder.read(kResults);
    folder.write(kResults, results.substr(0, results.find("\r\n") + 2));

    startAgain({msg::kAnswerYes});
    ASSERT_EQ(messages().size(), 1u);  // the resume question is not asked as well
    EXPECT_EQ(messages()[0].text, app::RecoveryQuestion());
    EXPECT_EQ(messages()[0].style, 36);
    EXPECT_EQ(messages()[0].caption, Gbk("提示"));
    EXPECT_EQ(state().poolText, before.poolText);
    EXPECT_EQ(state().savedDrawn, before.savedDrawn);
    EXPECT_EQ(state().resultsText, before.resultsText);
    EXPECT_EQ(folder.read(kResults), results);
    EXPECT_EQ(folder.read("进度.txt"), before.poolText);
    EXPECT_EQ(counter(2), "2");
    EXPECT_EQ(control("组合框1").text(), Gbk("一等奖"));
    EXPECT_EQ(control("透明标签_抽取进度").text(), progress);

    // Nobody already drawn can win again, and the level ends at its count.
    drawOne();
    EXPECT_EQ(before.resultsText.find(state().pickedName + " "), Text::npos);
    EXPECT_EQ(state().savedDrawn[1], 3);
}

TEST_F(Recovery, NoGoesOnAsTheFilesSayAndACleanExitLeavesNoRecord) {
    drawOne();
    startAgain({msg::kAnswerNo});
    EXPECT_EQ(messages()[0].text, app::RecoveryQuestion());
    EXPECT_FALSE(folder.exists(".ld-recovery"));
    EXPECT_EQ(state().resultsText, "");  // a fresh run, as without a saved draw

    setPool({"张三", "李四"});
    choose("一等奖");
    drawOne();
    EXPECT_TRUE(folder.exists(".ld-recovery"));
    host.dialogs.messageAnswers = {msg::kAnswerNo};
    EXPECT_EQ(CatchExit([&] { menu("退出"); }), 0);
    EXPECT_FALSE(folder.exists(".ld-recovery"));
}

TEST_F(Recovery, AForfeitIsRecordedForRecoveryToo) {
    drawOne();
    drawOne();
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    menu("放弃当前中奖人");
    startAgain({msg::kAnswerYes});
    EXPECT_EQ(state().savedDrawn[1], 1);
    EXPECT_TRUE(state().resultsText.ends_with(ForfeitLine()));
    EXPECT_EQ(counter(2), "1");
}

TEST_F(Recovery, UnsavedResultsAreMarkedUntilAWriteSucceedsAndSettledBeforeTheExit) {
    std::filesystem::create_directory(folder.diskPath(kResults));  // cannot be written
    for (int stop = 1; stop <= 3; ++stop) {
        drawOne();
        EXPECT_EQ(host.gui.notices[Gbk("MainWindow")], Gbk("中奖结果未保存")) << stop;
    }
    EXPECT_EQ(std::count_if(messages().begin(), messages().end(),
                            [](const ShownMessage& m) { return m.caption == Gbk("警告"); }),
              1);
    std::filesystem::remove(folder.diskPath(kResults));
    setLevel(3, "二等奖", "5");
    choose("二等奖");
    drawOne();
    EXPECT_EQ(host.gui.notices[Gbk("MainWindow")], "");
    EXPECT_EQ(folder.read(kResults), state().resultsText);

    // Unsaved again: Cancel keeps the program open; Yes saves elsewhere, then the exit.
    std::filesystem::remove(folder.diskPath(kResults));
    std::filesystem::create_directory(folder.diskPath(kResults));
    drawOne();
    messages().clear();
    host.dialogs.messageAnswers = {msg::kAnswerCancel};
    EXPECT_EQ(CatchExit([&] { menu("退出"); }), std::nullopt);
    EXPECT_EQ(messages().back().text, app::UnsavedResultsQuestion());
    const std::string elsewhere = folder.path("elsewhere.txt");
    host.dialogs.fileAnswers = {std::nullopt, Text(elsewhere)};  // a first dialog cancelled
    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerYes, msg::kAnswerOk,
                                   msg::kAnswerNo};
    EXPECT_EQ(CatchExit([&] { menu("退出"); }), 0);
    EXPECT_EQ(folder.read("elsewhere.txt"), state().resultsText);
    EXPECT_EQ(SplitPool(state().resultsText).size(), 5u);
    EXPECT_EQ(messages().back().text, app::ExitQuestion());
}

// 抽奖结果.txt is the ledger: whatever older state a start goes back to (the last exit's
// 进度.txt after No to the recovery, a record whose last write failed, a record that cannot
// be read), nobody in it can be drawn again and no line of it goes.
class Ledger : public Recovery {
protected:
    // One winner saved by an exit with Yes, one more drawn after it.
    void drawPastTheLastSave() {
        drawOne();
        host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerOk};
        ASSERT_EQ(CatchExit([&] { menu("退出"); }), 0);
        drawOne();
        winners = state().resultsText;
    }
    void expectNoWinnerInThePoolAndTheLevelEndsAtItsCount() {
        EXPECT_EQ(state().resultsText, winners);
        EXPECT_EQ(folder.read(kResults), winners);
        const std::vector<Text> pool = SplitPool(state().poolText);
        for (const Text& line : SplitPool(winners)) {
            const Text name = line.substr(0, line.find(' '));
            EXPECT_EQ(std::find(pool.begin(), pool.end(), name), pool.end()) << line;
        }
        EXPECT_EQ(state().savedDrawn[1], 2);
        choose("一等奖");
        drawOne();
        drawOne();  // the level is complete: nothing more is drawn
        EXPECT_EQ(SplitPool(state().resultsText).size(), 3u);
        EXPECT_EQ(winners.find(state().pickedName + " "), Text::npos);
    }
    bool told(std::string_view utf8Part) {
        return std::any_of(messages().begin(), messages().end(), [&](const ShownMessage& m) {
            return m.text.find(Gbk(utf8Part)) != Text::npos;
        });
    }
    Text winners;
};

TEST_F(Ledger, NoToTheRecoveryThenYesToTheResumeTakesTheLaterWinnerOutOfThePool) {
    drawPastTheLastSave();
    startAgain({msg::kAnswerNo, msg::kAnswerYes, msg::kAnswerOk});
    EXPECT_TRUE(told("抽奖结果中已有 1 位中奖人仍在奖池中，已从奖池中移除。"));
    EXPECT_TRUE(told("各奖项的已抽取人数已按抽奖结果更正。"));
    expectNoWinnerInThePoolAndTheLevelEndsAtItsCount();
}

TEST_F(Ledger, AFailedRecordWriteIsToldAndTheRecoveryKeepsTheLaterResults) {
    drawOne();
    const Text olderRecord = folder.read(".ld-recovery");
    std::filesystem::remove(folder.diskPath(".ld-recovery"));
    std::filesystem::create_directory(folder.diskPath(".ld-recovery"));  // cannot be written
    messages().clear();
    drawOne();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, app::RecordWarning());
    EXPECT_EQ(host.gui.notices[Gbk("MainWindow")], Gbk("中奖结果未保存"));
    winners = state().resultsText;
    std::filesystem::remove(folder.diskPath(".ld-recovery"));
    folder.write(".ld-recovery", olderRecord);  // what the disk kept of the record

    startAgain({msg::kAnswerYes, msg::kAnswerOk});
    EXPECT_TRUE(told("已从奖池中移除"));
    expectNoWinnerInThePoolAndTheLevelEndsAtItsCount();
}

TEST_F(Ledger, AnUnreadableRecordIsKeptInHistoryAndTheResumeFollowsTheResults) {
    drawPastTheLastSave();
    folder.write(".ld-recovery", "luckydraw recovery 1\nlevel 99\n");
    startAgain({msg::kAnswerOk, msg::kAnswerYes, msg::kAnswerOk});
    EXPECT_TRUE(told("上次的崩溃恢复记录已损坏，无法恢复，已移到："));
    EXPECT_FALSE(folder.exists(".ld-recovery"));
    bool kept = false;
    for (const auto& entry : std::filesystem::directory_iterator(folder.diskPath("history")))
        kept = kept || folder.read("history/" + entry.path().filename().string())
                           .starts_with("luckydraw recovery 1\nlevel 99");
    EXPECT_TRUE(kept);
    expectNoWinnerInThePoolAndTheLevelEndsAtItsCount();
}

// The recovery itself dies after any of its file operations, and the operator then answers
// No and resumes what the files hold: nobody is lost, from the pool and the results both.
class InterruptedRecovery : public Ledger, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedRecovery, LosesNobodyWhateverIsAnsweredNext) {
    drawPastTheLastSave();
    const std::vector<Text> everybody = SplitPool(state().poolText + winners);
    const Text results = folder.read(kResults);
    folder.write(kResults, results.substr(0, results.find("\r\n") + 2));  // the last line missed

    SetFileOperationFailureForTest(GetParam(), true);
    startAgain({msg::kAnswerYes, msg::kAnswerOk, msg::kAnswerOk});
    SetFileOperationFailureForTest(0);
    if (!folder.exists(".ld-recovery")) return;
    startAgain({msg::kAnswerNo, msg::kAnswerYes, msg::kAnswerOk});
    std::vector<Text> found = SplitPool(state().poolText);
    for (const Text& line : SplitPool(state().resultsText))
        found.push_back(line.substr(0, line.find(' ')));
    std::vector<Text> expected;
    for (const Text& line : everybody) expected.push_back(line.substr(0, line.find(' ')));
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(AfterEachFileOperation, InterruptedRecovery, ::testing::Range(1, 12));

// The exit save dies after any of its file operations: the next start finds the counters
// and the participants both old or both new.
class InterruptedSave : public Recovery, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedSave, LeavesTheTwoFilesAgreeing) {
    drawOne();
    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerOk};
    ASSERT_EQ(CatchExit([&] { menu("退出"); }), 0);  // the first save: the old state
    const Text oldPool = folder.read("进度.txt");
    drawOne();
    const Text newPool = state().poolText;
    ASSERT_NE(oldPool, newPool);

    SetFileOperationFailureForTest(GetParam(), true);
    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerOk};
    CatchExit([&] { menu("退出"); });
    SetFileOperationFailureForTest(0);
    std::filesystem::remove(folder.diskPath(".ld-recovery"));  // the question is not the point
    startAgain({msg::kAnswerNo});
    const bool isNew = folder.read("进度.txt") == newPool;
    EXPECT_TRUE(isNew || folder.read("进度.txt") == oldPool);
    EXPECT_EQ(counter(2), isNew ? "2" : "1");
    EXPECT_FALSE(folder.exists(".ld-save"));
}

INSTANTIATE_TEST_SUITE_P(AfterEachFileOperation, InterruptedSave, ::testing::Range(1, 14));

}  // namespace
}  // namespace ld::test
