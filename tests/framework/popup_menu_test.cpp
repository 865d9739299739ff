#include "framework/popup_menu.h"

#include "builtin_fixture.h"
#include "services/encoding.h"

namespace ld {
namespace {

using test::BuiltInTemplates;

// "caption[#command][ v][ x]" per entry, submenus in brackets: v checked, x disabled.
std::string Outline(const std::vector<PopupEntry>& entries) {
    std::string s;
    for (const auto& e : entries) {
        if (!s.empty()) s += " | ";
        s += e.separator ? "-" : GbkToUtf8(e.caption);
        if (e.command) s += "#" + std::to_string(e.command - kFirstMenuCommand);
        if (!e.shortcut.empty()) s += " " + e.shortcut;
        if (e.checked) s += " v";
        if (e.disabled) s += " x";
        if (!e.submenu.empty()) s += " [" + Outline(e.submenu) + "]";
    }
    return s;
}

TEST_F(BuiltInTemplates, DrawScreenMenuShowsItsEntriesWithoutTheHiddenOnes) {
    Window& w = load("MainWindow");
    EXPECT_EQ(Outline(BuildPopupMenu(w.menu(), 0)),
              "更换主标题#0 | 更换副标题#1 | 奖项设置#2 | 设置抽奖照片数据#3 | 查看抽奖结果#4 | "
              "背景图控制 [更换背景图#5 | 取消背景图#6] | "
              "背景音乐控制 [更换背景音乐#7 | 启用背景音乐#8 | 禁用背景音乐#9 v] | "
              "字体颜色设置 [主标题#10 | 副标题#11 | 抽奖结果#12] | "
              "界面大小 [窗口#13 | 全屏#14 v] | 放弃当前中奖人#15 | 软件初始化#16 | 退出#17");
}

TEST_F(BuiltInTemplates, RightClickRunsTheChosenItem) {
    Window& w = load("MainWindow");
    log.clear();
    host.gui.menuChoices = {kFirstMenuCommand + 12, std::nullopt, kFirstMenuCommand + 99};
    RunPopupMenu(w);
    EXPECT_EQ(log, std::vector<std::string>{"ResultFont@"});
    RunPopupMenu(w);  // dismissed
    RunPopupMenu(w);  // a command the menu does not have
    EXPECT_EQ(log.size(), 1u);
    ASSERT_EQ(host.gui.menusShown.size(), 3u);
    // The same entries whichever element was clicked, and after a check mark moved.
    w.setMenuChecked(Gbk("全屏"), false);
    w.setMenuChecked(Gbk("窗口"), true);
    auto entries = BuildPopupMenu(w.menu(), 0);
    EXPECT_EQ(Outline(entries[8].submenu), "窗口#13 v | 全屏#14");
}

std::vector<MenuItem> Items(std::initializer_list<std::pair<int, const char*>> levels) {
    std::vector<MenuItem> items;
    for (auto [level, caption] : levels) {
        MenuItem m;
        m.level = level;
        m.caption = caption;
        items.push_back(m);
    }
    return items;
}

TEST(PopupMenu, HiddenItemsTakeTheirDescendantsWithThem) {
    auto items = Items({{0, "root"},
                        {1, "a"},
                        {1, "sub"},
                        {2, "b"},
                        {3, "deep"},
                        {2, "c"},
                        {1, "d"},
                        {0, "next root"},
                        {1, "other"}});
    EXPECT_EQ(Outline(BuildPopupMenu(items, 0)), "a#0 | sub [b [deep#1] | c#2] | d#3");
    items[3].hidden = true;  // "b" and "deep" go
    EXPECT_EQ(Outline(BuildPopupMenu(items, 0)), "a#0 | sub [c#1] | d#2");
    items[2].hidden = true;  // the whole submenu goes
    EXPECT_EQ(Outline(BuildPopupMenu(items, 0)), "a#0 | d#1");
    EXPECT_EQ(Outline(BuildPopupMenu(items, 7)), "other#0");
    EXPECT_TRUE(BuildPopupMenu(items, 99).empty());
}

TEST(PopupMenu, SeparatorsDisabledItemsAndShortcuts) {
    auto items = Items({{0, "root"}, {1, "a"}, {1, "-"}, {1, "b"}, {1, "sub"}, {2, "gone"}});
    items[1].shortcut = 0x100 | 'S';
    items[3].disabled = true;
    items[3].shortcut = 0x200 | 0x74;
    items[5].hidden = true;
    // A submenu whose items are all hidden is greyed and has no command.
    EXPECT_EQ(Outline(BuildPopupMenu(items, 0)), "a#0 Ctrl+S | - | b#1 Shift+F5 x | sub x");
    EXPECT_EQ(ShortcutText(0), "");
    EXPECT_EQ(ShortcutText(0x700 | '1'), "Ctrl+Shift+Alt+1");
}

TEST(PopupMenu, ChoosingRunsOnlyEnabledItemsWithAHandler) {
    test::TestHost host;
    Window w("W", 0);
    w.menu() = Items({{0, "root"}, {1, "none"}, {1, "off"}, {1, "on"}});
    std::vector<std::string> ran;
    for (size_t i = 2; i < 4; ++i)
        w.menu()[i].selected = [&ran, i](Control&, EventArgs&) {
            ran.push_back(std::to_string(i));
        };
    w.menu()[2].disabled = true;
    host.gui.menuChoices = {kFirstMenuCommand, kFirstMenuCommand + 1, kFirstMenuCommand + 2};
    RunPopupMenu(w);  // no handler and no deeper items: nothing happens
    RunPopupMenu(w);  // disabled
    RunPopupMenu(w);
    EXPECT_EQ(ran, std::vector<std::string>{"3"});
}

}  // namespace
}  // namespace ld
