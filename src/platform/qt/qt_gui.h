// The Qt side of the Gui: realises loaded windows as widgets, runs pop-up menus and the
// move loop, moves the focus and the stacking order, knows the active window, and keeps
// the operator's console.
#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>

#include "ui/gui.h"

class QMenu;
class QWidget;

namespace ld::qt {

class QtEventLoop;
class StageWindow;
class ControlView;
class ConsoleWindow;

class QtGui : public Gui {
public:
    explicit QtGui(QtEventLoop& loop);
    ~QtGui() override;

    void windowLoaded(Window& window) override;
    void windowClosed(Window& window) override;
    void setFocus(Control& control) override;
    void setZOrder(Control& control, int layer) override;
    std::optional<int> popupMenu(Window& window, const std::vector<PopupEntry>& menu) override;
    void moveLoop(Control& control) override;
    Window* activeWindow() override;

    // Plays firework animation 1..3 in the window (the celebration).
    void playAnimation(Window& window, int animation) override;
    // 1..3 draws the standard controls of every window flat from now on, 0 turns it off.
    void setFlatControlStyle(int style) override;
    void setStageNotice(Window& window, const Text& text) override;
    void setStageSeal(Window& window, const Text& text) override;
    void showCheckinPanel(Window& window, const CheckinPanelView& panel) override;
    void hideCheckinPanel(Window& window) override;
    void showCheckinScreen(Window& window, const CheckinScreenView& view) override;
    void hideCheckinScreen(Window& window) override;
    void showBatchGrid(Window& window, const BatchGridView& grid) override;
    void hideBatchGrid(Window& window) override;
    void openConsole(int screen, const ConsoleActions& actions) override;
    void closeConsole() override;
    void setClickerKeys(bool on) override;

    StageWindow* stageOf(const Window& window) const;
    ControlView* viewOf(const Control& control) const;
    ConsoleWindow* console() const;

private:
    void makeNewestModal();
    void showWhenLaidOut(StageWindow* stage);
    void stageScreenChanged();

    QtEventLoop& loop_;
    std::map<const Window*, QPointer<StageWindow>> stages_;
    const Window* newest_ = nullptr;
    QPointer<StageWindow> stage_;  // the first window without a parent: the draw screen
    QPointer<ConsoleWindow> console_;
    std::unique_ptr<QObject> keys_;
    QObject screens_;  // receives the screens' signals for as long as the Gui lives
};

// The pop-up menu's Qt form: each action carries its command number in data().
QMenu* BuildPopupMenu(const std::vector<PopupEntry>& entries, QWidget* parent = nullptr);
void FillPopupMenu(QMenu* menu, const std::vector<PopupEntry>& entries);

}  // namespace ld::qt
