// The operator's console: the draw's state at a glance and every command, on the operator's
// own screen while the stage shows on the projector. It asks the application for the state a
// few times a second and touches only the controls whose values changed. While it is open
// the program's dialogs belong to it, so they come up on its screen.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "platform/win32/pictures.h"
#include "ui/gui.h"

namespace ld::win {

class ConsoleWindow {
public:
    // The controls' ids.
    enum : int { kLevels = 201, kStartStop, kForfeit, kExport, kMusic, kClickers, kCheckin,
                 kWinners, kApprove, kRefuse };
    // Posted by a click on a row's 放弃 (wParam: the row), run once the click is over.
    static constexpr UINT kForfeitRow = WM_APP + 53;

    ConsoleWindow();
    ~ConsoleWindow();
    ConsoleWindow(const ConsoleWindow&) = delete;
    ConsoleWindow& operator=(const ConsoleWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Shows the console in the middle of the monitor's work area with these actions.
    void open(const ConsoleActions& actions, HMONITOR monitor);
    // The start/stop button: Enter or a clicker's key while the console is active.
    void trigger();
    // Brings the controls up to date with the application now.
    void refresh();
    // A key press while the console is active: Enter, and the clickers' keys while they are
    // on, press the start/stop button; Page Down and Page Up go nowhere else. True: taken.
    bool takeKey(const MSG& msg);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void build();
    void layOut();
    void paint(HDC dc);
    void command(int id, int code);
    void fillMenu(HMENU menu);
    void drawStartStop(const DRAWITEMSTRUCT& item);
    void run(const std::function<void(const ConsoleActions&)>& action);
    void showSelector(const ConsoleView& view);
    void showLevels(const ConsoleView& view);
    void showWinners(const ConsoleView& view);
    LRESULT drawWinnerCell(NMLVCUSTOMDRAW& draw);
    void clickWinners(POINT at);
    void forfeitRow(int row);
    // The waiting photo's card (console_moderation.cpp): built, laid out in `card`, brought up
    // to date (true when it appeared or went, so the layout changes), drawn.
    void buildModeration();
    void layOutModeration(const RECT& card);
    bool showModeration(const ConsoleView& view);
    void paintModeration(HDC dc);
    int px(int logical) const;
    HWND make(const wchar_t* cls, const wchar_t* text, DWORD style, int id);

    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    ConsoleActions actions_;
    ConsoleView shown_;  // what the controls show now
    bool filled_ = false;
    HMENU stageMenu_ = nullptr, toolsMenu_ = nullptr;
    HWND levels_ = nullptr, startStop_ = nullptr, pool_ = nullptr, forfeit_ = nullptr;
    HWND progress_ = nullptr, winnersHeading_ = nullptr, export_ = nullptr, winners_ = nullptr;
    HWND music_ = nullptr, clickers_ = nullptr, checkin_ = nullptr, checkinCount_ = nullptr;
    HWND levelLabel_ = nullptr, poolLabel_ = nullptr, poolUnit_ = nullptr;
    HWND progressHeading_ = nullptr, checkinHeading_ = nullptr;
    HWND modHeading_ = nullptr, modCount_ = nullptr, modName_ = nullptr;
    HWND approve_ = nullptr, refuse_ = nullptr;
    Bitmap modPhoto_;
    RECT modPhotoBox_{};  // client pixels
    Text modShownName_;
    bool moderationShown_ = false;
    RECT cards_[5]{};  // the white cards behind the groups, client pixels; [4] the photo's
    HBRUSH back_ = nullptr, card_ = nullptr;
};

// The console's font at `pixels` logical pixels.
HFONT ConsoleFont(int pixels, bool bold, UINT dpi);

// Opens the console on screen `screen` (numbered as the program numbers screens), or on
// another than the stage's when that is the stage's; with a single screen it stays closed.
void OpenConsole(int screen, const ConsoleActions& actions);
void CloseConsole();
// Tells whether a window of ours belongs on the stage's screen.
void SetConsoleOnStage(std::function<bool(HWND)> onStage);
// The console window while it is open, else null.
HWND ConsoleHandle();
// The owner a dialog gets while the console is open (the console, unless an operator's
// window is active), else null.
HWND ConsoleDialogOwner();
// Enter and the clickers' keys while the console is active: its start/stop button. True
// when the key was taken.
bool ConsoleKeyMessage(const MSG& msg);
void SetConsoleClickerKeys(bool on);

}  // namespace ld::win
