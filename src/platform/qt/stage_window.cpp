#include "platform/qt/stage_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "framework/window_manager.h"
#include "platform/qt/batch_grid.h"
#include "platform/qt/checkin_panel.h"
#include "platform/qt/checkin_screen.h"
#include "platform/qt/fireworks.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/screens.h"
#include "platform/qt/stage_seal.h"
#include "platform/qt/widgets.h"

namespace ld::qt {

StageWindow::StageWindow(Window& window, StageWindow* owner, bool onStage)
    : ControlView(window.self()), QWidget(owner, Qt::Window), window_(window), onStage_(onStage) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    overlay_ = owner != nullptr && window.self().getInt(prop::kBorder) == 0;
    if (overlay_) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
    }
    build();
    window_.addObserver(this);
    RelayInput(*this);
}

StageWindow::~StageWindow() {
    if (!detached()) window_.removeObserver(this);
}

namespace {
bool HasWidget(ControlType type) {
    return type != ControlType::Timer && type != ControlType::CommonDlg &&
           type != ControlType::MenuItem;
}

// A frame of controls straight on the window: the settings panel, which is the operator's.
bool IsPanel(const Control& control) {
    return control.type() == ControlType::ShapeBox && control.parent() == nullptr;
}

bool IsGeometry(int index) { return index >= prop::kLeft && index <= prop::kHeight; }
}  // namespace

void StageWindow::build() {
    // Parents first: containers must exist before the controls placed inside them.
    std::vector<Control*> pending;
    for (const auto& c : window_.controls()) pending.push_back(c.get());
    while (!pending.empty()) {
        std::vector<Control*> later;
        for (Control* c : pending) {
            QWidget* parent = this;
            if (Control* p = c->parent()) {
                if (ControlView* parentView = viewOf(*p)) {
                    parent = parentView->widget();
                } else if (HasWidget(p->type())) {
                    later.push_back(c);
                    continue;
                }
            }
            if (ControlView* view = CreateControlView(*c, parent)) {
                views_[c] = view;
                view->sync(kAllProperties);
            }
        }
        if (later.size() == pending.size()) break;  // a parent that never comes: give up
        pending = std::move(later);
    }
    sync(kAllProperties);
}

ControlView* StageWindow::viewOf(const Control& control) const {
    if (&control == &window_.self()) return const_cast<StageWindow*>(this);
    auto it = views_.find(&control);
    return it == views_.end() ? nullptr : it->second;
}

void StageWindow::propertyChanged(Control& control, int index) {
    if (applying_) return;  // our own write-back of a move or resize
    ControlView* view = viewOf(control);
    if (!view) return;
    if (IsPanel(control))
        syncPanel(*view, index);
    else
        view->sync(index);
}

void StageWindow::syncPanel(ControlView& view, int index) {
    const Control& control = view.control();
    QWidget* panel = view.widget();
    const bool all = index == kAllProperties;
    const bool showing = (all || index == prop::kVisible) && control.visible();
    bool appearing = false;
    if (showing) {
        // While the console is open the panel is a window of its own on the operator's
        // screen, never inside the stage in front of the audience; above everything there.
        const Qt::WindowFlags flags =
            onStage_ && VisibleConsole()
                ? Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                : Qt::Widget;
        appearing = panel->isHidden() || panel->windowFlags() != flags;
        if (panel->windowFlags() != flags) panel->setWindowFlags(flags);  // hides it
    }
    if (!panel->isWindow()) {
        view.sync(index);
        // Above everything on the stage, the batch grid too: clicks go through the grid
        // to whatever lies under it.
        if (showing) panel->raise();
        return;
    }
    QScreen* desk = DeskScreen();
    if (all || IsGeometry(index)) {
        panel->setScreen(desk);
        panel->setGeometry(PlaceOnScreen(view.modelRect(), desk, true));
    }
    if (all || index == prop::kDisable) panel->setEnabled(!control.disabled());
    if (all || index == prop::kVisible) panel->setVisible(control.visible());
    if (appearing) {
        panel->raise();
        panel->activateWindow();  // its fields take the keyboard, not the stage behind
    }
}

void StageWindow::raisePanels() {
    for (const auto& [control, view] : views_)
        if (IsPanel(*control) && control->visible()) syncPanel(*view, kAllProperties);
}

void StageWindow::itemsChanged(Control& control) {
    if (ControlView* view = viewOf(control)) view->syncItems();
}

