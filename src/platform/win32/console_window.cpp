#include "platform/win32/console_window.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "platform/win32/card_surface.h"
#include "platform/win32/key_filter.h"
#include "platform/win32/screens.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr UINT kRunCommand = WM_APP + 51;  // a menu command, once the menu has closed
constexpr UINT kGoAway = WM_APP + 52;      // closed: destroyed outside its own handlers
constexpr UINT_PTR kRefreshTimer = 1;
constexpr int kRefreshMs = 200;
const wchar_t kClass[] = L"LdConsole";

ConsoleWindow* g_console = nullptr;
std::function<bool(HWND)> g_onStage;
bool g_clickers = false;

// The console's screen: the one asked for unless the stage is there, else any other.
const Monitor* ConsoleMonitor(const std::vector<Monitor>& monitors, int wanted) {
    const HMONITOR stage = StageMonitor().handle;
    if (wanted >= 0 && wanted < static_cast<int>(monitors.size()) &&
        monitors[static_cast<size_t>(wanted)].handle != stage)
        return &monitors[static_cast<size_t>(wanted)];
    for (const Monitor& m : monitors)
        if (m.handle != stage) return &m;
    return nullptr;
}

}  // namespace

ConsoleWindow::ConsoleWindow() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), kClass, &wc)) {
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        wc.lpszClassName = kClass;
        RegisterClassExW(&wc);
    }
    back_ = CreateSolidBrush(RGB(0xEE, 0xF1, 0xF5));
    card_ = CreateSolidBrush(RGB(255, 255, 255));
    HMENU bar = CreateMenu();
    stageMenu_ = CreatePopupMenu();
    toolsMenu_ = CreatePopupMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(stageMenu_), WideUtf8("舞台菜单").c_str());
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(toolsMenu_), WideUtf8("活动工具").c_str());
    hwnd_ = CreateWindowExW(0, kClass, WideUtf8("抽奖控制台").c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            1280, 820, nullptr, bar, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ConsoleWindow::~ConsoleWindow() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    DeleteObject(back_);
    DeleteObject(card_);
}

LRESULT CALLBACK ConsoleWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        if (g_console == self) g_console = nullptr;
        delete self;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT ConsoleWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            layOut();
            return 0;
        case WM_SETFOCUS:
            // The level selector has the keyboard first, as the stage's does.
            if (levels_) SetFocus(levels_);
            return 0;
        case WM_ERASEBKGND:
            paint(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkMode(dc, TRANSPARENT);
            const HWND child = reinterpret_cast<HWND>(lParam);
            SetTextColor(dc, child == pool_ ? RGB(0xB7, 0x1C, 0x1C)
                             : child == poolLabel_ || child == poolUnit_ || child == checkinCount_
                                 ? RGB(0x6B, 0x72, 0x80)
                                 : RGB(0x1F, 0x29, 0x37));
            return reinterpret_cast<LRESULT>(card_);
        }
        case WM_DRAWITEM:
            drawStartStop(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(wParam) == stageMenu_ ||
                reinterpret_cast<HMENU>(wParam) == toolsMenu_)
                fillMenu(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_COMMAND:
            if (lParam == 0 && HIWORD(wParam) == 0) {
                // A menu's command, run once the menu has closed: it may ask a question.
                PostMessageW(hwnd_, kRunCommand, LOWORD(wParam), 0);
                return 0;
            }
            command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom != winners_) break;
            if (header->code == NM_CUSTOMDRAW)
                return drawWinnerCell(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
            if (header->code == NM_CLICK)
                clickWinners(reinterpret_cast<NMITEMACTIVATE*>(lParam)->ptAction);
            return 0;
        }
        case kForfeitRow:
            forfeitRow(static_cast<int>(wParam));
            return 0;
        case kRunCommand: {
            const int id = static_cast<int>(wParam);
            run([id](const ConsoleActions& a) {
                if (a.runCommand) a.runCommand(id);
            });
            return 0;
        }
        case WM_TIMER:
            if (wParam == kRefreshTimer) refresh();
            return 0;
        case WM_CLOSE:
            // Its close box closes it until the stage's screen is chosen again. Not at once:
            // this may run inside one of its own handlers.
            if (g_console == this) return CloseConsole(), 0;
            KillTimer(hwnd_, kRefreshTimer);
            ShowWindow(hwnd_, SW_HIDE);
            PostMessageW(hwnd_, kGoAway, 0, 0);
            return 0;
        case kGoAway:
            DestroyWindow(hwnd_);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void ConsoleWindow::command(int id, int code) {
    switch (id) {
        case kLevels:
            if (code == CBN_SELCHANGE) {
                const int index = static_cast<int>(SendMessageW(levels_, CB_GETCURSEL, 0, 0));
                run([index](const ConsoleActions& a) {
                    if (a.chooseLevel && index >= 0) a.chooseLevel(index);
                });
            }
            break;
        case kStartStop:
            if (code == BN_CLICKED) trigger();
            break;
        case kForfeit:
            run([](const ConsoleActions& a) {
                if (a.forfeit) a.forfeit();
            });
            break;
        case kExport:
            run([](const ConsoleActions& a) {
                if (a.exportWinners) a.exportWinners();
            });
            break;
        case kMusic:
            run([](const ConsoleActions& a) {
                if (a.toggleMusic) a.toggleMusic();
            });
            break;
        case kClickers:
            run([](const ConsoleActions& a) {
                if (a.toggleClickers) a.toggleClickers();
            });
            break;
        case kCheckin:
            run([](const ConsoleActions& a) {
                if (a.toggleCheckin) a.toggleCheckin();
            });
            break;
        case kApprove:
        case kRefuse:
            // The photo shown when the button was pressed: the queue may have moved since.
            run([participant = modShownName_, approve = id == kApprove](const ConsoleActions& a) {
                if (a.moderatePhoto && !participant.empty()) a.moderatePhoto(participant, approve);
            });
            break;
        default:
            break;
    }
}

