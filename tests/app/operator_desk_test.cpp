// The operator's desk: the stage's screen, the console and its actions, the clicker switch,
// and the winners file through draws, forfeits, exit and resume, recovery and reset.
#include "app/tools/operator_desk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app/common/job_runner.h"
#include "app/common/winners_log.h"
#include "app/startup/reset.h"
#include "app/tools/winners_export.h"
#include "draw_fixture.h"
#include "export/winners_file.h"
#include "services/encoding.h"
#include "services/profile.h"
#include "services/program.h"

namespace ld::test {
namespace {

const char* const kLog = "中奖记录.csv";

class Desk : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        disableEffects(true);
        folder.write("peizhi.a", Gbk("[zbt]\r\n一等奖=一等奖\r\n一等奖人数=5\r\n"));
        setLevel(2, "一等奖", "5");
        setPool({"张三", "李四", "王五", "赵六", "孙七"});
    }
    void menu(std::string_view utf8Caption) {
        EventArgs args;
        app::Stage().menuItem(Gbk(utf8Caption)).selected(app::Stage().self(), args);
    }
    std::vector<exporting::WinnerRecord> log() {
        return exporting::ParseWinnersFile(folder.exists(kLog) ? folder.read(kLog) : "");
    }
    void store(const std::string& key, const std::string& value) {
        WriteConfigText(ConfigStore::path(), "zbt", Gbk(key), Gbk(value));
    }
};

TEST_F(Desk, TheStageScreenAndTheConsole) {
    // One screen, no key: nothing changes.
    startAgain({});
    EXPECT_FALSE(host.gui.consoleScreen);
    EXPECT_TRUE(messages().empty());

    // A second screen without the key: still no console in front of the audience.
    host.screen.extra = {{"RIGHT", 1280, 720}};
    startAgain({});
    EXPECT_FALSE(host.gui.consoleScreen);

    // 舞台屏幕=2: the stage takes screen 2 (its size is the program's), the console screen 1.
    store("舞台屏幕", "2");
    startAgain({});
    EXPECT_EQ(host.screen.stageScreen(), 2);
    EXPECT_EQ(app::Stage().self().width(), 1280);
    EXPECT_EQ(host.gui.consoleScreen, 1);

    // Screen 3 is not connected: the primary screen, said once, and no console.
    store("舞台屏幕", "3");
    host.screen.stage = 1;
    startAgain({});
    EXPECT_EQ(host.screen.stageScreen(), 1);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, Gbk("舞台显示器 3 没有连接，舞台显示在主显示器上。"));
    EXPECT_FALSE(host.gui.consoleScreen) << "screen 2 may be where the stage was meant to be";

    // Chosen from 活动工具: stored, applied, the console follows.
    host.dialogs.listAnswers = {0};
    app::ChooseStageScreen();
    ASSERT_EQ(host.dialogs.listsShown.back().size(), 2u);
    EXPECT_EQ(host.dialogs.listsShown.back()[1], Gbk("2：RIGHT  1280x720"));
    EXPECT_EQ(ReadConfigText(ConfigStore::path(), "zbt", Gbk("舞台屏幕"), ""), "1");
    EXPECT_EQ(host.gui.consoleScreen, 2);
}