void StageWindow::sync(int index) {
    const bool all = index == kAllProperties;
    Control& self = window_.self();
    if (all || index == prop::kCaption) setWindowTitle(ToQString(self.getText(prop::kCaption)));
    if (all || index == prop::kIcon) {
        QImage icon = DecodeWhole(self.getText(prop::kIcon));
        if (!icon.isNull()) setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    }
    if (all || index == prop::kBackPicture) ++pictureGeneration_;
    if (all || index == prop::kBackPicture || index == prop::kBackColor) update();
    if (all || index <= prop::kHeight || index == prop::kBorder) scheduleLayout();
    if (all || index == prop::kVisible) {
        if (shown_) setVisible(self.visible());
    }
    if (all || index == prop::kDisable) setEnabled(!self.disabled());
}

void StageWindow::scheduleLayout() {
    // Start-up sets position, size and border one by one: lay the window out once.
    if (layoutPending_) return;
    layoutPending_ = true;
    QTimer::singleShot(0, this, [this] { applyLayout(); });
}

void StageWindow::applyFlags() {
    Qt::WindowFlags flags = Qt::Window;
    if (window_.self().getInt(prop::kBorder) == 0) flags |= Qt::FramelessWindowHint;
    // An overlay is a tool-tip kind of window: above the stage and never given the focus,
    // so the stage stays active and keeps its Enter key.
    if (overlay_) flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    if (windowFlags() == flags) return;
    const bool wasVisible = isVisible();
    setWindowFlags(flags);  // hides the window
    if (wasVisible) show();
}

void StageWindow::applyLayout() {
    layoutPending_ = false;
    if (detached()) return;
    applying_ = true;
    applyFlags();
    const QRect r = modelRect();
    QScreen* screen = onStage_ ? StageScreen() : DeskScreen();
    const bool coversScreen = screen && r == QRect(QPoint(0, 0), screen->geometry().size());
    const bool frameless = window_.self().getInt(prop::kBorder) == 0;
    // On the console's screen a window laid out for the stage's may not fit.
    const QRect placed = PlaceOnScreen(r, screen, screen != StageScreen());
    origin_ = placed.topLeft() - r.topLeft();
    const Qt::WindowStates full = Qt::WindowFullScreen | Qt::WindowMaximized;
    Qt::WindowStates state = windowState() & ~full;
    if (coversScreen && !overlay_) {
        // The whole screen: full screen without a frame; with a frame the window keeps the
        // screen as a maximised window does.
        state |= frameless ? Qt::WindowFullScreen : Qt::WindowMaximized;
    }
    const bool moving = screen && screen != this->screen();
    if (moving) {
        // A window manager keeps a full-screen window where it is: leave full screen, move,
        // and take it up again on the new screen.
        if (windowState() & full) setWindowState(windowState() & ~full);
        setScreen(screen);
        if (state & full) setGeometry(placed);
    }
    setWindowState(state);
    if (!(state & full)) {
        // The model's rectangle is the outer one, frame included.
        const QSize frame = frameGeometry().size() - geometry().size();
        move(placed.topLeft());
        resize(placed.size() - frame);
    } else {
        setGeometry(placed);
    }
    applying_ = false;
    // The stage or the console changed screens: an open panel follows the operator.
    raisePanels();
}

void StageWindow::showFirstTime() {
    if (shown_ || detached()) return;
    shown_ = true;
    if (layoutPending_) applyLayout();
    if (!window_.self().visible()) return;
    show();
    // A new window comes up active, as on Windows; the overlay never does. Without a window
    // manager (a bare X server) nothing else would give it the keyboard.
    if (!overlay_) activateWindow();
}

void StageWindow::takeGeometryFromSystem() {
    if (detached() || applying_ || !isVisible()) return;
    // The user moved or resized the window: the model follows, as reading the window's
    // position would on Windows.
    const QRect frame = frameGeometry().translated(-origin_);
    Control& self = window_.self();
    applying_ = true;
    if (self.left() != frame.x()) self.setLeft(frame.x());
    if (self.top() != frame.y()) self.setTop(frame.y());
    if (self.width() != frame.width()) self.setWidth(frame.width());
    if (self.height() != frame.height()) self.setHeight(frame.height());
    applying_ = false;
}

void StageWindow::moveEvent(QMoveEvent* event) {
    if (event->spontaneous()) takeGeometryFromSystem();
}

void StageWindow::resizeEvent(QResizeEvent* event) {
    if (animation_) animation_->setGeometry(rect());
    if (checkinScreen_) checkinScreen_->setGeometry(rect());
    if (seal_) seal_->place();
    placeNotice();
    if (event->spontaneous()) takeGeometryFromSystem();
}

