// The Win32 side of the Gui: realises loaded windows, runs pop-up menus and the move loop,
// moves the focus and the stacking order, knows the active window.
#pragma once

#include <windows.h>

#include <map>

#include "ui/gui.h"

namespace ld::win {

class WinEventLoop;
class StageWindow;
class ControlView;

class WinGui : public Gui {
public:
    explicit WinGui(WinEventLoop& loop);
    ~WinGui() override;
    WinGui(const WinGui&) = delete;
    WinGui& operator=(const WinGui&) = delete;

    void windowLoaded(Window& window) override;
    void windowClosed(Window& window) override;
    void setFocus(Control& control) override;
    void setZOrder(Control& control, int layer) override;
    std::optional<int> popupMenu(Window& window, const std::vector<PopupEntry>& menu) override;
    void moveLoop(Control& control) override;
    Window* activeWindow() override;
    void playAnimation(Window& window, int animation) override;
    void setStageNotice(Window& window, const Text& text) override;
    void setStageSeal(Window& window, const Text& text) override;
    void setClickerKeys(bool on) override;
    void showBatchGrid(Window& window, const BatchGridView& grid) override;
    void hideBatchGrid(Window& window) override;
    void showCheckinPanel(Window& window, const CheckinPanelView& panel) override;
    void hideCheckinPanel(Window& window) override;
    void showCheckinScreen(Window& window, const CheckinScreenView& view) override;
    void hideCheckinScreen(Window& window) override;
    void openConsole(int screen, const ConsoleActions& actions) override;
    void closeConsole() override;

    StageWindow* stageOf(const Window& window) const;
    ControlView* viewOf(const Control& control) const;
    // Our top-level window for a window handle (or one of its children), if any.
    StageWindow* stageOf(HWND hwnd) const;

private:
    void makeNewestModal();
    void showWhenLaidOut(StageWindow* stage);

    WinEventLoop& loop_;
    std::map<const Window*, StageWindow*> stages_;
    const Window* newest_ = nullptr;
    StageWindow* stage_ = nullptr;  // the first window without a parent: the draw screen
    std::map<StageWindow*, HWND> disabledOwners_;
};

// The pop-up menu's Win32 form: each item's id is its command number.
HMENU BuildPopupMenu(const std::vector<PopupEntry>& entries);

}  // namespace ld::win