TEST_F(Desk, TheConsoleShowsTheStageAndRunsItsRoutines) {
    folder.write("zj.txt", "");
    const ConsoleActions actions = app::DeskActions();
    ConsoleView view = actions.view();
    ASSERT_EQ(view.levels.size(), 1u);
    EXPECT_EQ(view.selectedLevel, -1);
    EXPECT_EQ(view.poolSize, 5);
    EXPECT_EQ(view.stageMenu.front().caption, Gbk("更换主标题"));
    // The full-screen check-in view is the console's to open too.
    EXPECT_EQ(view.tools[view.tools.size() - 4].caption, Gbk("签到大屏"));
    EXPECT_EQ(view.tools[view.tools.size() - 3].caption, Gbk("照片审核"));
    EXPECT_EQ(view.tools[view.tools.size() - 2].caption, Gbk("公证抽奖"));

    control("组合框1").addItem(Gbk("一等奖"));  // as start-up fills the selector
    actions.chooseLevel(0);
    EXPECT_EQ(control("组合框1").text(), Gbk("一等奖"));
    actions.startOrStop();
    EXPECT_EQ(actions.view().buttonCaption, Gbk("停止抽奖"));
    actions.startOrStop();
    view = actions.view();
    EXPECT_FALSE(view.buttonEnabled);  // the pause after a stop, as on the stage
    EXPECT_EQ(view.levels[0].drawn, 1);
    EXPECT_EQ(view.levels[0].total, 5);
    EXPECT_EQ(view.poolSize, 4);
    ASSERT_EQ(view.winners.size(), 1u);
    EXPECT_EQ(view.winners[0].name, state().pickedName);
    EXPECT_EQ(view.winners[0].time.size(), 8u);
    host.loop.advance(200);

    host.dialogs.messageAnswers = {msg::kAnswerOk};
    actions.forfeit();
    EXPECT_EQ(state().nextOrdinal, 1);
    EXPECT_EQ(actions.view().winners[0].name, state().pickedName + Gbk("（放弃）"));

    const bool music = actions.view().musicOn;
    actions.toggleMusic();
    EXPECT_NE(actions.view().musicOn, music);

    actions.toggleClickers();
    EXPECT_TRUE(host.gui.clickerKeys);
    EXPECT_EQ(ReadConfigText(ConfigStore::path(), "zbt", Gbk("翻页笔"), ""), Gbk("真"));
    EXPECT_TRUE(actions.view().clickersOn);

    // Any menu command, by the number the console got: 查看抽奖结果 opens the results.
    for (const PopupEntry& e : actions.view().stageMenu)
        if (e.caption == Gbk("查看抽奖结果")) actions.runCommand(e.command);
    ASSERT_FALSE(host.shell.calls.empty());
}

// Moderated photos wait on the console, oldest first: let through, a photo takes its card's
// place; refused, it goes to history/ and the card stays.
TEST_F(Desk, ModeratedPhotosWaitOnTheConsole) {
    const ConsoleActions actions = app::DeskActions();
    EXPECT_FALSE(actions.view().moderationOn);
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    for (const PopupEntry& e : actions.view().tools)
        if (e.caption == Gbk("照片审核")) actions.runCommand(e.command);
    EXPECT_TRUE(actions.view().moderationOn);
    EXPECT_EQ(ReadConfigText(ConfigStore::path(), "qiandao", Gbk("照片审核"), ""), Gbk("真"));

    for (const char* name : {"photo", "待审核照片"})
        std::filesystem::create_directories(folder.diskPath(name));
    folder.write("photo/王五.jpg", "card");
    folder.write("photo/赵六.jpg", "card");
    folder.write("待审核照片/王五.jpg", "selfie");
    folder.write("待审核照片/赵六.jpg", "prank");
    ConsoleView view = actions.view();
    EXPECT_EQ(view.pendingPhotos, 2);
    EXPECT_EQ(view.pendingName, Gbk("王五"));
    EXPECT_EQ(view.pendingPhoto, "selfie");
    actions.moderatePhoto(view.pendingName, true);
    EXPECT_EQ(folder.read("photo/王五.jpg"), "selfie");
    view = actions.view();
    EXPECT_EQ(view.pendingPhotos, 1);
    EXPECT_EQ(view.pendingName, Gbk("赵六"));
    actions.moderatePhoto(view.pendingName, false);
    EXPECT_EQ(folder.read("photo/赵六.jpg"), "card");
    EXPECT_EQ(actions.view().pendingPhotos, 0);
    EXPECT_TRUE(folder.exists("history"));
}

