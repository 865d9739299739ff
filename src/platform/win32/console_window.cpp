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

enum : int {
    kLevels = 201, kStartStop, kForfeit, kExport, kMusic, kClickers, kCheckin,
};
constexpr UINT kRunCommand = WM_APP + 51;  // a menu command, once the menu has closed
constexpr UINT kGoAway = WM_APP + 52;      // closed: destroyed outside its own handlers
constexpr UINT_PTR kRefreshTimer = 1;
constexpr int kRefreshMs = 200;
const wchar_t kClass[] = L"LdConsole";

ConsoleWindow* g_console = nullptr;
std::function<bool(HWND)> g_onStage;
bool g_clickers = false;

HFONT ConsoleFont(int pixels, bool bold, UINT dpi) {
    FontValue font;
    font.face = Gbk("微软雅黑");
    font.pixels = pixels;
    font.bold = bold;
    return FontFor(font, dpi);
}

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

int ConsoleWindow::px(int logical) const { return Px(logical, dpi_); }

HWND ConsoleWindow::make(const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(15, false, dpi_)), FALSE);
    return h;
}

void ConsoleWindow::build() {
    auto heading = [this](const char* utf8) {
        HWND h = make(L"Static", WideUtf8(utf8).c_str(), SS_LEFT | SS_CENTERIMAGE, 0);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(17, true, dpi_)), FALSE);
        return h;
    };
    auto listView = [this](std::initializer_list<const char*> columns, int firstNumber) {
        HWND list = make(WC_LISTVIEWW, L"",
                         WS_BORDER | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL |
                             LVS_SHOWSELALWAYS,
                         0);
        ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        int i = 0;
        for (const char* c : columns) {
            std::wstring title = WideUtf8(c);
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = firstNumber >= 0 && i >= firstNumber ? LVCFMT_RIGHT : LVCFMT_LEFT;
            column.cx = px(i == 0 ? 120 : 80);
            column.pszText = title.data();
            ListView_InsertColumn(list, i++, &column);
        }
        return list;
    };
    levelLabel_ = heading("奖项");
    levels_ = make(L"ComboBox", L"", WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, kLevels);
    startStop_ = make(L"Button", L"", WS_TABSTOP | BS_OWNERDRAW, kStartStop);
    poolLabel_ = make(L"Static", WideUtf8("奖池").c_str(), SS_LEFT | SS_CENTERIMAGE, 0);
    pool_ = make(L"Static", L"", SS_CENTER | SS_CENTERIMAGE, 0);
    SendMessageW(pool_, WM_SETFONT, reinterpret_cast<WPARAM>(ConsoleFont(26, true, dpi_)), FALSE);
    poolUnit_ = make(L"Static", WideUtf8("人").c_str(), SS_LEFT | SS_CENTERIMAGE, 0);
    forfeit_ = make(L"Button", WideUtf8("放弃当前中奖人").c_str(), WS_TABSTOP, kForfeit);
    progressHeading_ = heading("各奖项进度");
    progress_ = listView({"奖项", "已抽", "总数", "剩余"}, 1);
    winnersHeading_ = heading("本场中奖名单");
    export_ = make(L"Button", WideUtf8("导出中奖名单").c_str(), WS_TABSTOP, kExport);
    winners_ = listView({"时间", "奖项", "姓名"}, -1);
    music_ = make(L"Button", WideUtf8("背景音乐").c_str(), WS_TABSTOP | BS_CHECKBOX, kMusic);
    clickers_ = make(L"Button", WideUtf8("翻页笔").c_str(), WS_TABSTOP | BS_CHECKBOX, kClickers);
    checkinHeading_ = heading("现场签到");
    checkinCount_ = make(L"Static", L"", SS_LEFT | SS_CENTERIMAGE, 0);
    checkin_ = make(L"Button", L"", WS_TABSTOP, kCheckin);
}

