#include "platform/qt/key_filter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "platform/qt/control_view.h"
#include "platform/qt/stage_window.h"
#include "ui/hotkeys.h"

namespace ld::qt {

namespace {

bool IsTextField(QWidget* w) {
    if (!w || !w->isEnabled()) return false;
    if (auto* line = qobject_cast<QLineEdit*>(w)) return !line->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return !plain->isReadOnly();
    if (auto* rich = qobject_cast<QTextEdit*>(w)) return !rich->isReadOnly();
    return qobject_cast<QAbstractSpinBox*>(w) != nullptr;
}

// Enter on the level selector or inside its open list belongs to the list: it confirms an
// item and must not start a draw as well.
bool BelongsToSelector(QObject* watched) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    if (qobject_cast<QComboBox*>(w)) return true;
    return w->window() && w->window()->windowType() == Qt::Popup;
}

class HotKeyFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const int vk = VirtualKeyOf(key->key());
        const int modifiers = KeyStateOf(key->modifiers());
        if (vk == 0 || !HasHotKey(modifiers, vk) || !HotKeyMayTake(*key)) return false;
        if (BelongsToSelector(watched)) return false;
        // A held key repeats; one press is one start or stop, not a burst of them.
        if (!key->isAutoRepeat()) DispatchHotKey(modifiers, vk);
        return true;
    }
};

}  // namespace

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kVirtualKeyEnter;
        case Qt::Key_Space:
            return kVirtualKeySpace;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Tab:
            return 9;
        default:
            break;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;  // the same codes as Windows'
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 0x70 + (qtKey - Qt::Key_F1);
    return 0;
}

bool HotKeyMayTake(const QKeyEvent&) {
    // A modal dialog (message box, input box, file or font dialog, the password window)
    // owns the keyboard, and so does an open drop-down list or menu.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    // Only while one of our windows is active, as a hot key registered on activation.
    if (!dynamic_cast<StageWindow*>(QApplication::activeWindow())) return false;
    // Enter in a text field confirms what was typed there; it must not draw a winner.
    return !IsTextField(QApplication::focusWidget());
}

std::unique_ptr<QObject> InstallHotKeyFilter() {
    auto filter = std::make_unique<HotKeyFilter>();
    qApp->installEventFilter(filter.get());
    return filter;
}

}  // namespace ld::qt
