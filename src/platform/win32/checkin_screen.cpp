#include "platform/win32/checkin_screen.h"

#include <algorithm>
#include <map>
#include <string>

#include "platform/win32/card_surface.h"
#include "platform/win32/win_text.h"
#include "services/text.h"
#include "ui/checkin_screen_layout.h"

namespace ld::win {

namespace {

const COLORREF kGold = RGB(0xF6, 0xD3, 0x65);
const COLORREF kCardRed = RGB(0x7A, 0x0A, 0x10);
const wchar_t kClass[] = L"LdCheckinScreen";

class CheckinScreen {
public:
    explicit CheckinScreen(HWND stage);
    ~CheckinScreen();
    CheckinScreen(const CheckinScreen&) = delete;
    CheckinScreen& operator=(const CheckinScreen&) = delete;

    void show(const CheckinScreenView& view, UINT dpi);
    void hide();
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    bool handle(UINT message, WPARAM wParam, LRESULT& result);
    void paint(HDC target);
    void paintCode(HDC dc, const CheckinScreenLayout& l);
    HFONT font(int devicePixels, bool bold) const;

    HWND stage_;
    HWND hwnd_ = nullptr;
    HWND focusBefore_ = nullptr;
    UINT dpi_ = 96;
    CheckinScreenView view_;
};

std::map<HWND, CheckinScreen*>& Screens() {
    static std::map<HWND, CheckinScreen*> screens;
    return screens;
}

CheckinScreen* ScreenOf(HWND stage) {
    auto it = Screens().find(stage);
    return it == Screens().end() ? nullptr : it->second;
}

CheckinScreen::CheckinScreen(HWND stage) : stage_(stage) {
    hwnd_ = CreateCardWindow(kClass, Proc, stage, WS_CLIPSIBLINGS, this);
}

CheckinScreen::~CheckinScreen() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

HFONT CheckinScreen::font(int devicePixels, bool bold) const {
    FontValue f;
    f.face = Gbk("微软雅黑");
    f.pixels = Logical(devicePixels, dpi_);
    f.bold = bold;
    return FontFor(f, dpi_);
}

void CheckinScreen::show(const CheckinScreenView& view, UINT dpi) {
    dpi_ = dpi;
    view_ = view;
    RECT client{};
    GetClientRect(stage_, &client);
    const bool appearing = !IsWindowVisible(hwnd_);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, client.right, client.bottom, SWP_SHOWWINDOW);
    if (appearing) {
        focusBefore_ = GetFocus();
        SetFocus(hwnd_);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CheckinScreen::hide() {
    if (!IsWindowVisible(hwnd_)) return;
    ShowWindow(hwnd_, SW_HIDE);
    // The stage's focus goes back where it was (the start button, as a rule).
    if (focusBefore_ && IsWindow(focusBefore_) && IsChild(stage_, focusBefore_))
        SetFocus(focusBefore_);
    else
        SetFocus(stage_);
    focusBefore_ = nullptr;
}

LRESULT CALLBACK CheckinScreen::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CheckinScreen*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->handle(message, wParam, result)) return result;
    if (message == WM_NCDESTROY && self) {
        // The stage's window went first: the view goes with it.
        self->hwnd_ = nullptr;
        Screens().erase(self->stage_);
        delete self;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CheckinScreen::handle(UINT message, WPARAM wParam, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            paint(dc);
            EndPaint(hwnd_, &ps);
            return true;
        }
        case WM_KEYDOWN:
            // Escape is the view's, and only that: the stage never sees it.
            if (wParam == VK_ESCAPE && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 &&
                GetKeyState(VK_SHIFT) >= 0) {
                if (auto escape = view_.escape) escape();  // a copy: it hides the view
                return true;
            }
            return false;
        case WM_RBUTTONDOWN:
            // The controls under the view are out of reach; a right press offers the menu.
            if (auto menu = view_.menu) menu();
            return true;
        case WM_LBUTTONDOWN:
            SetFocus(hwnd_);
            return true;
        default:
            return false;
    }
}

void CheckinScreen::paint(HDC target) {
    RECT client;
    GetClientRect(hwnd_, &client);
    Surface s;
    s.make(hwnd_, client.right, client.bottom);
    HDC dc = s.dc();
    FillColor(dc, client, kCardRed);
    const CheckinScreenLayout l = LayOutCheckinScreen({client.right, client.bottom}, view_.qrSize);
    const auto rect = [](const BatchBox& b) { return RECT{b.left, b.top, b.right(), b.bottom()}; };

    CentredLine(dc, WideUtf8("扫码签到，参加抽奖"), rect(l.caption), font(l.captionPixels, true),
                kGold);
    paintCode(dc, l);
    CentredLine(dc, Wide(view_.url), rect(l.address), font(l.addressPixels, true),
                RGB(255, 255, 255));

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, font(l.countPixels, true));
    SetTextColor(dc, kGold);
    const std::wstring count = WideUtf8("已签到 ") + std::to_wstring(view_.count) + WideUtf8(" 人");
    RECT countBox = rect(l.count);
    DrawTextW(dc, count.c_str(), static_cast<int>(count.size()), &countBox,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, font(l.namePixels, false));
    SetTextColor(dc, RGB(255, 255, 255));
    const int lines = std::min(l.nameLines, static_cast<int>(view_.latestNames.size()));
    for (int i = 0; i < lines; ++i) {
        RECT line{l.names.left, l.names.top + i * l.nameLineHeight, l.names.right(),
                  l.names.top + (i + 1) * l.nameLineHeight};
        const std::wstring name = Wide(view_.latestNames[static_cast<size_t>(i)]);
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &line,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    SelectObject(dc, old);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

// The code on white with its quiet zone; whole device pixels per module, sharp edges.
void CheckinScreen::paintCode(HDC dc, const CheckinScreenLayout& l) {
    const RECT code{l.code.left, l.code.top, l.code.right(), l.code.bottom()};
    FillColor(dc, code, RGB(255, 255, 255));
    const int size = view_.qrSize, cell = l.modulePixels;
    if (size <= 0 || view_.qrModules.size() < static_cast<size_t>(size) * size) return;
    const int left = code.left + (l.code.width - cell * size) / 2;
    const int top = code.top + (l.code.height - cell * size) / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (view_.qrModules[static_cast<size_t>(y * size + x)])
                FillColor(dc,
                          RECT{left + x * cell, top + y * cell, left + (x + 1) * cell,
                               top + (y + 1) * cell},
                          RGB(0, 0, 0));
}

}  // namespace

void ShowCheckinScreen(HWND stage, UINT dpi, const CheckinScreenView& view) {
    if (!stage) return;
    CheckinScreen* screen = ScreenOf(stage);
    if (!screen) {
        screen = new CheckinScreen(stage);
        Screens()[stage] = screen;
    }
    screen->show(view, dpi);
}

void HideCheckinScreen(HWND stage) {
    if (CheckinScreen* screen = ScreenOf(stage)) screen->hide();
}

void KeepCheckinScreenOnTop(HWND stage) {
    CheckinScreen* screen = ScreenOf(stage);
    if (screen && IsWindowVisible(screen->hwnd()))
        SetWindowPos(screen->hwnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FitCheckinScreen(HWND stage) {
    CheckinScreen* screen = ScreenOf(stage);
    if (!screen || !IsWindowVisible(screen->hwnd())) return;
    RECT client{};
    GetClientRect(stage, &client);
    SetWindowPos(screen->hwnd(), nullptr, 0, 0, client.right, client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(screen->hwnd(), nullptr, FALSE);
}

}  // namespace ld::win
