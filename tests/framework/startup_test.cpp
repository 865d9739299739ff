#include "framework/startup.h"

#include <algorithm>

#include "builtin_fixture.h"
#include "services/program.h"
#include "ui/hotkeys.h"

namespace ld {
namespace {

class Startup : public ::testing::Test {
protected:
    StartupSteps steps() {
        StartupSteps s;
        s.block = BuiltInTemplateBlock();
        s.handlerNames = BuiltInHandlerNames();
        s.locateProgram = [this] {
            log.push_back("locate");
            SetProgramLocationForTest("/nonexistent/draw", "luckydraw");
            return true;
        };
        s.registerHandlers = [this](HandlerTable& t) {
            log.push_back("register");
            test::RegisterRecorders(t, log);
        };
        s.initialiseApplication = [this] {
            log.push_back("initialise");
            EXPECT_TRUE(hasTemplates());  // the application may read templates already
        };
        return s;
    }
    Text lastMessage() const {
        return host.dialogs.messages.empty() ? Text() : host.dialogs.messages.back().text;
    }

    test::TestHost host;
    std::vector<std::string> log;
};

TEST_F(Startup, LoadsTheDrawScreenAndRunsUntilTheLastWindowCloses) {
    host.loop.modalScripts.push_back([&] {
        EXPECT_TRUE(IsWindowLoaded("MainWindow"));
        EXPECT_FALSE(IsWindowLoaded("PasswordWindow"));
        log.push_back("running");
        CloseWindow("MainWindow");
    });
    EXPECT_EQ(RunStartup(steps()), 0);
    EXPECT_EQ(
        log, (std::vector<std::string>{"locate", "register", "initialise", "StartUp@", "running"}));
    EXPECT_EQ(ProgramDirectory(), "/nonexistent/draw");
    EXPECT_EQ(host.gui.loaded, std::vector<Text>{"MainWindow"});
    EXPECT_EQ(host.gui.closed, std::vector<Text>{"MainWindow"});
    EXPECT_FALSE(hasTemplates());
}

TEST_F(Startup, ExitProgramEndsTheRunWithItsCodeAndClosesWhatIsOpen) {
    host.loop.modalScripts.push_back([&] {
        Window& stage = windows().window("MainWindow");
        AddHotKey(stage, stage.control(Gbk("标签1_抽奖大标题")), 0, kVirtualKeyEnter);
        host.shell.exitProgram(3);
    });
    EXPECT_EQ(RunStartup(steps()), 3);
    EXPECT_EQ(host.gui.closed, std::vector<Text>{"MainWindow"});
    EXPECT_FALSE(HasHotKey(0, kVirtualKeyEnter));  // nothing points at the destroyed window
}

TEST_F(Startup, ABlockThatCannotBeReadIsTheTemplateError) {
    StartupSteps s = steps();
    Bytes cut(BuiltInTemplateBlock().substr(0, 100));
    s.block = cut;
    EXPECT_NE(RunStartup(s), 0);
    EXPECT_EQ(lastMessage(), Gbk("运行时出错!") + "\r\n" + TemplateBlockError());
    EXPECT_EQ(TemplateBlockError(), Gbk("载入窗口模板数据段出错!"));
    EXPECT_TRUE(host.gui.loaded.empty());
    EXPECT_EQ(std::count(log.begin(), log.end(), "initialise"), 0);
}

TEST_F(Startup, ARoutineTheApplicationLacksIsTheTemplateErrorToo) {
    StartupSteps s = steps();
    s.registerHandlers = [](HandlerTable& t) {
        t.add("StartUp", [](Control&, EventArgs&) {});  // and nothing else
    };
    EXPECT_NE(RunStartup(s), 0);
    EXPECT_EQ(lastMessage(), Gbk("运行时出错!") + "\r\n" + TemplateBlockError());
    // Handler names that do not fit the block's references are refused the same way.
    s = steps();
    s.handlerNames = "";
    EXPECT_NE(RunStartup(s), 0);
    EXPECT_EQ(host.dialogs.messages.size(), 2u);
}

TEST(StartupMessages, FirstWindowError) { EXPECT_EQ(FirstWindowError(), Gbk("载入启动窗口失败")); }

}  // namespace
}  // namespace ld
