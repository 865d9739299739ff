// The reset: the results kept in history/, the draw erased, a new peizhi.a with the 26
// surviving keys, the background moved aside and the program started again; and when a
// step cannot be done, nothing is erased and the operator is told.
#include "app/startup/reset.h"

#include "app/startup/reset_checkins.h"

#include <filesystem>

#include "app/common/draw_recovery.h"
#include "app/common/scramble.h"
#include "app/startup/stage_startup.h"
#include "services/files.h"
#include "startup_fixture.h"

namespace ld::test {
namespace {

class Reset : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        configure(
            "[zbt]\r\n特等奖=头奖\r\n特等奖人数=1\r\n一等奖=一等奖\r\n一等奖人数=2\r\n"
            "fbt=年会\r\n界面大小=窗口\r\npassword=" +
            std::string(ScrambleText("123")) +
            "\r\n[zweizhi]\r\n标签1左边=7\r\n[jindu]\r\n计数1=1\r\n");
        folder.write("进度.txt", Gbk("张三\r\n"));
        folder.write("抽奖结果.txt", Gbk("李四  ------  头奖\r\n"));
        folder.write("底图.jpg", "new background");
        folder.write("底图_bak.jpg", "old background");
        folder.write("zj.txt", "picks");
        makeFolder("奖品图片");
        folder.write("奖品图片/1.jpg", "prize");
        host.dialogs.messageAnswers = {msg::kAnswerNo};  // do not resume
        start();
        host.dialogs.messages.clear();
        control("编辑框_奖项人数1").setTextValue("5");  // typed, never saved
    }
    // The reset as the menu runs it; the exit code when it ended the program.
    std::optional<int> reset(std::initializer_list<int> answers) {
        host.dialogs.messageAnswers = answers;
        return CatchExit([&] { choose("软件初始化"); });
    }
    std::vector<std::string> history() {
        std::vector<std::string> copies;
        if (!folder.exists("history")) return copies;
        for (const auto& entry : std::filesystem::directory_iterator(folder.diskPath("history")))
            copies.push_back(folder.read("history/" + entry.path().filename().string()));
        return copies;
    }
    // Nothing was erased: the files as SetUp left them (start-up wrote 界面大小 only).
    void expectUntouched() {
        EXPECT_EQ(folder.read("进度.txt"), Gbk("张三\r\n"));
        EXPECT_EQ(folder.read("抽奖结果.txt"), Gbk("李四  ------  头奖\r\n"));
        EXPECT_EQ(folder.read("底图.jpg"), "new background");
        EXPECT_EQ(folder.read("底图_bak.jpg"), "old background");
        EXPECT_EQ(stored(keys::Counter(1)), "1");
        EXPECT_TRUE(stored(keys::Password()));
        EXPECT_EQ(host.shell.exitCode, std::nullopt);
        EXPECT_TRUE(host.shell.calls.empty());
    }
};

TEST_F(Reset, CancelChangesNothing) {
    EXPECT_EQ(reset({msg::kAnswerCancel}), std::nullopt);
    ASSERT_EQ(host.dialogs.messages.size(), 1u);
    EXPECT_EQ(message(0).text, app::ResetQuestion());
    EXPECT_EQ(message(0).style, 1);
    EXPECT_EQ(message(0).caption, Gbk("确定初始化？"));
    expectUntouched();
}

