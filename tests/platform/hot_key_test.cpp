// Enter while the draw screen is active runs its hot key, armed on activation and disarmed
// on deactivation; dialogs, text fields and the celebration window do not disturb it. The
// presenter clickers' keys follow the same rules, on the stage and on the console.
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/console_window.h"
#include "platform/qt/screens.h"
#include "qt_stage.h"
#include "services/text.h"
#include "ui/hotkeys.h"

namespace ld::qt::test {
namespace {

class HotKeys : public QtStageTest {
protected:
    HotKeys() {
        define("Stage", [this](Window& w) {
            target = &add(w, ControlType::Label, "target", {0, 0, 10, 10});
            target->setVisible(false);
            target->bind(ev::kNotification, [this](Control&, EventArgs&) { ++draws; });
            // First in the focus chain, so activation gives it the focus, as on the stage.
            button = &add(w, ControlType::SuperBtn, "button", {20, 80, 100, 0});
            edit = &add(w, ControlType::EditBox, "edit", {20, 20, 100, 24});
            // As the level selector does: choosing an item hands the focus to the button.
            selector = &add(w, ControlType::ComboBox, "selector", {20, 120, 100, 24});
            selector->setBool(prop::kDropDownList, true);
            selector->bind(ev::kItemChosen, [this](Control& c, EventArgs&) {
                chosen.push_back(c.getText(prop::kComboText));
                gui.setFocus(*button);
            });
            w.self().bind(ev::kActivated, [this, &w](Control&, EventArgs&) {
                hotKey = AddHotKey(w, *target, 0, kVirtualKeyEnter);
            });
            w.self().bind(ev::kDeactivated, [this, &w](Control&, EventArgs&) {
                RemoveHotKey(w, hotKey);
                hotKey = 0;
            });
        });
        define("Overlay", [](Window& w) { w.self().setInt(prop::kBorder, 0); });
        window = &load("Stage");
        activate(*window);
    }
    ~HotKeys() override { RemoveHotKeysOf(*window); }

    void pressEnter(QWidget* to = nullptr) {
        QTest::keyClick(to                            ? to
                        : QApplication::focusWidget() ? QApplication::focusWidget()
                                                      : &stage(*window),
                        Qt::Key_Return);
    }