// Two columns over a row of toggles: the draw and the levels' progress on the left, this
// run's winners on the right.
void ConsoleWindow::layOut() {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int W = client.right, H = client.bottom, m = px(16), gap = px(14), pad = px(18);
    const int leftW = px(400), eventH = px(60);
    auto place = [](HWND h, int x, int y, int w, int hh) {
        SetWindowPos(h, nullptr, x, y, std::max(1, w), std::max(1, hh), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int top = px(12), columnsBottom = H - m - eventH - gap;
    cards_[0] = {m, top, m + leftW, top + px(220)};
    cards_[1] = {m, cards_[0].bottom + gap, m + leftW, columnsBottom};
    cards_[2] = {m + leftW + gap, top, W - m, columnsBottom};
    cards_[3] = {m, H - m - eventH, W - m, H - m};
    const RECT& a = cards_[0];
    place(levelLabel_, a.left + pad, a.top + px(16), px(50), px(34));
    place(levels_, a.left + pad + px(56), a.top + px(16), leftW - 2 * pad - px(56), px(300));
    place(startStop_, a.left + pad, a.top + px(62), leftW - 2 * pad, px(96));
    place(poolLabel_, a.left + pad, a.top + px(172), px(36), px(34));
    place(pool_, a.left + pad + px(36), a.top + px(172), px(80), px(34));
    place(poolUnit_, a.left + pad + px(116), a.top + px(172), px(24), px(34));
    place(forfeit_, a.right - pad - px(150), a.top + px(174), px(150), px(32));
    const RECT& b = cards_[1];
    place(progressHeading_, b.left + pad, b.top + px(10), px(200), px(30));
    place(progress_, b.left + pad, b.top + px(44), b.right - b.left - 2 * pad,
          b.bottom - b.top - px(58));
    ListView_SetColumnWidth(progress_, 0, b.right - b.left - 2 * pad - px(3 * 64 + 6));
    for (int c = 1; c < 4; ++c) ListView_SetColumnWidth(progress_, c, px(64));
    const RECT& c = cards_[2];
    place(winnersHeading_, c.left + pad, c.top + px(10), px(320), px(30));
    place(export_, c.right - pad - px(140), c.top + px(8), px(140), px(32));
    place(winners_, c.left + pad, c.top + px(48), c.right - c.left - 2 * pad,
          c.bottom - c.top - px(64));
    ListView_SetColumnWidth(winners_, 0, px(100));
    ListView_SetColumnWidth(winners_, 1, px(160));
    ListView_SetColumnWidth(winners_, 2, c.right - c.left - 2 * pad - px(266));
    const RECT& d = cards_[3];
    const int rowY = d.top + (eventH - px(32)) / 2;
    place(music_, d.left + pad, rowY, px(110), px(32));
    place(clickers_, d.left + pad + px(130), rowY, px(100), px(32));
    place(checkin_, d.right - pad - px(110), rowY, px(110), px(32));
    place(checkinCount_, d.right - pad - px(250), rowY, px(130), px(32));
    place(checkinHeading_, d.right - pad - px(340), rowY, px(86), px(32));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ConsoleWindow::paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, back_);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xD9, 0xDE, 0xE5));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, card_);
    for (const RECT& r : cards_) RoundRect(dc, r.left, r.top, r.right, r.bottom, px(20), px(20));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void ConsoleWindow::drawStartStop(const DRAWITEMSTRUCT& item) {
    const bool enabled = !(item.itemState & ODS_DISABLED);
    const bool pressed = item.itemState & ODS_SELECTED;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, card_);
    const COLORREF face = !enabled ? RGB(0xB6, 0xBB, 0xC2)
                                   : pressed ? RGB(0xA3, 0x15, 0x15) : RGB(0xC6, 0x28, 0x28);
    SetDCBrushColor(dc, face);
    SetDCPenColor(dc, face);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    RoundRect(dc, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom,
              px(24), px(24));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    wchar_t text[64] = {};
    GetWindowTextW(item.hwndItem, text, 64);
    CentredLine(dc, text, item.rcItem, ConsoleFont(30, true, dpi_),
                enabled ? RGB(255, 255, 255) : RGB(0xF3, 0xF4, 0xF6));
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
            // The console closes from the stage's menu; its own close box only hides it.
            ShowWindow(hwnd_, SW_HIDE);
            return 0;
        case kGoAway:
            DestroyWindow(hwnd_);
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
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
    const RECT free = info.rcWork;
    // Room to work beside it on a large screen; most of a laptop's, with its frame.
    const int w = std::min(px(1280), static_cast<int>(free.right - free.left) - px(40));
    const int h = std::min(px(820), static_cast<int>(free.bottom - free.top) - px(80));
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