void ConsoleWindow::open(const ConsoleActions& actions, HMONITOR monitor) {
    actions_ = actions;
    filled_ = false;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    for (const Monitor& m : NumberedMonitors())
        if (m.handle == monitor) dpi_ = m.dpi;
    if (!levels_) build();
    // Already there: the operator's own size and place stay.
    const bool there = IsWindowVisible(hwnd_) &&
                       MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONULL) == monitor;
    const RECT free = info.rcWork;
    // Room to work beside it on a large screen; most of a laptop's, with its frame.
    const int w = std::min(px(1280), static_cast<int>(free.right - free.left) - px(40));
    const int h = std::min(px(820), static_cast<int>(free.bottom - free.top) - px(80));
    if (!there)
        SetWindowPos(hwnd_, HWND_TOP, free.left + (free.right - free.left - w) / 2,
                     free.top + (free.bottom - free.top - h) / 2, w, h, 0);
    refresh();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetTimer(hwnd_, kRefreshTimer, kRefreshMs, nullptr);
}

void ConsoleWindow::trigger() {
    run([](const ConsoleActions& a) {
        if (a.startOrStop) a.startOrStop();
    });
}

void ConsoleWindow::run(const std::function<void(const ConsoleActions&)>& action) {
    // A copy: the action may open the console again, with new actions, while it runs.
    const ConsoleActions actions = actions_;
    HWND self = hwnd_;
    action(actions);
    // A console closed meanwhile is hidden, and destroyed only later.
    if (IsWindow(self) && IsWindowVisible(self)) refresh();
}

void OpenConsole(int screen, const ConsoleActions& actions) {
    const std::vector<Monitor> monitors = NumberedMonitors();
    const Monitor* target = ConsoleMonitor(monitors, screen);
    // A single screen: the stage has it.
    if (!target) return CloseConsole();
    if (!g_console) g_console = new ConsoleWindow;
    g_console->open(actions, target->handle);
}

void CloseConsole() {
    if (!g_console) return;
    ConsoleWindow* closing = g_console;
    g_console = nullptr;
    // Later: this may run inside one of the console's own actions.
    KillTimer(closing->hwnd(), kRefreshTimer);
    ShowWindow(closing->hwnd(), SW_HIDE);
    PostMessageW(closing->hwnd(), kGoAway, 0, 0);
}

void SetConsoleOnStage(std::function<bool(HWND)> onStage) { g_onStage = std::move(onStage); }

HWND ConsoleHandle() {
    return g_console && IsWindowVisible(g_console->hwnd()) ? g_console->hwnd() : nullptr;
}

HWND ConsoleDialogOwner() {
    HWND console = ConsoleHandle();
    if (!console) return nullptr;
    // The operator's windows (the console, the password window, another dialog) are on the
    // operator's screen already; whatever the stage asks goes over the console.
    HWND active = GetActiveWindow();
    if (!active || (g_onStage && g_onStage(active))) return console;
    DWORD process = 0;
    GetWindowThreadProcessId(active, &process);
    return process == GetCurrentProcessId() && IsWindowEnabled(active) ? active : console;
}

void SetConsoleClickerKeys(bool on) { g_clickers = on; }

bool ConsoleKeyMessage(const MSG& msg) {
    HWND console = ConsoleHandle();
    if (!console || msg.message != WM_KEYDOWN || GetActiveWindow() != console) return false;
    return KeyboardIsFree() && g_console->takeKey(msg);
}

bool ConsoleWindow::takeKey(const MSG& msg) {
    const bool plain = GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 &&
                       GetKeyState(VK_MENU) >= 0;
    const WPARAM vk = msg.wParam;
    const bool page = vk == VK_NEXT || vk == VK_PRIOR;
    const bool clicker = g_clickers && plain && (page || vk == 'B');
    // The operator at the console presses Enter as at the stage. Page Down and Page Up are a
    // clicker's or nobody's there: the level box keeps the focus after a choice and would
    // page to another level, which the next start would draw.
    if (!(plain && vk == VK_RETURN) && !clicker) return page;
    // A held key repeats (bit 30: it was down already); one press is one start or stop.
    if (!(msg.lParam & (1 << 30))) trigger();
    return true;
}

}  // namespace ld::win
