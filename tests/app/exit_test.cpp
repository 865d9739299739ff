// Ending the program: the prize box size kept every time, the draw saved on Yes and
// resumed by the next start, and a save that fails keeps the program open.
#include "app/startup/exit_program.h"
#include "app/startup/stage_startup.h"
#include "services/files.h"
#include "startup_fixture.h"

namespace ld::test {
namespace {

class Exit : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        start();
        host.dialogs.messages.clear();
        DrawState& draw = app::State().draw;
        draw.poolText = Gbk("张三\r\n李四\r\n");
        draw.savedDrawn = {3, 0, 1, 0, 0, 0, 0, 0};
        control("图片框_奖品").setHeight(210);
        control("图片框_奖品").setWidth(330);
    }
    // The close button with the given answers; the exit code when the program ended.
    std::optional<int> closeWith(std::initializer_list<int> answers) {
        host.dialogs.messageAnswers = answers;
        return CatchExit([&] { closeAllowed = requestClose(); });
    }
    bool closeAllowed = true;
};

TEST_F(Exit, YesSavesTheParticipantsAndCountersThenEnds) {
    EXPECT_EQ(closeWith({msg::kAnswerYes, msg::kAnswerOk}), 0);
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(0).text, app::ExitQuestion());
    EXPECT_EQ(message(0).style, 35);
    EXPECT_EQ(message(0).caption, Gbk("退出是否保存进度？"));
    EXPECT_EQ(message(1).text, Gbk("抽奖进度已保存，软件退出再运行，可以继续抽奖！"));
    EXPECT_EQ(message(1).style, 0);
    EXPECT_EQ(message(1).caption, Gbk("提示"));
    EXPECT_EQ(folder.read("进度.txt"), Gbk("张三\r\n李四\r\n"));
    EXPECT_EQ(stored(keys::Counter(1)), "3");
    EXPECT_EQ(stored(keys::Counter(2)), "0");  // "0", not empty
    EXPECT_EQ(stored(keys::Counter(8)), "0");
    EXPECT_EQ(stored(keys::PrizeHeight()), "210");
    EXPECT_EQ(stored(keys::PrizeWidth()), "330");
}

TEST_F(Exit, TheNextStartResumesWhatYesSavedEvenWhenNobodyWasLeft) {
    app::State().draw.poolText.clear();
    ASSERT_EQ(closeWith({msg::kAnswerYes, msg::kAnswerOk}), 0);
    EXPECT_TRUE(folder.exists("进度.txt"));
    EXPECT_EQ(folder.read("进度.txt"), "");
    host.dialogs.messageAnswers = {msg::kAnswerYes};
    restart();
    EXPECT_EQ(message(0).text, app::ResumeQuestion());
    EXPECT_EQ(app::State().draw.poolText, "");
    EXPECT_EQ(app::State().draw.savedDrawn[0], 3);
    EXPECT_EQ(control("图片框_奖品").height(), 210);  // the size comes back too
    EXPECT_EQ(control("图片框_奖品").width(), 330);
}

TEST_F(Exit, NoEndsWithoutTouchingAnEarlierSave) {
    folder.write("进度.txt", Gbk("旧\r\n"));
    configure("[jindu]\r\n计数1=7\r\n");
    EXPECT_EQ(closeWith({msg::kAnswerNo}), 0);
    EXPECT_EQ(host.dialogs.messages.size(), 1u);
    EXPECT_EQ(folder.read("进度.txt"), Gbk("旧\r\n"));
    EXPECT_EQ(stored(keys::Counter(1)), "7");
    EXPECT_EQ(stored(keys::PrizeHeight()), "210");
}

TEST_F(Exit, CancelKeepsTheProgramOpenWithTheSizeStored) {
    EXPECT_EQ(closeWith({msg::kAnswerCancel}), std::nullopt);
    EXPECT_FALSE(closeAllowed);
    EXPECT_EQ(stored(keys::PrizeHeight()), "210");
    EXPECT_EQ(stored(keys::PrizeWidth()), "330");
    EXPECT_FALSE(folder.exists("进度.txt"));
    EXPECT_FALSE(stored(keys::Counter(1)));
    EXPECT_EQ(host.shell.exitCode, std::nullopt);
}

TEST_F(Exit, TheMenuItemAsksTheSameQuestion) {
    host.dialogs.messageAnswers = {msg::kAnswerCancel};
    EXPECT_EQ(CatchExit([&] { choose("退出"); }), std::nullopt);
    ASSERT_EQ(host.dialogs.messages.size(), 1u);
    EXPECT_EQ(message(0).text, app::ExitQuestion());
    host.dialogs.messageAnswers = {msg::kAnswerNo};
    EXPECT_EQ(CatchExit([&] { choose("退出"); }), 0);
}

TEST_F(Exit, ASaveThatCannotBeWrittenIsReportedAndTheProgramStaysOpen) {
    folder.write("进度.txt", Gbk("旧\r\n"));
    SetWriteFailureAfterBytesForTest(0);  // nothing reaches the disk
    EXPECT_EQ(closeWith({msg::kAnswerYes}), std::nullopt);
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_FALSE(closeAllowed);
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(1).text, Gbk("抽奖进度保存失败：") + ConfigStore::path());
    EXPECT_EQ(message(1).style, 16);
    EXPECT_EQ(message(1).caption, Gbk("保存失败"));
    EXPECT_EQ(folder.read("进度.txt"), Gbk("旧\r\n"));  // the earlier save is whole
}

TEST_F(Exit, AProgressFileThatCannotBeReplacedIsNamedAndKept) {
    folder.write("进度.txt", Gbk("旧\r\n"));
    folder.makeReadOnly("进度.txt");
    EXPECT_EQ(closeWith({msg::kAnswerYes}), std::nullopt);
    EXPECT_FALSE(closeAllowed);
    EXPECT_EQ(host.dialogs.messages.back().text,
              Gbk("抽奖进度保存失败：") + ProgramDirectory() + "/" + Gbk("进度.txt"));
    EXPECT_EQ(folder.read("进度.txt"), Gbk("旧\r\n"));
}

}  // namespace
}  // namespace ld::test
