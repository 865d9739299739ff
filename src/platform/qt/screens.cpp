#include "platform/qt/screens.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace ld::qt {

namespace {

QPointer<QScreen> g_stage;  // null: the primary screen
QPointer<QWidget> g_console;
std::function<void()> g_stageChanged;

}  // namespace

std::vector<QScreen*> NumberedScreens() {
    QScreen* primary = QGuiApplication::primaryScreen();
    std::vector<QScreen*> others;
    for (QScreen* s : QGuiApplication::screens())
        if (s != primary) others.push_back(s);
    std::stable_sort(others.begin(), others.end(), [](QScreen* a, QScreen* b) {
        const QPoint pa = a->geometry().topLeft(), pb = b->geometry().topLeft();
        return pa.x() != pb.x() ? pa.x() < pb.x() : pa.y() < pb.y();
    });
    std::vector<QScreen*> numbered;
    if (primary) numbered.push_back(primary);
    numbered.insert(numbered.end(), others.begin(), others.end());
    return numbered;
}

QScreen* ScreenNumbered(int number) {
    const std::vector<QScreen*> screens = NumberedScreens();
    if (number < 1 || static_cast<size_t>(number) > screens.size()) return nullptr;
    return screens[static_cast<size_t>(number - 1)];
}

int NumberOf(const QScreen* screen) {
    const std::vector<QScreen*> screens = NumberedScreens();
    const auto found = std::find(screens.begin(), screens.end(), screen);
    return found == screens.end() ? 0 : static_cast<int>(found - screens.begin()) + 1;
}

QScreen* StageScreen() { return g_stage ? g_stage.data() : QGuiApplication::primaryScreen(); }

QRect StageScreenGeometry() {
    QScreen* screen = StageScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

bool ChooseStageScreen(int number) {
    QScreen* screen = ScreenNumbered(number);
    if (!screen) return false;
    const bool moved = screen != StageScreen();
    // The primary screen is kept as "none chosen", so the stage follows whichever screen
    // the system makes primary, as it always did.
    g_stage = number == 1 ? nullptr : screen;
    if (moved && g_stageChanged) g_stageChanged();
    return true;
}

void SetOnStageScreenChanged(std::function<void()> fn) { g_stageChanged = std::move(fn); }

void SetConsoleWidget(QWidget* console) { g_console = console; }

QWidget* VisibleConsole() {
    return g_console && g_console->isVisible() ? g_console.data() : nullptr;
}

QScreen* DeskScreen() {
    QWidget* console = VisibleConsole();
    QScreen* screen = console ? console->screen() : nullptr;
    return screen ? screen : StageScreen();
}

QRect PlaceOnScreen(const QRect& model, const QScreen* screen, bool keepInside) {
    if (!screen) return model;
    QRect placed = model.translated(screen->geometry().topLeft());
    if (!keepInside) return placed;
    const QRect free = screen->availableGeometry();
    // Larger than the screen: its top left corner stays visible.
    placed.moveLeft(
        std::max(free.left(), std::min(placed.left(), free.right() + 1 - placed.width())));
    placed.moveTop(
        std::max(free.top(), std::min(placed.top(), free.bottom() + 1 - placed.height())));
    return placed;
}

}  // namespace ld::qt
