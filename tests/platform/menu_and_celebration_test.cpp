// The pop-up menu as the model builds it, where a right press opens it on the draw screen,
// and the celebration animations.
#include <QMenu>
#include <QTimer>

#include "framework/builtin_fixture.h"
#include "platform/qt/fireworks.h"
#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

PopupEntry Entry(const char* caption, int command, bool checked = false) {
    PopupEntry e;
    e.caption = Gbk(caption);
    e.command = command;
    e.checked = checked;
    return e;
}

std::vector<PopupEntry> SampleMenu() {
    PopupEntry size = Entry("界面大小", 0);
    size.submenu = {Entry("窗口", 20001), Entry("全屏", 20002, true)};
    PopupEntry forfeit = Entry("放弃当前中奖人", 20003);
    forfeit.disabled = true;
    PopupEntry separator;
    separator.separator = true;
    return {Entry("更换主标题", 20000), size, separator, forfeit};
}

class MenuAndCelebration : public QtStageTest {};

TEST_F(MenuAndCelebration, PopupShowsTheEntriesOfTheModel) {
    std::unique_ptr<QMenu> menu(BuildPopupMenu(SampleMenu()));
    QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), QString::fromUtf8("更换主标题"));
    EXPECT_EQ(actions[0]->data().toInt(), 20000);
    ASSERT_NE(actions[1]->menu(), nullptr);
    EXPECT_EQ(actions[1]->text(), QString::fromUtf8("界面大小"));
    QList<QAction*> sub = actions[1]->menu()->actions();
    ASSERT_EQ(sub.size(), 2);
    EXPECT_FALSE(sub[0]->isChecked());
    EXPECT_TRUE(sub[1]->isChecked());
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_FALSE(actions[3]->isEnabled());
}

TEST_F(MenuAndCelebration, ChoosingAnEntryReturnsItsCommandAndEscapeNone) {
    define("Main", [](Window&) {});
    Window& w = load("Main");
    auto choose = [&](std::function<void(QMenu&)> act) {
        QTimer::singleShot(0, [act] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            act(*menu);
        });
        return gui.popupMenu(w, SampleMenu());
    };
    auto pick = [](QMenu& m, QAction* a) {
        m.setActiveAction(a);
        QTest::keyClick(&m, Qt::Key_Return);
    };
    EXPECT_EQ(choose([&](QMenu& m) { pick(m, m.actions()[0]); }), 20000);
    EXPECT_EQ(choose([&](QMenu& m) {
                  m.setActiveAction(m.actions()[1]);
                  QTest::keyClick(&m, Qt::Key_Right);
                  QMenu* sub = m.actions()[1]->menu();
                  pick(*sub, sub->actions()[0]);
              }),
              20001);
    EXPECT_EQ(choose([](QMenu& m) { QTest::keyClick(&m, Qt::Key_Escape); }), std::nullopt);
}

// The program's own draw screen, its routines only recorded.
class DrawScreenMenu : public QtStageTest {
protected:
    DrawScreenMenu() {
        ld::test::RegisterRecorders(routines, log);
        Text error;
        EXPECT_TRUE(library.load(BuiltInTemplateBlock(), BuiltInHandlerNames(), routines, &error))
            << error;
        setWindowManager(&screens);
        EXPECT_TRUE(screens.loadWindow("MainWindow"));
        main = &screens.window("MainWindow");
        main->control(Gbk("外形框1")).setVisible(true);  // the settings panel, open
        stage(*main).showFirstTime();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&stage(*main)));
    }
    ~DrawScreenMenu() override { screens.destroyWindow("MainWindow"); }

    // Where the menu opened for a right press at `at` in `w`, delivered as the window system
    // does: to the innermost widget there.
    std::vector<std::string> menusForRightPress(QWidget* w, QPoint at,
                                                Qt::KeyboardModifiers keys = Qt::NoModifier) {
        if (QWidget* inner = w->childAt(at)) {
            at = inner->mapFrom(w, at);
            w = inner;
        }
        log.clear();
        QTest::mousePress(w, Qt::RightButton, keys, at);
        QTest::mouseRelease(w, Qt::RightButton, keys, at);
        std::vector<std::string> menus;
        for (const std::string& entry : log)
            if (entry.starts_with("ShowPopupMenu@")) menus.push_back(entry);
        return menus;
    }
    std::vector<std::string> menusForRightPressOn(const char* name) {
        QWidget* w = widgetOf(main->control(Gbk(name)));
        return menusForRightPress(w, w->rect().center());
    }

    std::vector<std::string> log;
    HandlerTable routines;
    TemplateLibrary library;
    WindowManager screens{library.factory()};
    Window* main = nullptr;
};

TEST_F(DrawScreenMenu, OnlyTheWindowAndTheDisplayElementsOpenThePopupMenu) {
    const QPoint background(20, 260);
    ASSERT_EQ(stage(*main).childAt(background), nullptr);
    EXPECT_EQ(menusForRightPress(&stage(*main), background),
              std::vector<std::string>{"ShowPopupMenu@"});
    for (const char* c : {"图片框_照片", "图片框_奖品", "透明标签_中奖人", "透明标签_恭喜",
                          "透明标签_抽取进度", "透明标签_副标题", "透明标签_主标题"})
        EXPECT_EQ(menusForRightPressOn(c), std::vector<std::string>{"ShowPopupMenu@" + Gbk(c)})
            << c;
    // Anywhere else a right press opens nothing, whether the control ignores it, is disabled
    // or keeps it for its own use.
    for (const char* c :
         {"超级按钮", "透明标签_奖项等级", "组合框1", "分隔条_左", "外形框1", "分组框1", "标签2",
          "编辑框_奖项1", "编辑框_奖项1图片", "按钮_保存", "选择框_禁用特效"})
        EXPECT_EQ(menusForRightPressOn(c), std::vector<std::string>{}) << c;
    // With Ctrl the stage's event tools open from anywhere: the window's routine decides.
    QWidget* button = widgetOf(main->control(Gbk("超级按钮")));
    EXPECT_EQ(menusForRightPress(button, button->rect().center(), Qt::ControlModifier),
              std::vector<std::string>{"ShowPopupMenu@"});
}

TEST_F(MenuAndCelebration, AnimationsDifferAndStopTheMomentTheWindowCloses) {
    define("Main", [](Window&) {});
    define("Celebration", [](Window& w) { w.self().setInt(prop::kBorder, 0); });
    Window& main = load("Main");
    std::vector<QImage> frames;
    for (int animation = 1; animation <= 3; ++animation) {
        Window& c = load("Celebration", &main);
        gui.playAnimation(c, animation);
        QWidget* fireworks = stage(c).findChild<QWidget*>();
        ASSERT_TRUE(FireworksRunning(fireworks));
        AdvanceFireworks(fireworks, 1.5);
        EXPECT_GT(FireworksParticles(fireworks), 50);
        frames.push_back(fireworks->grab().toImage());
        manager.destroyWindow("Celebration");
        EXPECT_FALSE(FireworksRunning(fireworks));  // cut off, not faded out
        EXPECT_EQ(FireworksParticles(fireworks), 0);
    }
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_NE(frames[1], frames[2]);
}

}  // namespace
}  // namespace ld::qt::test