TEST_F(Reset, ErasesTheDrawKeepsThePrizesAndStartsTheProgramAgain) {
    EXPECT_EQ(reset({msg::kAnswerOk, msg::kAnswerOk}), 0);
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(1).text, Gbk("初始化完毕，抽奖系统将重新启动！"));
    EXPECT_EQ(message(1).style, 0);
    ASSERT_EQ(host.shell.calls.size(), 1u);
    EXPECT_EQ(host.shell.calls[0].what, "runProgram");
    EXPECT_EQ(host.shell.calls[0].argument, "\"" + folder.path("luckydraw") + "\"");

    EXPECT_FALSE(folder.exists("进度.txt"));
    EXPECT_FALSE(folder.exists("抽奖结果.txt"));
    EXPECT_EQ(history(), (std::vector<std::string>{Gbk("李四  ------  头奖\r\n")}));
    EXPECT_FALSE(folder.exists("底图.jpg"));
    EXPECT_EQ(folder.read("底图_bak.jpg"), "new background");
    EXPECT_EQ(folder.read("zj.txt"), "picks");
    EXPECT_TRUE(folder.exists("奖品图片/1.jpg"));
    EXPECT_FALSE(folder.exists("peizhi.a.new"));
    // The 26 keys from the live fields, in order, and nothing else.
    std::string expected = "[zbt]\r\n特等奖人数=5\r\n一等奖人数=2\r\n";
    for (const char* level : {"二等奖", "三等奖", "四等奖", "五等奖", "六等奖", "七等奖"})
        expected += std::string(level) + "人数=\r\n";
    expected += "fbt=年会\r\nzbt=某某公司现场抽奖仪式\r\n特等奖=头奖\r\n一等奖=一等奖\r\n";
    for (const char* level : {"二等奖", "三等奖", "四等奖", "五等奖", "六等奖", "七等奖"})
        expected += std::string(level) + "=\r\n";
    expected += "奖项1图片=有图片\r\n";
    for (int n = 2; n <= 8; ++n) expected += "奖项" + std::to_string(n) + "图片= \r\n";
    EXPECT_EQ(folder.read("peizhi.a"), Gbk(expected));
}

// Printed check-in codes survive a rehearsal and a reset; batch counts go with the rest.
TEST_F(Reset, KeepsTheCheckinSettingsWhenThereAreAny) {
    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("口令"), Text("abc"));
    WriteConfigText(ConfigStore::path(), "qiandao", Gbk("端口"), Text("8687"));
    WriteConfigText(ConfigStore::path(), "zbt", Gbk("一等奖每次人数"), Text("5"));
    ASSERT_EQ(reset({msg::kAnswerOk, msg::kAnswerOk}), 0);
    EXPECT_TRUE(folder.read("peizhi.a").ends_with(Gbk("[qiandao]\r\n端口=8687\r\n口令=abc\r\n")));
    EXPECT_EQ(folder.read("peizhi.a").find(Gbk("每次人数")), Text::npos);
}

TEST_F(Reset, TheNewStartOffersNoResumeAndHasDefaultsWithThePrizeTable) {
    // The rehearsal's crash record and save journal go with the draw: no recovery question.
    folder.write(".ld-recovery",
                 EncodeRecoveryRecord({Gbk("头奖"), {1}, {}, Gbk("李四  ------  头奖\r\n"), {}}));
    folder.write(".ld-save", "luckydraw save 1\n");
    ASSERT_EQ(reset({msg::kAnswerOk, msg::kAnswerOk}), 0);
    EXPECT_FALSE(folder.exists(".ld-recovery"));
    EXPECT_FALSE(folder.exists(".ld-save"));
    restart();
    EXPECT_TRUE(host.dialogs.messages.empty());
    EXPECT_EQ(text("编辑框_奖项人数1"), "5");
    EXPECT_EQ(text("编辑框_奖项1"), Gbk("头奖"));
    EXPECT_EQ(control("组合框1").items().size(), 2u);
    EXPECT_EQ(app::Stage().self().getInt(prop::kBorder), 0);  // full screen again
    EXPECT_EQ(control("透明标签_主标题").left(), 32);
    EXPECT_EQ(app::Stage().self().getText(prop::kBackPicture), "");
    EXPECT_FALSE(stored(keys::Password()));
}

TEST_F(Reset, TwoResetsInARowLoseTheFirstBackgroundAndAResetWithoutOneStillClearsTheBackup) {
    ASSERT_EQ(reset({msg::kAnswerOk, msg::kAnswerOk}), 0);
    ASSERT_EQ(reset({msg::kAnswerOk, msg::kAnswerOk}), 0);
    EXPECT_FALSE(folder.exists("底图_bak.jpg"));
    EXPECT_FALSE(folder.exists("底图.jpg"));
}

