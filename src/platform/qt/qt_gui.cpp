#include "platform/qt/qt_gui.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "platform/qt/console_window.h"
#include "platform/qt/event_loop.h"
#include "platform/qt/fireworks.h"
#include "platform/qt/key_filter.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/screens.h"
#include "platform/qt/stage_window.h"

namespace ld::qt {

QtGui::QtGui(QtEventLoop& loop) : loop_(loop), keys_(InstallHotKeyFilter()) {
    loop_.setOnModalLoop([this] { makeNewestModal(); });
    SetOnStageScreenChanged([this] { stageScreenChanged(); });
    // An unplugged stage screen leaves the stage on the primary one.
    QObject::connect(qApp, &QGuiApplication::screenRemoved, &screens_, [this] {
        QTimer::singleShot(0, &screens_, [this] { stageScreenChanged(); });
    });
}

QtGui::~QtGui() {
    SetOnStageScreenChanged(nullptr);
    SetClickerKeys(false);
    closeConsole();
    loop_.setOnModalLoop(nullptr);
    for (auto& [window, stage] : stages_)
        if (stage) stage->detachFromModel();
}

StageWindow* QtGui::stageOf(const Window& window) const {
    auto it = stages_.find(&window);
    return it == stages_.end() ? nullptr : it->second.data();
}

ControlView* QtGui::viewOf(const Control& control) const {
    StageWindow* stage = stageOf(control.window());
    return stage ? stage->viewOf(control) : nullptr;
}

void QtGui::windowLoaded(Window& window) {
    StageWindow* owner = window.parent() ? stageOf(*window.parent()) : nullptr;
    // What the stage owns (the celebration) shows with it; other windows (the password
    // window) are the operator's.
    const bool onStage = owner ? owner->onStage() : !stage_;
    auto* stage = new StageWindow(window, owner, onStage);
    if (!owner && onStage) stage_ = stage;
    stages_[&window] = stage;
    newest_ = &window;
    showWhenLaidOut(stage);
}

void QtGui::showWhenLaidOut(StageWindow* stage) {
    // Shown once the created event has laid it out, so it does not appear and then jump.
    // A question asked during that event (a message box) runs a loop of its own: wait
    // until it has been answered and the event is over.
    QTimer::singleShot(0, stage, [this, stage] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !dynamic_cast<StageWindow*>(modal)) {
            QTimer::singleShot(20, stage, [this, stage] { showWhenLaidOut(stage); });
            return;
        }
        stage->showFirstTime();
    });
}

void QtGui::windowClosed(Window& window) {
    if (StageWindow* stage = stageOf(window)) stage->detachFromModel();
    stages_.erase(&window);
    if (newest_ == &window) newest_ = nullptr;
    loop_.recheck();
}

void QtGui::makeNewestModal() {
    StageWindow* stage = newest_ ? stageOf(*newest_) : nullptr;
    if (!stage || stage->isModal()) return;
    const bool wasVisible = stage->isVisible();
    if (wasVisible) stage->hide();
    stage->setWindowModality(Qt::ApplicationModal);
    if (wasVisible) stage->show();
}

void QtGui::setFocus(Control& control) {
    ControlView* view = viewOf(control);
    if (!view) return;
    if (view == stageOf(control.window()))
        view->widget()->activateWindow();
    else
        view->widget()->setFocus(Qt::OtherFocusReason);
}

void QtGui::setZOrder(Control& control, int layer) {
    ControlView* view = viewOf(control);
    if (!view) return;
    QWidget* w = view->widget();
    if (w->isWindow() && layer >= 3) {
        w->setWindowFlag(Qt::WindowStaysOnTopHint, layer == 3);
        w->show();
    } else if (layer == 2) {
        w->lower();
    } else if (layer <= 3) {
        w->raise();
    }
}

Window* QtGui::activeWindow() {
    auto* stage = dynamic_cast<StageWindow*>(QApplication::activeWindow());
    return stage && !stage->detached() ? &stage->window() : nullptr;
}

void QtGui::setStageNotice(Window& window, const Text& text) {
    if (StageWindow* stage = stageOf(window)) stage->setNotice(ToQString(text));
}

void QtGui::setStageSeal(Window& window, const Text& text) {
    if (StageWindow* stage = stageOf(window)) stage->setSeal(text);
}

void QtGui::showCheckinPanel(Window& window, const CheckinPanelView& panel) {
    if (StageWindow* stage = stageOf(window)) stage->showCheckinPanel(panel);
}

void QtGui::hideCheckinPanel(Window& window) {
    if (StageWindow* stage = stageOf(window)) stage->hideCheckinPanel();
}

void QtGui::showCheckinScreen(Window& window, const CheckinScreenView& view) {
    if (StageWindow* stage = stageOf(window)) stage->showCheckinScreen(view);
}

void QtGui::hideCheckinScreen(Window& window) {
    if (StageWindow* stage = stageOf(window)) stage->hideCheckinScreen();
}

