// What only a real display can do with the model: show windows, move the keyboard focus,
// run the pop-up menu and the mouse move loop. The Qt host implements it; the test host
// scripts the outcomes of the gestures.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace ld {

// One entry of a pop-up menu as built from the menu items (see framework/popup_menu.h).
struct PopupEntry {
    Text caption;
    bool separator = false, disabled = false, checked = false;
    Text shortcut;
    int command = 0;                  // from 20000 upward in menu order; 0 for submenus
    size_t item = 0;                  // index into Window::menu()
    std::vector<PopupEntry> submenu;  // non-empty: a submenu
};

// The check-in panel on the stage: the code to scan, its address in plain text, the count
// and the latest photos. The host creates it on first use.
struct CheckinPanelView {
    Text url;                        // what the code holds, shown under it
    std::vector<uint8_t> qrModules;  // 1: dark, row-major, qrSize x qrSize
    int qrSize = 0;
    int count = 0;
    std::vector<Bytes> recentPhotos;  // newest first, at most six
    std::vector<Text> addresses;      // the addresses the operator may show instead
    int selectedAddress = 0;
    int left = -1, top = -1;                       // -1: the host's default place
    std::function<void(int left, int top)> moved;  // after a Ctrl + drag
    std::function<void(int index)> addressChosen;
};

// The full-screen check-in view over the stage, for a hall whose back rows cannot read the
// panel's code: the code as large as the stage allows, the address, the count and the
// latest names (see ui/checkin_screen_layout.h for where each goes).
struct CheckinScreenView {
    Text url;
    std::vector<uint8_t> qrModules;  // as CheckinPanelView's
    int qrSize = 0;
    int count = 0;
    std::vector<Text> latestNames;  // newest first
    std::function<void()> escape;   // the operator pressed Escape on it
    std::function<void()> menu;     // a right press on it: the menu that can close it
};

// One tile of a batch draw's grid.
struct BatchTile {
    Bytes picture;  // what the tile shows: a preview while rolling and until the whole photo
    Text name;      // the winner under the photo; empty while rolling
    // File-system path of the winner's whole photo, empty while rolling. The host reads and
    // decodes it at the tile's size off the UI thread and shows it once ready.
    std::string photoFile;
    // The winner's department (张三（销售部） has 销售部): when the name is too long for one
    // line, the name goes without it and the department smaller on a line of its own.
    Text department = {};
};

// The grid that takes the photo's place when a stop draws several winners at once.
struct BatchGridView {
    int left = 0, top = 0, width = 0, height = 0;  // the area on the window it fills
    std::vector<BatchTile> tiles;                  // in order: left to right, top to bottom
    // The congratulation line, drawn in a band under the tiles (the stage's own label would
    // lie under the grid); empty while rolling, when the band stays empty.
    Text caption;
    // Names may carry a department: every tile keeps a line for it under the name.
    bool departments = false;
};

// The operator's console, on a screen other than the stage's. The host asks for `view`
// whenever it refreshes (often: a few times a second and after every action of its own), so
// it always shows the stage's state; every action runs the same routine as the stage's
// control or menu item.
struct ConsoleLevel {
    Text name;
    int drawn = 0, total = 0;
    int perDraw = 1;   // winners per stop
    Text rule;         // who may win it, in one line
    int eligible = 0;  // names in the draw that may win it
};
struct ConsoleWinner {
    Text time, level, name;  // time as HH:MM:SS
    int ordinal = 0;         // within the level
    bool forfeited = false;  // given up since
    bool forfeitable = false;  // of the current level and not given up: may be given up now
};
struct ConsoleView {
    std::vector<ConsoleLevel> levels;  // the named levels, in level order
    int selectedLevel = -1;            // index into levels; -1: none
    Text progressText;                 // the selected level's: 一等奖 已抽取3名
    Text buttonCaption;                // the start button's: 开始抽奖 / 停止抽奖
    bool buttonEnabled = true;
    int poolSize = 0;                     // names in the draw
    std::vector<ConsoleWinner> winners;   // this run's, newest first (a batch in tile order)
    bool musicOn = false;
    bool checkinOpen = false;
    int checkinCount = 0;
    int checkinRefused = 0;  // requests the server refused (too many, too big, cut off)
    bool clickersOn = false;
    // Moderated check-in photos: how many wait, and the oldest one to let through or refuse.
    bool moderationOn = false;
    int pendingPhotos = 0;
    Text pendingName;   // GBK participant
    Bytes pendingPhoto;  // its JPEG
    std::vector<PopupEntry> stageMenu;  // the stage's pop-up menu as it would open now
    std::vector<PopupEntry> tools;      // 活动工具
};
struct ConsoleActions {
    std::function<ConsoleView()> view;
    std::function<void()> startOrStop;
    std::function<void(int level)> chooseLevel;  // index into ConsoleView::levels
    std::function<void()> forfeit;
    // Gives up one winner, an index into ConsoleView::winners. A host without it offers
    // `forfeit` alone.
    std::function<void(int winner)> forfeitWinner;
    std::function<void()> toggleMusic;
    std::function<void()> toggleCheckin;
    std::function<void()> toggleClickers;
    std::function<void()> exportWinners;
    // 通过 (true) or 拒绝 for the waiting photo of this participant.
    std::function<void(const Text& participant, bool approve)> moderatePhoto;
    std::function<void(int command)> runCommand;  // a command of stageMenu or tools
};

