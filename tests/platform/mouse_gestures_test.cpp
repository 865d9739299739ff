// Mouse input turned into the program's events: presses with their key state, the move
// loop behind Ctrl + left press, right presses, splitter drags.
#include <QTimer>

#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

class MouseGestures : public QtStageTest {
protected:
    MouseGestures() {
        define("Stage", [this](Window& w) {
            title = &add(w, ControlType::TransLabel, "title", {40, 20, 200, 40});
            title->setText(prop::kText, "Title");
            button = &add(w, ControlType::SuperBtn, "button", {100, 200, 120, 50});
            bar = &add(w, ControlType::SplitterBar, "bar", {20, 150, 300, 1});
            bar->setInt(prop::kBackColor, 0x000000FF);
            // As the draw screen does: a press with exactly Ctrl moves the element.
            auto moveOnCtrl = [this](Control& c, EventArgs& e) {
                keyStates.push_back(e.keyState);
                pressedAt = QPoint(e.x, e.y);
                if (e.keyState == keys::kCtrl) gui.moveLoop(c);
                afterMove = QPoint(c.left(), c.top());
            };
            title->bind(ev::kLeftDown, moveOnCtrl);
            button->bind(ev::kLeftDown, moveOnCtrl);
            button->bind(ev::kClicked, [this](Control&, EventArgs&) { ++clicks; });
            title->bind(ev::kRightDown, [this](Control&, EventArgs& e) {
                rightPresses.push_back({e.x, e.y});
            });
            w.self().bind(ev::kRightDown, [this](Control&, EventArgs&) { ++windowRightPresses; });
            bar->bind(ev::kPositionChanged, [this](Control&, EventArgs& e) {
                moves.push_back({e.oldPos, e.newPos});
            });
        });
        window = &load("Stage");
    }

    // Presses at `from` in the control, then moves by `by` and releases, inside the loop the
    // press handler runs. The mouse moves in window coordinates: the control moves under it.
    void drag(Control& c, QPoint from, QPoint by, Qt::KeyboardModifiers mods) {
        QWidget* w = widgetOf(c);
        QWidget* s = &stage(c.window());
        QPoint start = w->mapTo(s, from);
        QTimer::singleShot(0, [s, start, by, mods] {
            QTest::mouseMove(s, start + by / 2);
            QTest::mouseMove(s, start + by);
            QTest::mouseRelease(s, Qt::LeftButton, mods, start + by);
        });
        QTest::mousePress(w, Qt::LeftButton, mods, from);
        QCoreApplication::processEvents();
    }

    Window* window = nullptr;
    Control *title = nullptr, *button = nullptr, *bar = nullptr;
    std::vector<int> keyStates;
    QPoint pressedAt, afterMove;
    std::vector<std::pair<int, int>> rightPresses, moves;
    int clicks = 0, windowRightPresses = 0;
};

TEST_F(MouseGestures, CtrlPressRunsTheMoveLoopAndTheHandlerSeesTheNewPosition) {
    drag(*title, {10, 10}, {30, 25}, Qt::ControlModifier);
    ASSERT_EQ(keyStates, std::vector<int>{keys::kCtrl});
    EXPECT_EQ(pressedAt, QPoint(10, 10));  // relative to the control
    // The handler continued after the release and read the position the mouse gave.
    EXPECT_EQ(afterMove, QPoint(70, 45));
    EXPECT_EQ(QPoint(title->left(), title->top()), QPoint(70, 45));
    EXPECT_EQ(widgetOf(*title)->pos(), QPoint(70, 45));
}

TEST_F(MouseGestures, OtherModifiersAreReportedButMoveNothing) {
    drag(*title, {10, 10}, {30, 25}, Qt::ControlModifier | Qt::ShiftModifier);
    drag(*title, {10, 10}, {30, 25}, Qt::AltModifier);
    drag(*title, {10, 10}, {30, 25}, Qt::NoModifier);
    EXPECT_EQ(keyStates, (std::vector<int>{keys::kCtrl | keys::kShift, keys::kAlt, 0}));
    EXPECT_EQ(QPoint(title->left(), title->top()), QPoint(40, 20));
}

TEST_F(MouseGestures, MovedButtonIsNotClickedButAPlainPressStillClicks) {
    drag(*button, {20, 20}, {40, 0}, Qt::ControlModifier);
    EXPECT_EQ(button->left(), 140);
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(widgetOf(*button), Qt::LeftButton, Qt::NoModifier, {20, 20});
    EXPECT_EQ(clicks, 1);
}

TEST_F(MouseGestures, RightPressGoesToTheElementOrElseToTheWindow) {
    QTest::mousePress(widgetOf(*title), Qt::RightButton, Qt::NoModifier, {5, 6});
    ASSERT_EQ(rightPresses.size(), 1u);
    EXPECT_EQ(rightPresses[0], std::make_pair(5, 6));
    EXPECT_EQ(windowRightPresses, 0);  // the label kept it
    // On its own background the window gets the press.
    QTest::mousePress(&stage(*window), Qt::RightButton, Qt::NoModifier, {350, 280});
    EXPECT_EQ(windowRightPresses, 1);
}

TEST_F(MouseGestures, SplitterDragReportsOldAndNewPosition) {
    QWidget* w = widgetOf(*bar);
    QWidget* s = &stage(*window);
    QPoint grip(120, 150);  // on the bar, in window coordinates
    // The bar follows the mouse while dragging: each event is placed where the mouse is.
    auto at = [&](QPoint d) { return w->mapFrom(s, grip + d); };
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, at({0, 0}));
    QTest::mouseMove(w, at({0, 4}));
    QTest::mouseMove(w, at({3, 10}));  // only the bar's cross direction counts
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at({3, 10}));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], std::make_pair(150, 160));
    EXPECT_EQ(bar->top(), 160);
    EXPECT_EQ(bar->left(), 20);
    // A press and release in place is no move.
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, {100, w->height() / 2});
    EXPECT_EQ(moves.size(), 1u);
}

}  // namespace
}  // namespace ld::qt::test
