// The application's routines against the program's own templates: every binding resolves,
// every control the application addresses exists with its type, and the routines that are
// pure window duty work.
#include "app/handlers.h"

#include <gtest/gtest.h>

#include <set>

#include "framework/builtin_templates.h"
#include "framework/popup_menu.h"
#include "framework/template_library.h"
#include "stage_fixture.h"
#include "support/test_host.h"
#include "ui/hotkeys.h"

namespace ld {
namespace {

// The real draw screen in a fresh program folder (see stage_fixture.h).
class AppHandlers : public test::StageTest {
protected:
    Window& stage() { return start(); }
};

// The controls the application's handlers address, with the type they expect. A handler that
// starts to address another control adds it here.
struct UsedControl {
    const char* window;
    const char* name;
    ControlType type;
};
const UsedControl kUsedControls[] = {
    {"MainWindow", "标签1_抽奖大标题", ControlType::Label},
    {"MainWindow", "透明标签_主标题", ControlType::TransLabel},
    {"MainWindow", "透明标签_副标题", ControlType::TransLabel},
    {"MainWindow", "透明标签_中奖人", ControlType::TransLabel},
    {"MainWindow", "透明标签_恭喜", ControlType::TransLabel},
    {"MainWindow", "透明标签_抽取进度", ControlType::TransLabel},
    {"MainWindow", "透明标签_奖项等级", ControlType::TransLabel},
    {"MainWindow", "透明标签_奖品名称", ControlType::TransLabel},
    {"MainWindow", "图片框_照片", ControlType::PicBox},
    {"MainWindow", "图片框_奖品", ControlType::PicBox},
    {"MainWindow", "组合框1", ControlType::ComboBox},
    {"MainWindow", "超级按钮", ControlType::SuperBtn},
    {"MainWindow", "分隔条_上", ControlType::SplitterBar},
    {"MainWindow", "分隔条_下", ControlType::SplitterBar},
    {"MainWindow", "分隔条_左", ControlType::SplitterBar},
    {"MainWindow", "分隔条_右", ControlType::SplitterBar},
    {"MainWindow", "列表框_显示抽奖结果", ControlType::ListBox},
    {"MainWindow", "编辑框_判断有无照片", ControlType::EditBox},
    {"MainWindow", "编辑框_写出文件", ControlType::EditBox},
    {"MainWindow", "结果", ControlType::EditBox},
    {"MainWindow", "编辑框1", ControlType::EditBox},
    {"MainWindow", "通用对话框1", ControlType::CommonDlg},
    {"MainWindow", "通用对话框_字体设置", ControlType::CommonDlg},
    {"MainWindow", "时钟_取随机", ControlType::Timer},
    {"MainWindow", "时钟_开始", ControlType::Timer},
    {"MainWindow", "外形框1", ControlType::ShapeBox},
    {"MainWindow", "分组框1", ControlType::GroupBox},
    {"MainWindow", "编辑框_照片图片宽", ControlType::EditBox},
    {"MainWindow", "编辑框_照片图片高", ControlType::EditBox},
    {"MainWindow", "编辑框_滚动速度", ControlType::EditBox},
    {"MainWindow", "选择框_是否允许重复抽奖", ControlType::CheckBox},
    {"MainWindow", "选择框_禁用特效", ControlType::CheckBox},
    {"MainWindow", "选择框_不显示按钮", ControlType::CheckBox},
    {"MainWindow", "标签8", ControlType::Label},
    {"MainWindow", "按钮_保存", ControlType::Button},
    {"PasswordWindow", "编辑框1", ControlType::EditBox},
    {"PasswordWindow", "按钮_登陆", ControlType::Button},
    {"PasswordWindow", "按钮_修改密码", ControlType::Button},
};
// Per level N = 1..8, in the settings table.
const std::pair<const char*, ControlType> kUsedLevelControls[] = {
    {"编辑框_奖项%", ControlType::EditBox},     {"编辑框_奖项人数%", ControlType::EditBox},
    {"编辑框_奖项%图片", ControlType::EditBox}, {"编辑框_中奖人%", ControlType::EditBox},
    {"编辑框_中奖人%%", ControlType::EditBox},  {"编辑框_中奖人%%%", ControlType::EditBox},
    {"按钮_奖项%浏览", ControlType::Button},    {"按钮_奖项%浏览1", ControlType::Button},
};

TEST_F(AppHandlers, EveryControlTheApplicationAddressesExistsWithItsType) {
    auto check = [&](const char* window, const Text& name, ControlType type) {
        ASSERT_TRUE(LoadWindow(window));
        Control* c = manager.window(window).find(name);
        ASSERT_NE(c, nullptr) << window << " lacks " << name;
        EXPECT_EQ(c->type(), type) << name;
    };
    for (const auto& u : kUsedControls) check(u.window, Gbk(u.name), u.type);
    for (int n = 1; n <= 8; ++n) {
        for (const auto& [pattern, type] : kUsedLevelControls) {
            Text name = Gbk(pattern);
            for (size_t at; (at = name.find('%')) != Text::npos;)
                name.replace(at, 1, std::to_string(n));
            check("MainWindow", name, type);
        }
    }
    Window& w = stage();
    for (const char* item : {"启用背景音乐", "禁用背景音乐", "窗口", "全屏", "放弃当前中奖人"})
        EXPECT_FALSE(test::CatchExit([&] { w.menuItem(Gbk(item)); })) << item;
    // The events through which the draw is driven.
    const std::pair<const char*, int> kDrawEvents[] = {
        {"超级按钮", ev::kClicked},   {"标签1_抽奖大标题", ev::kNotification},
        {"时钟_取随机", ev::kTick},   {"时钟_开始", ev::kTick},
        {"组合框1", ev::kItemChosen},
    };
    for (const auto& [name, event] : kDrawEvents)
        EXPECT_TRUE(w.control(Gbk(name)).isBound(event)) << name;
    EXPECT_TRUE(static_cast<bool>(w.menuItem(Gbk("放弃当前中奖人")).selected));
    // Start-up, exit and reset.
    EXPECT_TRUE(w.self().isBound(ev::kCreated));
    EXPECT_TRUE(w.self().isBound(ev::kMayClose));
    for (const char* item : {"退出", "软件初始化"})
        EXPECT_TRUE(static_cast<bool>(w.menuItem(Gbk(item)).selected)) << item;
}

// One table: every name the templates bind has a routine, each registered once, and no
// routine is left that no template binds.
TEST(AppRoutines, EveryBoundNameIsRegisteredExactlyOnce) {
    HandlerTable table;
    app::RegisterHandlers(table);
    EXPECT_TRUE(table.registeredTwice().empty()) << table.registeredTwice().front();
    std::set<std::string> bound;
    std::string_view names = BuiltInHandlerNames();
    for (size_t at = 0; at < names.size(); at = names.find('\0', at) + 1)
        bound.insert(std::string(*HandlerNameAt(names, static_cast<int32_t>(at))));
    const auto registered = table.names();
    EXPECT_EQ(std::set<std::string>(registered.begin(), registered.end()), bound);
}

TEST_F(AppHandlers, EnterIsArmedOnlyWhileTheDrawScreenIsActive) {
    Window& w = stage();
    EXPECT_FALSE(HasHotKey(0, kVirtualKeyEnter));
    w.self().raise(ev::kActivated);
    EXPECT_TRUE(HasHotKey(0, kVirtualKeyEnter));
    EXPECT_TRUE(DispatchHotKey(0, kVirtualKeyEnter));  // reaches the label's notification
    EXPECT_FALSE(DispatchHotKey(keys::kCtrl, kVirtualKeyEnter));
    w.self().raise(ev::kDeactivated);
    EXPECT_FALSE(HasHotKey(0, kVirtualKeyEnter));
    // Two activations in a row leave one key, which one deactivation removes.
    w.self().raise(ev::kActivated);
    w.self().raise(ev::kActivated);
    w.self().raise(ev::kDeactivated);
    EXPECT_FALSE(HasHotKey(0, kVirtualKeyEnter));
}

TEST_F(AppHandlers, RightClickOffersTheMenuAndTheSettingsEntryOpensThePasswordWindowModal) {
    Window& w = stage();
    bool passwordShown = false;
    host.loop.modalScripts.push_back([&] {
        passwordShown = IsWindowLoaded(app::kPasswordWindow);
        CloseWindow(app::kPasswordWindow);
    });
    host.gui.menuChoices = {kFirstMenuCommand + 2};  // 奖项设置
    EventArgs click{10, 10, 0};
    w.control(Gbk("透明标签_中奖人")).raise(ev::kRightDown, click);
    ASSERT_EQ(host.gui.menusShown.size(), 1u);
    EXPECT_EQ(host.gui.menusShown[0][2].caption, Gbk("奖项设置"));
    EXPECT_TRUE(passwordShown);
    EXPECT_FALSE(IsWindowLoaded(app::kPasswordWindow));
}

TEST_F(AppHandlers, CelebrationCoversTheScreenAndPicksAnAnimation) {
    host.screen.w = 1366;
    host.screen.h = 768;
    Window& main = stage();
    ASSERT_TRUE(LoadWindow(app::kCelebrationWindow, &main));
    Control& self = manager.window(app::kCelebrationWindow).self();
    EXPECT_EQ(self.left(), 0);
    EXPECT_EQ(self.top(), 0);
    EXPECT_EQ(self.width(), 1366);
    EXPECT_EQ(self.height(), 768);
    EXPECT_TRUE(self.tag() == "1" || self.tag() == "2" || self.tag() == "3") << self.tag();
    EXPECT_TRUE(IsWindowLoaded(app::kMainWindow));
}

// The gestures, check boxes, buttons and menu commands of the settings reach their routines.
TEST_F(AppHandlers, EverySettingsControlAndCommandIsBound) {
    Window& w = stage();
    for (const char* name : {"透明标签_主标题", "透明标签_副标题", "图片框_照片", "透明标签_中奖人",
                             "透明标签_恭喜", "透明标签_抽取进度", "透明标签_奖项等级", "组合框1",
                             "超级按钮", "图片框_奖品", "外形框1", "标签8"})
        EXPECT_TRUE(w.control(Gbk(name)).isBound(ev::kLeftDown)) << name;
    for (const char* name : {"分隔条_上", "分隔条_下", "分隔条_左", "分隔条_右"})
        EXPECT_TRUE(w.control(Gbk(name)).isBound(ev::kPositionChanged)) << name;
    for (const char* name : {"选择框_禁用特效", "选择框_不显示按钮", "按钮_保存"})
        EXPECT_TRUE(w.control(Gbk(name)).isBound(ev::kClicked)) << name;
    for (int n = 1; n <= 8; ++n) {
        for (const char* tail : {"浏览", "浏览1"}) {
            Text name = Gbk("按钮_奖项") + std::to_string(n) + Gbk(tail);
            EXPECT_TRUE(w.control(name).isBound(ev::kClicked)) << name;
        }
    }
    for (const char* item :
         {"更换主标题", "更换副标题", "奖项设置", "设置抽奖照片数据", "查看抽奖结果", "更换背景图",
          "取消背景图", "更换背景音乐", "启用背景音乐", "禁用背景音乐", "主标题", "副标题",
          "滚动抽取", "抽奖结果", "窗口", "全屏"})
        EXPECT_TRUE(static_cast<bool>(w.menuItem(Gbk(item)).selected)) << item;
    ASSERT_TRUE(LoadWindow(app::kPasswordWindow));
    Window& password = manager.window(app::kPasswordWindow);
    EXPECT_TRUE(password.self().isBound(ev::kCreated));
    for (const char* name : {"按钮_登陆", "按钮_修改密码"})
        EXPECT_TRUE(password.control(Gbk(name)).isBound(ev::kClicked)) << name;
}

}  // namespace
}  // namespace ld