TEST_F(Reset, WhenTheResultsCannotBeKeptNothingIsErased) {
    folder.write("history", "a file where the folder should be");
    EXPECT_EQ(reset({msg::kAnswerOk}), std::nullopt);
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(1).text, Gbk("无法备份抽奖结果，初始化已取消！"));
    EXPECT_EQ(message(1).style, 16);
    EXPECT_EQ(message(1).caption, Gbk("初始化失败"));
    expectUntouched();
}

TEST_F(Reset, WhenTheNewConfigurationCannotReplaceTheOldNothingIsErased) {
    folder.makeReadOnly("peizhi.a");
    EXPECT_EQ(reset({msg::kAnswerOk}), std::nullopt);
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(1).style, 16);
    EXPECT_EQ(message(1).caption, Gbk("初始化失败"));
    EXPECT_NE(message(1).text.find(ConfigStore::path()), Text::npos);
    expectUntouched();
    EXPECT_FALSE(folder.exists("peizhi.a.new"));
}

TEST_F(Reset, WhenNoKeyCanBeWrittenNothingIsErased) {
    SetWriteFailureAfterBytesForTest(0);
    EXPECT_EQ(reset({msg::kAnswerOk}), std::nullopt);
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_EQ(message(1).caption, Gbk("初始化失败"));
    expectUntouched();
}

// All or nothing: whichever file operation fails (the copy to history/, a move aside, the
// configuration, a deletion), either every file is as it was and the operator is told, or
// the failure did not matter and the reset is whole.
class ResetFailure : public Reset, public ::testing::WithParamInterface<int> {};

TEST_P(ResetFailure, LeavesEveryFileAsItWasOrResetsWhole) {
    const auto before = folder.snapshot();
    SetFileOperationFailureForTest(GetParam());
    std::optional<int> ended = reset({msg::kAnswerOk, msg::kAnswerOk});
    SetFileOperationFailureForTest(0);
    if (ended) {
        EXPECT_FALSE(folder.exists("进度.txt"));
        EXPECT_FALSE(folder.exists("抽奖结果.txt"));
        EXPECT_EQ(folder.read("底图_bak.jpg"), "new background");
        EXPECT_FALSE(stored(keys::Password()));
        EXPECT_EQ(history().size(), 1u);
        return;
    }
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(1).caption, Gbk("初始化失败"));
    EXPECT_EQ(folder.snapshot(), before);
    EXPECT_TRUE(host.shell.calls.empty());
}

// The reset takes about a dozen file operations; every one of them fails once.
INSTANTIATE_TEST_SUITE_P(EachFileOperation, ResetFailure, ::testing::Range(1, 52));

// The program dies after any file operation of the reset: the next start finishes a reset
// that was committed, or finds the event as it was; never half of each, never a recovery
// question about the rehearsal, never a set-aside file left behind.
class ResetCrash : public Reset, public ::testing::WithParamInterface<int> {};

TEST_P(ResetCrash, IsFinishedOrUndoneAtTheNextStart) {
    folder.write(".ld-recovery",
                 EncodeRecoveryRecord(
                     {Gbk("头奖"), {1}, Gbk("张三\r\n"), Gbk("李四  ------  头奖\r\n"), {}}));
    SetFileOperationFailureForTest(GetParam(), true);
    reset({msg::kAnswerOk, msg::kAnswerOk});
    SetFileOperationFailureForTest(0);
    host.dialogs.messageAnswers = {msg::kAnswerNo, msg::kAnswerNo};
    restart();
    if (folder.exists("抽奖结果.txt")) {
        EXPECT_EQ(message(0).text, app::RecoveryQuestion());
        expectUntouched();
    } else {
        for (const ShownMessage& m : host.dialogs.messages)
            EXPECT_NE(m.text, app::RecoveryQuestion());
        EXPECT_FALSE(folder.exists("进度.txt"));
        EXPECT_FALSE(folder.exists(".ld-recovery"));
        EXPECT_EQ(folder.read("底图_bak.jpg"), "new background");
        EXPECT_FALSE(folder.exists("底图.jpg"));
        EXPECT_FALSE(stored(keys::Password()));
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder.diskPath(".")))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".ld-reset")) << entry.path();
    EXPECT_FALSE(folder.exists("peizhi.a.new"));
}