void StageWindow::paintEvent(QPaintEvent*) {
    if (detached()) return;
    QPainter painter(this);
    QColor back = ColorOrInvalid(window_.self().get(prop::kBackColor));
    painter.fillRect(rect(), back.isValid() ? back : palette().window().color());
    if (paintedGeneration_ != pictureGeneration_ || paintedSize_ != size()) {
        // Scaled to cover the client area, aspect kept, centred; the excess is cut off.
        DrawnPicture picture = DrawPictureInBox(window_.self().getText(prop::kBackPicture), size(),
                                                BoxFit::Cover, devicePixelRatioF());
        background_ = picture.image;
        backgroundTarget_ = picture.target;
        paintedGeneration_ = pictureGeneration_;
        paintedSize_ = size();
    }
    if (!background_.isNull()) painter.drawImage(backgroundTarget_, background_);
}

void StageWindow::raiseWindowEvent(int number) {
    if (!detached() && window_.self().isBound(number)) window_.self().raise(number);
}

void StageWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || detached()) return;
    const bool nowActive = isActiveWindow();
    if (nowActive == active_) return;
    active_ = nowActive;
    if (nowActive && !everActive_) {
        everActive_ = true;
        raiseWindowEvent(ev::kFirstActivation);
    }
    raiseWindowEvent(nowActive ? ev::kActivated : ev::kDeactivated);
}

void StageWindow::closeEvent(QCloseEvent* event) {
    // The model decides: the may-be-closed handler answers, and the window manager closes.
    event->ignore();
    if (detached()) return;
    EventArgs args;
    window_.self().raise(ev::kMayClose, args);
    if (args.allow && !detached()) windows().destroyWindow(window_.name());
}

void StageWindow::detachFromModel() {
    if (detached()) return;
    window_.removeObserver(this);
    detach();
    for (auto& [control, view] : views_) view->detach();
    if (animation_) StopFireworks(animation_);
    hide();
    deleteLater();
}

void StageWindow::playAnimation(int animation) {
    if (detached()) return;
    if (animation_) delete animation_;
    animation_ = CreateFireworks(this, animation);
    animation_->setGeometry(rect());
    animation_->show();
    animation_->raise();
}

void StageWindow::setNotice(const QString& text) {
    if (text.isEmpty()) {
        delete notice_;
        notice_ = nullptr;
        return;
    }
    if (!notice_) {
        notice_ = new QLabel(this);
        notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
        notice_->setStyleSheet(QStringLiteral(
            "QLabel { background: #d01010; color: white; font-size: 20px; font-weight: bold;"
            " padding: 6px 14px; border-radius: 6px; }"));
    }
    notice_->setText(text);
    notice_->adjustSize();
    placeNotice();
    notice_->show();
    notice_->raise();
}

void StageWindow::showCheckinPanel(const CheckinPanelView& view) {
    if (detached()) return;
    if (!checkin_) checkin_ = new CheckinPanel(this);
    checkin_->show(view);
    raiseSeal();
}

void StageWindow::hideCheckinPanel() {
    if (checkin_) checkin_->hide();
}

void StageWindow::showCheckinScreen(const CheckinScreenView& view) {
    if (detached()) return;
    if (!checkinScreen_) checkinScreen_ = new CheckinScreen(this);
    checkinScreen_->show(view);
    if (notice_) notice_->raise();  // the operator's warnings stay in sight
}

void StageWindow::hideCheckinScreen() {
    if (checkinScreen_) checkinScreen_->dismiss();
}

void StageWindow::showBatchGrid(const BatchGridView& view) {
    if (detached()) return;
    if (!batch_) batch_ = new BatchGrid(this);
    const bool appearing = batch_->isHidden();
    batch_->show(view);
    if (!appearing || batch_->isHidden()) return;
    // Above the controls (the photo box it replaces), below what is drawn over the stage.
    batch_->raise();
    if (checkin_ && checkin_->isVisible()) checkin_->raise();
    raiseSeal();
    raisePanels();
}

void StageWindow::hideBatchGrid() {
    if (batch_) batch_->dismiss();
}

void StageWindow::setSeal(const Text& text) {
    if (text.empty()) {
        delete seal_;
        seal_ = nullptr;
        return;
    }
    if (!seal_) seal_ = new StageSeal(this);
    seal_->setText(text);
    seal_->show();
    raiseSeal();
}

void StageWindow::raiseSeal() {
    if (seal_) seal_->raise();
    if (checkinScreen_ && checkinScreen_->isVisible()) checkinScreen_->raise();
    if (animation_) animation_->raise();
    if (notice_) notice_->raise();
}

void StageWindow::placeNotice() {
    if (!notice_) return;
    const int margin = 12;
    notice_->move(width() - notice_->width() - margin, margin);
    notice_->raise();
}

}  // namespace ld::qt
