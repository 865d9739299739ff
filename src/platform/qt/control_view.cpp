#include "platform/qt/control_view.h"

#include <QCursor>
#include <QEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace ld::qt {

namespace {

int g_gestures = 0;
QPointF g_lastPress;

int MouseEventNumber(QEvent::Type type, Qt::MouseButton button) {
    const bool left = button == Qt::LeftButton, right = button == Qt::RightButton;
    switch (type) {
        case QEvent::MouseButtonPress:
            return left ? ev::kLeftDown : right ? ev::kRightDown : 0;
        case QEvent::MouseButtonRelease:
            return left ? ev::kLeftUp : right ? ev::kRightUp : 0;
        case QEvent::MouseMove:
            return ev::kMouseMove;
        default:
            return 0;
    }
}

// Qt hands a press that a widget ignores on to its parent. A right press belongs to the
// control that was pressed, though: the stage's pop-up menu opens from the window's own
// background and from the elements bound to it, not from a button, a frame bar or anything
// inside the settings panel. Inner parts of the same control (a viewport) still count.
bool PassedUpFromChildControl(QObject* watched, QMouseEvent* event) {
    auto* source = qobject_cast<QWidget*>(watched);
    if (!source) return false;
    for (QWidget* w = source->childAt(event->position().toPoint()); w && w != source;
         w = w->parentWidget())
        if (dynamic_cast<ControlView*>(w)) return true;
    return false;
}

class InputRelay : public QObject {
public:
    InputRelay(ControlView& view, QObject* parent)
        : QObject(parent), view_(view), alive_(view.alive()) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!*alive_ || view_.detached()) return false;
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove:
                return mouse(watched, static_cast<QMouseEvent*>(event));
            case QEvent::MouseButtonDblClick:
                return doubleClick(watched, event);
            case QEvent::FocusIn:
                raiseSimple(ev::kGotFocus);
                return false;
            case QEvent::FocusOut:
                raiseSimple(ev::kLostFocus);
                return false;
            default:
                return false;
        }
    }

private:
    void raiseSimple(int number) {
        if (view_.control().isBound(number)) view_.control().raise(number);
    }

    EventArgs argsFor(QObject* watched, QMouseEvent* event) {
        EventArgs args;
        QWidget* source = qobject_cast<QWidget*>(watched);
        QPoint local = event->position().toPoint();
        if (source && source != view_.widget()) local = source->mapTo(view_.widget(), local);
        local -= view_.modelOrigin();
        args.x = local.x();
        args.y = local.y();
        args.keyState = KeyStateOf(event->modifiers());
        return args;
    }

    bool mouse(QObject* watched, QMouseEvent* event) {
        int number = MouseEventNumber(event->type(), event->button());
        if (number == 0 || !view_.control().isBound(number)) return false;
        // Ctrl + right press opens the stage's event tools from anywhere on it.
        if (event->button() == Qt::RightButton && !(event->modifiers() & Qt::ControlModifier) &&
            PassedUpFromChildControl(watched, event))
            return false;
        EventArgs args = argsFor(watched, event);
        if (event->type() == QEvent::MouseButtonPress) g_lastPress = event->globalPosition();
        const int gesturesBefore = g_gestures;
        QPointer<QObject> alive(watched);
        view_.control().raise(number, args);
        if (!alive || !*alive_ || view_.detached()) return true;
        if (event->type() != QEvent::MouseButtonPress) return false;
        // The mouse went through a move loop or a menu: the press is spent.
        return view_.passive() || g_gestures != gesturesBefore;
    }

    bool doubleClick(QObject* watched, QEvent* event) {
        auto* mouseEvent = static_cast<QMouseEvent*>(event);
        // Qt turns the second press of a double click into this event; the program sees a
        // press as well, so quick Ctrl + presses still move the element.
        Control& control = view_.control();
        if (mouseEvent->button() == Qt::LeftButton && control.isBound(ev::kDoubleClick)) {
            EventArgs args = argsFor(watched, mouseEvent);
            control.raise(ev::kDoubleClick, args);
            if (!*alive_ || view_.detached()) return true;
        }
        QMouseEvent press(QEvent::MouseButtonPress, mouseEvent->position(),
                          mouseEvent->scenePosition(), mouseEvent->globalPosition(),
                          mouseEvent->button(), mouseEvent->buttons(), mouseEvent->modifiers());
        return mouse(watched, &press);
    }

    ControlView& view_;
    std::shared_ptr<const bool> alive_;
};

}  // namespace

int KeyStateOf(Qt::KeyboardModifiers modifiers) {
    int state = 0;
    if (modifiers & Qt::ControlModifier) state |= keys::kCtrl;
    if (modifiers & Qt::ShiftModifier) state |= keys::kShift;
    if (modifiers & Qt::AltModifier) state |= keys::kAlt;
    return state;
}

int GestureCount() { return g_gestures; }
void CountGesture() { ++g_gestures; }
QPointF LastPressPosition() { return g_lastPress.isNull() ? QCursor::pos() : g_lastPress; }

void RelayInputFrom(ControlView& view, QObject* part) {
    part->installEventFilter(new InputRelay(view, part));
}

void RelayInput(ControlView& view) { RelayInputFrom(view, view.widget()); }

QRect ControlView::modelRect() const {
    return QRect(control_.left(), control_.top(), std::max(0, control_.width()),
                 std::max(0, control_.height()));
}

void ControlView::applyGeometry() {
    if (QWidget* w = widget()) w->setGeometry(viewRect());
}

void ControlView::sync(int index) {
    QWidget* w = widget();
    const bool all = index == kAllProperties;
    if (all || index == prop::kLeft || index == prop::kTop || index == prop::kWidth ||
        index == prop::kHeight)
        applyGeometry();
    if (all || index == prop::kVisible) w->setVisible(control_.visible());
    if (all || index == prop::kDisable) w->setEnabled(!control_.disabled());
}

}  // namespace ld::qt