TEST_F(Desk, TheWinnersFileFollowsTheDrawThroughExitRecoveryAndReset) {
    folder.write(kLog, "old run\r\n");
    choose("一等奖");
    drawOne();
    const Text first = state().pickedName;
    // A fresh run keeps the old file in history/ and begins anew.
    std::vector<exporting::WinnerRecord> records = log();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, "一等奖");
    EXPECT_EQ(records[0].ordinal, 1);
    EXPECT_EQ(records[0].name, GbkToUtf8(first));
    EXPECT_EQ(records[0].poolSize, 5);
    EXPECT_FALSE(records[0].forfeited);
    EXPECT_EQ(records[0].time.size(), 19u);
    ASSERT_TRUE(folder.exists("history"));

    drawOne();
    host.dialogs.messageAnswers = {msg::kAnswerOk};
    menu("放弃当前中奖人");
    records = log();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[2].forfeited);
    EXPECT_EQ(records[2].ordinal, 2);
    EXPECT_EQ(records[2].name, records[1].name);

    // The exports beside the program. On Linux the PDF's letters are drawn by Qt, which needs
    // a GUI application this test host does not have: the PDF fails there, and the operator
    // is told which file is missing. Windows draws them with GDI. A second click meanwhile
    // only hears that the export is under way; the note follows the PDF to its end and goes
    // before the operator is told where the files are.
    const size_t shown = messages().size(), shellCalls = host.shell.calls.size();
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerYes};
    app::ExportWinnersCommand();
    app::ExportWinnersCommand();
    while (app::JobRunning()) {
        host.loop.runPosted();
        std::this_thread::yield();
    }
    EXPECT_TRUE(folder.exists("中奖名单.xlsx"));
    EXPECT_TRUE(folder.exists("中奖名单.csv"));
    EXPECT_EQ(folder.exists("中奖名单.pdf"), kWindows);
    ASSERT_EQ(messages().size(), shown + 2);
    EXPECT_EQ(messages()[shown].text, Gbk("正在导出中奖名单，请稍候。"));
    const Text told = messages().back().text;
    EXPECT_TRUE(told.starts_with(Gbk("中奖名单已导出到文件夹：\r\n") + ProgramDirectoryShown() +
                                 Gbk("\r\n\r\n中奖名单.xlsx\r\n中奖名单.csv\r\n")));
    EXPECT_EQ(told.ends_with(Gbk("没有导出成功（文件可能正被其他程序打开）：\r\n中奖名单.pdf")),
              !kWindows);
    EXPECT_EQ(host.shell.calls.size(), shellCalls + kWindows);  // the folder, on 是
    ASSERT_FALSE(host.dialogs.progressShown.empty());
    EXPECT_EQ(host.dialogs.progressShown.back().second, 100);
    EXPECT_FALSE(host.dialogs.progressOpen);

    // Exit with the save, resume: the file goes on.
    host.dialogs.messageAnswers = {msg::kAnswerYes, msg::kAnswerOk};
    ASSERT_EQ(CatchExit([&] { menu("退出"); }), 0);
    startAgain({msg::kAnswerYes});
    choose("一等奖");
    drawOne();
    ASSERT_EQ(log().size(), 4u);
    EXPECT_EQ(log()[3].ordinal, 2);

    // A crash between the record and the winners file: the recovery brings the file level.
    const Text whole = folder.read(kLog);
    drawOne();
    folder.write(kLog, whole);
    startAgain({msg::kAnswerYes});
    ASSERT_EQ(log().size(), 5u);
    EXPECT_TRUE(state().resultsText.ends_with(WinnerLine(Gbk(log()[4].name), Gbk("一等奖"))));

    // The reset keeps it in history/ and deletes it.
    const size_t kept = std::distance(std::filesystem::directory_iterator(folder.diskPath("history")),
                                      std::filesystem::directory_iterator());
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerOk};
    ASSERT_EQ(CatchExit([&] { menu("软件初始化"); }), 0);
    EXPECT_FALSE(folder.exists(kLog));
    EXPECT_GT(std::distance(std::filesystem::directory_iterator(folder.diskPath("history")),
                            std::filesystem::directory_iterator()),
              static_cast<long>(kept));
}

TEST_F(Desk, TheWinnersFileIsNeverLostQuietly) {
    // A crash before the first write of a fresh run had kept the earlier run's file: the
    // recovery keeps it in history/ before it writes this run's.
    folder.write(kLog, "earlier run\r\n");
    choose("一等奖");
    drawOne();
    std::filesystem::remove_all(folder.diskPath("history"));
    folder.write(kLog, "earlier run\r\n");
    startAgain({msg::kAnswerYes});
    ASSERT_EQ(log().size(), 1u);
    ASSERT_TRUE(folder.exists("history"));
    const auto kept = std::filesystem::directory_iterator(folder.diskPath("history"))->path();
    EXPECT_EQ(folder.read("history/" + kept.filename().string()), "earlier run\r\n");

    // A file that cannot be written: told once at the stop, and again at the exit.
    std::filesystem::remove(folder.diskPath(kLog));
    std::filesystem::create_directory(folder.diskPath(kLog));
    startAgain({msg::kAnswerNo});  // the recovery question: a fresh run
    setPool({"张三", "李四", "王五"});
    choose("一等奖");
    messages().clear();
    drawOne();
    drawOne();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, Gbk("中奖记录.csv 保存失败，请检查磁盘！"));
    host.dialogs.messageAnswers = {msg::kAnswerOk, msg::kAnswerNo};
    ASSERT_EQ(CatchExit([&] { menu("退出"); }), 0);
    EXPECT_TRUE(messages()[1].text.starts_with(Gbk("中奖记录.csv 仍然无法保存")));
}

}  // namespace
}  // namespace ld::test