class Gui {
public:
    virtual ~Gui() = default;
    // A window was created in the model (after its controls exist) / is being destroyed.
    virtual void windowLoaded(Window& window) = 0;
    virtual void windowClosed(Window& window) = 0;
    virtual void setFocus(Control& control) = 0;
    // layer <= 1 top of siblings, 2 bottom, 3 always on top, >= 4 no longer on top.
    virtual void setZOrder(Control& control, int layer) = 0;
    // Shows the menu at the cursor + 3 pixels; returns the chosen command, if any.
    virtual std::optional<int> popupMenu(Window& window, const std::vector<PopupEntry>& menu) = 0;
    // The control follows the mouse until the left button is released; on return its
    // left and top are the new position.
    virtual void moveLoop(Control& control) = 0;
    // The window that is active now, if it is one of ours.
    virtual Window* activeWindow() = 0;
    // Plays celebration animation 1..3 in the window until it closes.
    virtual void playAnimation(Window& window, int animation) {}
    // 1..3: standard controls of every window, present and later, drawn flat; 0: off.
    virtual void setFlatControlStyle(int style) {}
    // A short warning in the window's top right corner, above every control, until it is
    // set again; empty text removes it.
    virtual void setStageNotice(Window& window, const Text& text) {}
    // The verified draw's band in the stage's top right corner, above every control but below
    // the check-in view and the celebration: lines separated by CR LF (the sealed list's
    // short fingerprint, the commitment, the hall's digits), legible from the back of the
    // hall, until it is set again; empty text removes it.
    virtual void setStageSeal(Window& window, const Text& text) {}
    // Shows or updates the check-in panel on the window / removes it.
    virtual void showCheckinPanel(Window& window, const CheckinPanelView& panel) {}
    virtual void hideCheckinPanel(Window& window) {}
    // Shows or updates the full-screen check-in view over the window's whole area, above
    // everything on it / removes it. While it is shown it has the keyboard's Escape.
    virtual void showCheckinScreen(Window& window, const CheckinScreenView& view) {}
    virtual void hideCheckinScreen(Window& window) {}
    // Shows or updates the batch grid on the window (every roll tick updates it whole; a
    // tile whose picture is unchanged costs nothing) / removes it.
    virtual void showBatchGrid(Window& window, const BatchGridView& grid) {}
    virtual void hideBatchGrid(Window& window) {}
    // Opens the console on screen `screen` (numbered as Screen::screens()); while it is open
    // the program's dialogs appear on its screen, never on the stage.
    virtual void openConsole(int screen, const ConsoleActions& actions) {}
    virtual void closeConsole() {}
    // Presenter clickers: Page Down, Page Up and B trigger the draw as Enter does, under the
    // same rules, while the stage or the console is the active window.
    virtual void setClickerKeys(bool on) {}
};

Gui& gui();
bool hasGui();
void setGui(Gui* g);

}  // namespace ld