INSTANTIATE_TEST_SUITE_P(AfterEachFileOperation, ResetCrash, ::testing::Range(1, 52));

// A rehearsal's check-ins: a phone's photo and a list's name card leave with the event when
// the operator says so; a photo put in by hand stays, and so does everything on a failure.
class ResetCheckins : public Reset, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Reset::SetUp();
        photos({"王五.jpg", "赵六（销售部）.jpg", "手放.jpg"});
        folder.write("签到记录.csv",
                     "\xEF\xBB\xBF时间,姓名,部门,客户端地址,手机标识,结果\r\n"
                     "2026-12-08 10:00:00, 王五 ,,127.0.0.1,p1,签到成功\r\n"
                     "2026-12-08 10:01:00,王五,,127.0.0.1,p1,更换照片\r\n"
                     "2026-12-08 10:02:00,赵六,销售部,名单导入,,签到成功\r\n"
                     "2026-12-08 10:03:00,手放,,127.0.0.1,p2,拒绝：该姓名已签到\r\n");
    }
    std::vector<std::string> movedAway() {
        std::vector<std::string> names;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(folder.diskPath("history")))
            if (entry.is_regular_file() && entry.path().parent_path().filename() != "history")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ResetCheckins, AreMovedToHistoryOnlyWhenTheOperatorSaysSo) {
    const auto before = folder.snapshot();
    EXPECT_EQ(reset({msg::kAnswerOk, msg::kAnswerCancel}), std::nullopt);
    ASSERT_EQ(host.dialogs.messages.size(), 2u);
    EXPECT_EQ(message(1).text, app::RemoveCheckinsQuestion(2));
    EXPECT_EQ(message(1).style, msg::kYesNoCancel | msg::kIconQuestion);
    EXPECT_EQ(folder.snapshot(), before);

    ASSERT_EQ(reset({msg::kAnswerOk, msg::kAnswerYes, msg::kAnswerOk}), 0);
    EXPECT_FALSE(folder.exists("photo/王五.jpg"));
    EXPECT_FALSE(folder.exists("photo/赵六（销售部）.jpg"));
    EXPECT_FALSE(folder.exists("签到记录.csv"));
    EXPECT_TRUE(folder.exists("photo/手放.jpg"));
    EXPECT_EQ(movedAway(),
              (std::vector<std::string>{"王五.jpg", "签到记录.csv", "赵六（销售部）.jpg"}));
}

TEST_P(ResetCheckins, AFailureLeavesThemWhereTheyWere) {
    const auto before = folder.snapshot();
    SetFileOperationFailureForTest(GetParam());
    const std::optional<int> ended = reset({msg::kAnswerOk, msg::kAnswerYes, msg::kAnswerOk});
    SetFileOperationFailureForTest(0);
    if (ended) {
        EXPECT_FALSE(folder.exists("photo/王五.jpg"));
        EXPECT_TRUE(folder.exists("photo/手放.jpg"));
        return;
    }
    EXPECT_EQ(message(2).caption, Gbk("初始化失败"));
    EXPECT_EQ(folder.snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(EachFileOperation, ResetCheckins, ::testing::Range(1, 64));

TEST_F(Reset, AProgramThatCannotStartItselfAgainAsksTheOperatorToDoIt) {
    host.shell.succeed = false;
    EXPECT_EQ(reset({msg::kAnswerOk, msg::kAnswerOk, msg::kAnswerOk}), 0);
    ASSERT_EQ(host.dialogs.messages.size(), 3u);
    EXPECT_EQ(message(2).style, 48);
    EXPECT_NE(message(2).text.find(folder.path("luckydraw")), Text::npos);
}

TEST_F(Reset, AMultiLineTitleCannotAddKeys) {
    folder.write("cjini.txt", Gbk("甲公司\r\n[jindu]\r\n计数1=9"));
    restart();
    ASSERT_EQ(reset({msg::kAnswerOk, msg::kAnswerOk}), 0);
    EXPECT_FALSE(stored(keys::Counter(1)));
    EXPECT_EQ(stored(keys::MainTitle()), Gbk("甲公司  [jindu]  计数1=9"));
}

}  // namespace
}  // namespace ld::test
