#include "platform/qt/key_filter.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <optional>
#include <utility>

#include "platform/qt/console_window.h"
#include "platform/qt/control_view.h"
#include "platform/qt/stage_window.h"
#include "ui/held_key_gate.h"
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

bool IsEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

bool g_clickers = false;

bool IsClickerKey(const QKeyEvent& key) {
    if (!g_clickers || (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    return key.key() == Qt::Key_PageDown || key.key() == Qt::Key_PageUp || key.key() == Qt::Key_B;
}

// Neither a dialog, an open list or menu, nor a text field has the keyboard.
bool KeyboardIsFree() {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    return !IsTextField(QApplication::focusWidget());
}

bool IsPageKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_PageDown || key.key() == Qt::Key_PageUp;
}

ConsoleWindow* ActiveConsole() {
    return dynamic_cast<ConsoleWindow*>(QApplication::activeWindow());
}

class HotKeyFilter : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::ShortcutOverride:
                noteListKey(*static_cast<QKeyEvent*>(event));
                return false;
            case QEvent::KeyRelease: {
                const auto* key = static_cast<QKeyEvent*>(event);
                held_.release(key->key(), key->timestamp());
                return false;
            }
            case QEvent::ApplicationDeactivate:
                held_.forgetAll();
                return false;
            case QEvent::KeyPress:
                return keyPress(*static_cast<QKeyEvent*>(event));
            default:
                return false;
        }
    }

private:
    bool keyPress(const QKeyEvent& key) {
        if (choseFromList(key)) return true;
        // A focused button (the console's start button after a click) clicks as Space comes
        // up; X's repeats of a held Space would click it again at each. Their presses never
        // reach it.
        if (key.key() == Qt::Key_Space &&
            qobject_cast<QAbstractButton*>(QApplication::focusWidget()))
            return !firstPress(key);
        if (IsClickerKey(key)) return takeClickerKey(key);
        if (!KeyboardIsFree()) return false;
        if (ConsoleWindow* console = ActiveConsole()) {
            // The operator at the console presses Enter as at the stage (after a dialog that
            // closed over the console, the console is the active window). Page Down and Page
            // Up are a clicker's or nobody's there: the level box keeps the focus after a
            // choice and would page to another level, which the next start would draw.
            if (IsEnter(key) && key.modifiers() == Qt::NoModifier) {
                if (firstPress(key)) console->trigger();
                return true;
            }
            if (IsPageKey(key)) return true;
        }
        const int vk = VirtualKeyOf(key.key());
        const int modifiers = KeyStateOf(key.modifiers());
        if (vk == 0 || !HasHotKey(modifiers, vk) || !HotKeyMayTake(key)) return false;
        if (firstPress(key)) DispatchHotKey(modifiers, vk);
        return true;
    }

    // A clicker's key under Enter's rules. Taken, it never reaches the widget: on the closed
    // level selector it would page through the levels.
    bool takeClickerKey(const QKeyEvent& key) {
        if (!KeyboardIsFree()) return false;
        ConsoleWindow* console = ActiveConsole();
        if (!console && !(HotKeyMayTake(key) && HasHotKey(0, kVirtualKeyEnter))) return false;
        if (!firstPress(key)) return true;
        if (console)
            console->trigger();
        else
            DispatchHotKey(0, kVirtualKeyEnter);
        return true;
    }

    // A held key repeats; one press is one start or stop, not a burst of them. A press
    // that Qt marks as a repeat counts for nothing, yet the key is down.
    bool firstPress(const QKeyEvent& key) {
        const bool first = held_.press(key.key(), key.timestamp());
        return first && !key.isAutoRepeat();
    }

    // An open drop-down list chooses its entry on Enter's shortcut override and closes; the
    // choice moves the focus to the start button, where the same key then arrives as an
    // ordinary press. That press belongs to the list and must not start or stop a draw.
    // The pair shares the key and its time stamp, even when the choice ran a nested loop
    // (a message box) in between.
    void noteListKey(const QKeyEvent& key) {
        if (IsEnter(key) && QApplication::activePopupWidget())
            listKey_ = {key.key(), key.timestamp()};
    }
    bool choseFromList(const QKeyEvent& key) {
        if (!listKey_ || listKey_->first != key.key() || listKey_->second != key.timestamp())
            return false;
        listKey_.reset();
        // A list that is still open (nothing to choose) or a menu takes the key itself.
        return !QApplication::activePopupWidget();
    }

    std::optional<std::pair<int, quint64>> listKey_;
    HeldKeyGate held_;
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
    // owns the keyboard, and so does an open drop-down list or menu; Enter in a text field
    // confirms what was typed there and must not draw a winner. And only while one of our
    // windows is active, as a hot key registered on activation.
    return KeyboardIsFree() && dynamic_cast<StageWindow*>(QApplication::activeWindow());
}

void SetClickerKeys(bool on) { g_clickers = on; }

std::unique_ptr<QObject> InstallHotKeyFilter() {
    auto filter = std::make_unique<HotKeyFilter>();
    qApp->installEventFilter(filter.get());
    return filter;
}

}  // namespace ld::qt
