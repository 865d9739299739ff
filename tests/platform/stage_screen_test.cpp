// The stage on a screen of its own: the program's coordinates count from that screen's
// corner for the stage and what it owns, both ways; the console and the operator's windows
// and dialogs keep off it.
#include <QMessageBox>
#include <QScreen>

#include "platform/qt/batch_grid.h"
#include "platform/qt/console_window.h"
#include "platform/qt/screens.h"
#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

class StageOnItsScreen : public QtStageTest {
protected:
    StageOnItsScreen() {
        auto place = [](Window& w, QRect r, int border) {
            w.self().setInt(prop::kBorder, border);
            w.self().setLeft(r.x());
            w.self().setTop(r.y());
            w.self().setWidth(r.width());
            w.self().setHeight(r.height());
        };
        define("Stage", [place](Window& w) { place(w, {10, 20, 400, 300}, 1); });
        define("Overlay", [place](Window& w) { place(w, {0, 0, 1024, 768}, 0); });
        define("Password", [place](Window& w) { place(w, {700, 500, 300, 200}, 1); });
    }
    ~StageOnItsScreen() override { screen.useStageScreen(1); }

    static QRect ScreenRect(int number) { return ScreenNumbered(number)->geometry(); }
    // Lets the window system deliver what the window asked for.
    static void Settle() {
        for (int i = 0; i < 5; ++i) QTest::qWait(10);
    }
};

TEST_F(StageOnItsScreen, TheStageAndItsOverlayCountFromTheirScreenTheOperatorsWindowsKeepOffIt) {
    if (NumberedScreens().size() < 2) GTEST_SKIP() << "needs a second screen";
    EXPECT_FALSE(screen.useStageScreen(3));
    EXPECT_EQ(screen.stageScreen(), 1);
    ASSERT_TRUE(screen.useStageScreen(2));
    EXPECT_EQ(screen.stageScreen(), 2);
    EXPECT_EQ(screen.width(), ScreenRect(2).width());
    EXPECT_EQ(screen.height(), ScreenRect(2).height());
    ASSERT_EQ(screen.screens().size(), 2u);
    EXPECT_EQ(screen.screens()[0].name, "first");

    // Windowed, at its place on screen 2; moved by the window manager, the model follows.
    Window& stageWindow = load("Stage");
    StageWindow& stage = this->stage(stageWindow);
    Settle();
    EXPECT_EQ(stage.frameGeometry().topLeft(), ScreenRect(2).topLeft() + QPoint(10, 20));
    stage.windowHandle()->setFramePosition(ScreenRect(2).topLeft() + QPoint(50, 60));
    Settle();
    EXPECT_EQ(QPoint(stageWindow.self().left(), stageWindow.self().top()), QPoint(50, 60));

    // The whole screen, frameless: full screen over screen 2; the celebration covers it too.
    auto fullScreen = [&] {
        stageWindow.self().setInt(prop::kBorder, 0);
        stageWindow.self().setLeft(0);
        stageWindow.self().setTop(0);
        stageWindow.self().setWidth(screen.width());
        stageWindow.self().setHeight(screen.height());
        Settle();
    };
    fullScreen();
    EXPECT_TRUE(stage.isFullScreen());
    EXPECT_EQ(stage.geometry(), ScreenRect(2));
    Window& overlay = load("Overlay", &stageWindow);
    Settle();
    EXPECT_EQ(this->stage(overlay).geometry(), ScreenRect(2));

    // The console goes to the other screen whatever it asks for, and takes the dialogs and
    // the operator's windows (kept inside its screen) with it.
    ConsoleActions actions;
    actions.view = [] { return ConsoleView{}; };
    gui.openConsole(2, actions);
    ASSERT_NE(gui.console(), nullptr);
    Settle();
    EXPECT_TRUE(ScreenRect(1).contains(gui.console()->frameGeometry()));
    activate(stageWindow);
    EXPECT_EQ(DialogOwner(), gui.console());
    Window& password = load("Password");
    Settle();
    EXPECT_TRUE(ScreenRect(1).contains(this->stage(password).frameGeometry()));
    activate(password);
    EXPECT_EQ(DialogOwner(), &this->stage(password));

    // Back on screen 1 the stage moves, full screen there; the console leaves for screen 2.
    ASSERT_TRUE(screen.useStageScreen(1));
    fullScreen();
    EXPECT_TRUE(stage.isFullScreen());
    EXPECT_EQ(stage.geometry(), ScreenRect(1));
    EXPECT_TRUE(ScreenRect(2).contains(gui.console()->frameGeometry()));
    gui.closeConsole();
    activate(stageWindow);
    EXPECT_EQ(DialogOwner(), &stage);
}

TEST_F(StageOnItsScreen, TheSettingsPanelOpensAboveEverythingWhereTheOperatorIs) {
    if (NumberedScreens().size() < 2) GTEST_SKIP() << "needs a second screen";
    Control* panel = nullptr;
    define("Panelled", [&panel](Window& w) {
        w.self().setWidth(800);
        w.self().setHeight(600);
        panel = &add(w, ControlType::ShapeBox, "panel", {50, 60, 260, 300});
        panel->setVisible(false);
        add(w, ControlType::EditBox, "field", {10, 10, 100, 24}, panel);
    });
    Window& window = load("Panelled");
    StageWindow& stage = this->stage(window);
    QWidget* shown = widgetOf(*panel);
    BatchGridView grid;
    grid.width = 800;
    grid.height = 600;
    grid.tiles.resize(4, BatchTile{ImageBytes({40, 30}, Qt::red), {}, {}});
    auto aboveGrid = [&] {
        const QObjectList& stack = stage.children();  // bottom to top
        return stack.indexOf(shown) > stack.indexOf(stage.batchGrid());
    };

    // On the stage: over a grid that is there, and over one that comes later; the grid lets
    // clicks through to whatever lies under it.
    gui.showBatchGrid(window, grid);
    panel->setVisible(true);
    EXPECT_FALSE(shown->isWindow());
    EXPECT_TRUE(aboveGrid());
    gui.hideBatchGrid(window);
    gui.showBatchGrid(window, grid);
    EXPECT_TRUE(aboveGrid());
    panel->setVisible(false);

    // With the stage on screen 2 and the console on screen 1: a window of its own on
    // screen 1, on top, dragged there; back inside the stage once the console is gone.
    ASSERT_TRUE(screen.useStageScreen(2));
    ConsoleActions actions;
    actions.view = [] { return ConsoleView{}; };
    gui.openConsole(1, actions);
    Settle();
    panel->setVisible(true);
    Settle();
    ASSERT_TRUE(shown->isWindow());
    EXPECT_TRUE(shown->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(ScreenRect(1).contains(shown->frameGeometry()));
    panel->setLeft(100);
    Settle();
    EXPECT_EQ(shown->frameGeometry().topLeft(), ScreenRect(1).topLeft() + QPoint(100, 60));
    panel->setVisible(false);
    gui.closeConsole();
    panel->setVisible(true);
    EXPECT_FALSE(shown->isWindow());
    EXPECT_EQ(shown->parentWidget(), &stage);
}

}  // namespace
}  // namespace ld::qt::test