void QtGui::showBatchGrid(Window& window, const BatchGridView& grid) {
    if (StageWindow* stage = stageOf(window)) stage->showBatchGrid(grid);
}

void QtGui::hideBatchGrid(Window& window) {
    if (StageWindow* stage = stageOf(window)) stage->hideBatchGrid();
}

void QtGui::playAnimation(Window& window, int animation) {
    if (StageWindow* stage = stageOf(window)) stage->playAnimation(animation);
}

ConsoleWindow* QtGui::console() const { return console_.data(); }

namespace {

// The console's screen: the one asked for unless the stage is there, else any other.
QScreen* ConsoleScreen(int wanted) {
    if (QScreen* screen = ScreenNumbered(wanted); screen && screen != StageScreen()) return screen;
    for (QScreen* screen : NumberedScreens())
        if (screen != StageScreen()) return screen;
    return nullptr;
}

}  // namespace

void QtGui::openConsole(int screen, const ConsoleActions& actions) {
    QScreen* target = ConsoleScreen(screen);
    // Never in front of the audience.
    if (!target) return closeConsole();
    if (!console_) console_ = new ConsoleWindow;
    console_->open(actions, target);
    SetConsoleWidget(console_);
}

void QtGui::closeConsole() {
    SetConsoleWidget(nullptr);
    if (!console_) return;
    // Later: this may run inside one of the console's own actions.
    console_->hide();
    console_->deleteLater();
    console_ = nullptr;
}

void QtGui::setClickerKeys(bool on) { SetClickerKeys(on); }

void QtGui::stageScreenChanged() {
    for (auto& [window, stage] : stages_)
        if (stage && !stage->detached()) stage->relayout();
    if (!console_ || console_->screen() != StageScreen()) return;
    if (QScreen* other = ConsoleScreen(0)) console_->placeOn(other);
}

QMenu* BuildPopupMenu(const std::vector<PopupEntry>& entries, QWidget* parent) {
    auto* menu = new QMenu(parent);
    FillPopupMenu(menu, entries);
    return menu;
}

void FillPopupMenu(QMenu* menu, const std::vector<PopupEntry>& entries) {
    for (const PopupEntry& e : entries) {
        if (e.separator) {
            menu->addSeparator();
            continue;
        }
        QString caption = ToQString(e.caption);
        if (!e.shortcut.empty()) caption += QLatin1Char('\t') + ToQString(e.shortcut);
        QAction* action;
        if (!e.submenu.empty()) {
            QMenu* sub = BuildPopupMenu(e.submenu, menu);
            sub->setTitle(caption);
            action = menu->addMenu(sub);
        } else {
            action = menu->addAction(caption);
            action->setData(e.command);
        }
        action->setEnabled(!e.disabled);
        if (e.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

std::optional<int> QtGui::popupMenu(Window& window, const std::vector<PopupEntry>& menu) {
    CountGesture();
    std::unique_ptr<QMenu> popup(BuildPopupMenu(menu, stageOf(window)));
    QAction* chosen = popup->exec(QCursor::pos() + QPoint(3, 3));
    if (!chosen || !chosen->data().isValid()) return std::nullopt;
    return chosen->data().toInt();
}

namespace {

// Moves a control with the mouse until the left button comes up; Escape puts it back.
class MoveTracker : public QObject {
public:
    MoveTracker(ControlView& view, QEventLoop& loop)
        : view_(view),
          loop_(loop),
          start_(view.control().left(), view.control().top()),
          startMouse_(LastPressPosition()) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (view_.detached()) {
            loop_.quit();
            return false;
        }
        switch (event->type()) {
            case QEvent::MouseMove: {
                QPointF d = static_cast<QMouseEvent*>(event)->globalPosition() - startMouse_;
                place(start_ + d.toPoint());
                return true;
            }
            case QEvent::MouseButtonRelease:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) loop_.quit();
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                return true;
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                    place(start_);
                    loop_.quit();
                }
                return true;
            case QEvent::ApplicationDeactivate:
                loop_.quit();
                return false;
            default:
                return false;
        }
    }

private:
    void place(QPoint p) {
        Control& c = view_.control();
        if (c.left() != p.x()) c.setLeft(p.x());
        if (c.top() != p.y()) c.setTop(p.y());
    }

    ControlView& view_;
    QEventLoop& loop_;
    QPoint start_;
    QPointF startMouse_;
};

}  // namespace

void QtGui::moveLoop(Control& control) {
    ControlView* view = viewOf(control);
    // Released already (or never pressed): nothing to follow.
    if (!view || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) return;
    CountGesture();
    QEventLoop loop;
    MoveTracker tracker(*view, loop);
    qApp->installEventFilter(&tracker);
    QWidget* w = view->widget();
    w->grabMouse();
    loop.exec();
    if (QWidget::mouseGrabber() == w) w->releaseMouse();
    qApp->removeEventFilter(&tracker);
}

}  // namespace ld::qt