    Window* window = nullptr;
    Control *target = nullptr, *edit = nullptr, *button = nullptr, *selector = nullptr;
    int hotKey = 0, draws = 0;
    std::vector<Text> chosen;
};

TEST_F(HotKeys, EnterOnTheActiveStageRunsTheHotKeyEvenWithTheButtonFlat) {
    ASSERT_NE(hotKey, 0);
    gui.setFocus(*button);  // height 0: invisible, yet it keeps the focus
    EXPECT_EQ(QApplication::focusWidget(), widgetOf(*button));
    pressEnter();
    EXPECT_EQ(draws, 1);
    QTest::keyClick(&stage(*window), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(draws, 2);
}

// The full-screen check-in view has Escape while shown, and nothing else of the stage's
// keys changes; closed, it gives the focus back where it was.
TEST_F(HotKeys, TheCheckinScreenTakesEscapeAndGivesTheFocusBack) {
    gui.setFocus(*button);
    int escapes = 0;
    CheckinScreenView view;
    view.escape = [&] {
        ++escapes;
        gui.hideCheckinScreen(*window);
    };
    gui.showCheckinScreen(*window, view);
    ASSERT_NE(QApplication::focusWidget(), widgetOf(*button));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(escapes, 1);
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(QApplication::focusWidget(), widgetOf(*button));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(escapes, 1);
}

TEST_F(HotKeys, EnterInATextFieldBelongsToTheField) {
    gui.setFocus(*edit);
    pressEnter();
    EXPECT_EQ(draws, 0);
}

TEST_F(HotKeys, EnterThatChoosesFromTheOpenListDrawsNothingOnTheClosedSelectorItDraws) {
    for (const char* level : {"特等奖", "一等奖"}) selector->addItem(Gbk(level));
    auto* box = static_cast<QComboBox*>(widgetOf(*selector));
    gui.setFocus(*selector);
    pressEnter();
    EXPECT_EQ(draws, 1);
    box->showPopup();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    // Through the window system, as a real key comes: the list chooses on the key's
    // shortcut override, and the press itself then arrives with the list closed.
    QTest::keyClick(stage(*window).windowHandle(), Qt::Key_Down);
    QTest::keyClick(stage(*window).windowHandle(), Qt::Key_Return);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(chosen, std::vector<Text>{Gbk("一等奖")});
    EXPECT_EQ(draws, 1);
    pressEnter();
    EXPECT_EQ(draws, 2);
}

TEST_F(HotKeys, AHeldKeyIsOnePressWhicheverRepeatsQtMarks) {
    gui.setFocus(*button);
    Qt::Key held = Qt::Key_Return;
    auto send = [&](QEvent::Type type, quint64 time, bool marked = false) {
        QKeyEvent key(type, held, Qt::NoModifier, QString(), marked);
        key.setTimestamp(time);
        QApplication::sendEvent(QApplication::focusWidget(), &key);
    };
    send(QEvent::KeyPress, 1000);
    // X repeats a held key as a release and a press with one server time; Qt marks a few.
    for (quint64 time = 1500; time < 2000; time += 33) {
        send(QEvent::KeyRelease, time, time % 2);
        send(QEvent::KeyPress, time, time % 2);
    }
    send(QEvent::KeyPress, 2010);  // detectable auto-repeat: a press while down
    EXPECT_EQ(draws, 1);
    send(QEvent::KeyRelease, 2100);
    send(QEvent::KeyPress, 2400);
    send(QEvent::KeyRelease, 2500);
    EXPECT_EQ(draws, 2);

    // Space on the focused start button clicks it once, however long it is held.
    int clicks = 0;
    button->bind(ev::kClicked, [&clicks](Control&, EventArgs&) { ++clicks; });
    held = Qt::Key_Space;
    send(QEvent::KeyPress, 3000);
    for (quint64 time = 3500; time < 4000; time += 33) {
        send(QEvent::KeyRelease, time);
        send(QEvent::KeyPress, time);
    }
    send(QEvent::KeyRelease, 4100);
    EXPECT_EQ(clicks, 1);
}

TEST_F(HotKeys, EnterIsNotTakenWhileAMessageBoxIsOpen) {
    int answer = -1;
    QTimer::singleShot(0, [&] {
        // The stage lost activation to the box; even a key sent straight to it is ignored.
        pressEnter(&stage(*window));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->defaultButton()->click();
    });
    answer = dialogs.showMessage(Gbk("?"), msg::kOk, Text());
    EXPECT_EQ(answer, msg::kAnswerOk);
    EXPECT_EQ(draws, 0);
    // Back on the stage, Enter draws again.
    activate(*window);
    pressEnter(&stage(*window));
    EXPECT_EQ(draws, 1);
}

TEST_F(HotKeys, TheCelebrationOverlayDoesNotTakeActivation) {
    Window& overlay = load("Overlay", window);
    EXPECT_TRUE(stage(overlay).overlay());
    QCoreApplication::processEvents();
    EXPECT_EQ(gui.activeWindow(), window);
    pressEnter(&stage(*window));
    EXPECT_EQ(draws, 1);
}

TEST_F(HotKeys, ClickerKeysDrawAsEnterDoesUnderTheSameRulesOnTheStageAndTheConsole) {
    for (const char* level : {"特等奖", "一等奖"}) selector->addItem(Gbk(level));
    auto* box = static_cast<QComboBox*>(widgetOf(*selector));
    auto press = [](QWidget* to, Qt::Key key) { QTest::keyClick(to, key); };
    gui.setFocus(*button);
    press(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(draws, 0) << "off, the keys are the widgets' own";

    gui.setClickerKeys(true);
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_B})
        press(QApplication::focusWidget(), key);
    EXPECT_EQ(draws, 3);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier, QString(), true);
    EXPECT_TRUE(QApplication::sendEvent(QApplication::focusWidget(), &held));
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_PageDown);
    press(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(draws, 3) << "a held key is one press; Escape does nothing";

    // The closed selector draws and keeps its level; the open list keeps the keys.
    gui.setFocus(*selector);
    box->setCurrentIndex(0);
    press(box, Qt::Key_PageDown);
    EXPECT_EQ(draws, 4);
    EXPECT_EQ(box->currentIndex(), 0);
    box->showPopup();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(stage(*window).windowHandle(), Qt::Key_PageDown);
    EXPECT_EQ(draws, 4);
    box->hidePopup();

    // A text field and a dialog keep them too.
    gui.setFocus(*edit);
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(field, nullptr);
    press(field, Qt::Key_B);
    EXPECT_EQ(field->text(), QStringLiteral("b"));
    QTimer::singleShot(0, [&] {
        press(&stage(*window), Qt::Key_PageDown);
        if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            message->defaultButton()->click();
    });
    dialogs.showMessage(Gbk("?"), msg::kOk, Text());
    EXPECT_EQ(draws, 4);

    // The console (on the other screen) starts and stops through its own action; its
    // closed selector keeps its level as the stage's does.
    if (NumberedScreens().size() < 2) GTEST_SKIP() << "the console needs a second screen";
    int started = 0, chosen = 0;
    ConsoleActions actions;
    actions.view = [] {
        ConsoleView view;
        view.levels.resize(2);
        view.levels[0].name = Gbk("特等奖");
        view.levels[1].name = Gbk("一等奖");
        for (ConsoleLevel& level : view.levels) level.total = 1;
        view.selectedLevel = 0;
        return view;
    };
    actions.startOrStop = [&] { ++started; };
    actions.chooseLevel = [&](int) { ++chosen; };
    gui.openConsole(2, actions);
    ConsoleWindow* console = gui.console();
    ASSERT_NE(console, nullptr);
    console->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(console));
    auto* levels = console->findChild<QComboBox*>();
    levels->setFocus();
    press(levels, Qt::Key_PageDown);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(levels->currentIndex(), 0);
    EXPECT_EQ(draws, 4);
    gui.setClickerKeys(false);
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageUp}) press(levels, key);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(chosen, 0) << "off, the level box does not page to a level the start would draw";
    EXPECT_EQ(levels->currentIndex(), 0);
    press(levels, Qt::Key_Return);  // Enter draws from the console too
    EXPECT_EQ(started, 2);
    gui.closeConsole();
}

}  // namespace
}  // namespace ld::qt::test
