#include "platform/win32/checkin_panel.h"

#include <windowsx.h>

#include <map>
#include <string>

#include "platform/win32/card_surface.h"
#include "platform/win32/control_view.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

constexpr int kWidth = 360;
constexpr int kCode = 300;  // at least 280 px, so a phone at the back still reads it
constexpr int kMargin = 30;
constexpr int kThumb = 92;
constexpr int kChooserId = 101;
const COLORREF kGold = RGB(0xF6, 0xD3, 0x65);
const COLORREF kCardRed = RGB(0x7A, 0x0A, 0x10);
const wchar_t kClass[] = L"LdCheckinPanel";

std::map<HWND, CheckinPanel*>& Panels() {
    static std::map<HWND, CheckinPanel*> panels;
    return panels;
}

HFONT PanelFont(int pixels, bool bold, UINT dpi) {
    FontValue font;
    font.face = Gbk("微软雅黑");
    font.pixels = pixels;
    font.bold = bold;
    return FontFor(font, dpi);
}

int PanelHeight(size_t photos, bool choice) {
    const int rows = static_cast<int>(photos + 2) / 3;
    return kMargin + kCode + 170 + (choice ? 40 : 0) + rows * (kThumb + 10) + 20;
}

}  // namespace

CheckinPanel::CheckinPanel(HWND stage) : stage_(stage) {
    hwnd_ = CreateCardWindow(kClass, Proc, stage, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, this);
}

CheckinPanel::~CheckinPanel() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

RECT CheckinPanel::logical(int left, int top, int width, int height) const {
    return RECT{Px(left, dpi_), Px(top, dpi_), Px(left + width, dpi_), Px(top + height, dpi_)};
}

void CheckinPanel::show(const CheckinPanelView& view, UINT dpi) {
    dpi_ = dpi;
    view_ = view;
    photos_.clear();
    for (const Bytes& photo : view.recentPhotos)
        photos_.push_back(DrawPictureInBox(photo, SIZE{kThumb, kThumb}, BoxFit::Cover, dpi_));
    const bool choice = view.addresses.size() > 1;
    if (!placed_ || view.left >= 0) {
        RECT client{};
        GetClientRect(stage_, &client);
        at_ = view.left >= 0 ? POINT{view.left, view.top}
                             : POINT{Logical(client.right, dpi_) - kWidth - 40, 110};
        placed_ = true;
    }
    const RECT r = logical(at_.x, at_.y, kWidth, PanelHeight(photos_.size(), choice));
    SetWindowPos(hwnd_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    showAddresses();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CheckinPanel::showAddresses() {
    if (view_.addresses.size() <= 1) {
        if (addresses_) ShowWindow(addresses_, SW_HIDE);
        return;
    }
    const RECT r = logical(kMargin, kMargin + kCode + 166, kWidth - 2 * kMargin, 30);
    if (!addresses_) {
        addresses_ = CreateWindowExW(0, L"ComboBox", L"",
                                     WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 0,
                                     1, 1, hwnd_, reinterpret_cast<HMENU>(kChooserId),
                                     GetModuleHandleW(nullptr), nullptr);
    }
    SendMessageW(addresses_, WM_SETFONT, reinterpret_cast<WPARAM>(PanelFont(15, false, dpi_)),
                 FALSE);
    // Its height counts the open list too.
    SetWindowPos(addresses_, nullptr, r.left, r.top, r.right - r.left, Px(200, dpi_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // An open list is the operator's: it does not change under the mouse.
    if (!SendMessageW(addresses_, CB_GETDROPPEDSTATE, 0, 0)) {
        SendMessageW(addresses_, CB_RESETCONTENT, 0, 0);
        for (const Text& a : view_.addresses)
            SendMessageW(addresses_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(a).c_str()));
        SendMessageW(addresses_, CB_SETCURSEL, static_cast<WPARAM>(view_.selectedAddress), 0);
    }
    ShowWindow(addresses_, SW_SHOWNA);
}

LRESULT CALLBACK CheckinPanel::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CheckinPanel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->handle(message, wParam, lParam, result)) return result;
    if (message == WM_NCDESTROY && self) {
        // The stage's window went first: the panel goes with it.
        self->hwnd_ = nullptr;
        Panels().erase(self->stage_);
        delete self;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CheckinPanel::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_NCHITTEST:
            // Only Ctrl + drags are the panel's; other presses are the stage's (its menu).
            if (!dragging_ && GetKeyState(VK_CONTROL) >= 0) {
                result = HTTRANSPARENT;
                return true;
            }
            return false;
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
        case WM_COMMAND:
            if (LOWORD(wParam) == kChooserId && HIWORD(wParam) == CBN_SELCHANGE) {
                const int index = static_cast<int>(SendMessageW(addresses_, CB_GETCURSEL, 0, 0));
                // A copy: the handler may show the panel anew.
                auto chosen = view_.addressChosen;
                if (index >= 0 && chosen) chosen(index);
            }
            return true;
        case WM_LBUTTONDOWN:
            if (!(wParam & MK_CONTROL)) return false;
            dragging_ = true;
            GetCursorPos(&dragFrom_);
            startAt_ = at_;
            SetCapture(hwnd_);
            return true;
        case WM_MOUSEMOVE:
            if (dragging_) {
                POINT now;
                GetCursorPos(&now);
                at_ = {startAt_.x + Logical(now.x - dragFrom_.x, dpi_),
                       startAt_.y + Logical(now.y - dragFrom_.y, dpi_)};
                SetWindowPos(hwnd_, nullptr, Px(at_.x, dpi_), Px(at_.y, dpi_), 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                InvalidateRect(hwnd_, nullptr, FALSE);  // the stage shows through elsewhere now
            }
            return dragging_;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (!dragging_) return false;
            dragging_ = false;
            if (message == WM_LBUTTONUP) ReleaseCapture();
            if (auto moved = view_.moved) moved(at_.x, at_.y);
            return true;
        default:
            return false;
    }
}

void CheckinPanel::paint(HDC target) {
    RECT client;
    GetClientRect(hwnd_, &client);
    Surface s;
    s.make(hwnd_, client.right, client.bottom);
    HDC dc = s.dc();
    FillColor(dc, client, kCardRed);
    PaintParentBackground(hwnd_, dc);
    const int radius = Px(32, dpi_);
    HRGN round = CreateRoundRectRgn(1, 1, client.right, client.bottom, radius, radius);
    SelectClipRgn(dc, round);
    BlendColor(dc, client, kCardRed, 225);
    SelectClipRgn(dc, nullptr);
    DeleteObject(round);
    GoldFrame(dc, client, kGold, std::max(1, Px(3, dpi_)), radius);

    const RECT code = logical((kWidth - kCode) / 2, kMargin, kCode, kCode);
    paintCode(dc, code);
    int y = kMargin + kCode + 12;
    // Two lines: the address with its long token does not fit one at a readable size.
    RECT address = logical(16, y, kWidth - 32, 44);
    const std::wstring url = Wide(view_.url);
    HGDIOBJ old = SelectObject(dc, PanelFont(15, false, dpi_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT measure = address;
    DrawTextW(dc, url.c_str(), static_cast<int>(url.size()), &measure,
              DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    address.top += std::max(0L, (address.bottom - address.top - (measure.bottom - measure.top)) / 2);
    DrawTextW(dc, url.c_str(), static_cast<int>(url.size()), &address,
              DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(dc, old);
    y += 50;
    CentredLine(dc, WideUtf8("扫码签到，参加抽奖"), logical(0, y, kWidth, 44),
                PanelFont(30, true, dpi_), kGold);
    y += 50;
    CentredLine(dc, WideUtf8("已签到 ") + std::to_wstring(view_.count) + WideUtf8(" 人"),
                logical(0, y, kWidth, 34), PanelFont(24, true, dpi_), RGB(255, 255, 255));
    y += 44 + (view_.addresses.size() > 1 ? 40 : 0);

    for (size_t i = 0; i < photos_.size(); ++i) {
        const int column = static_cast<int>(i % 3), row = static_cast<int>(i / 3);
        const RECT box = logical((kWidth - 3 * kThumb - 20) / 2 + column * (kThumb + 10),
                                 y + row * (kThumb + 10), kThumb, kThumb);
        const DrawnPicture& p = photos_[i];
        if (!p.isNull())
            p.bitmap.draw(dc, box.left + p.target.left, box.top + p.target.top);
        RECT frame = box;
        InflateRect(&frame, 1, 1);
        SetDCBrushColor(dc, kGold);
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        InflateRect(&frame, 1, 1);
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

// The code on white, with the quiet zone of four modules that scanners need. Whole device
// pixels per module: a scanner reads sharp edges best.
void CheckinPanel::paintCode(HDC dc, const RECT& code) {
    FillColor(dc, code, RGB(255, 255, 255));
    const int size = view_.qrSize;
    if (size <= 0 || view_.qrModules.size() < static_cast<size_t>(size) * size) return;
    const int quiet = 4, modules = size + 2 * quiet;
    const int cell = std::max(1, static_cast<int>(code.right - code.left) / modules);
    const int left = code.left + (code.right - code.left - cell * size) / 2;
    const int top = code.top + (code.bottom - code.top - cell * size) / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (view_.qrModules[static_cast<size_t>(y * size + x)])
                FillColor(dc, RECT{left + x * cell, top + y * cell, left + (x + 1) * cell,
                                   top + (y + 1) * cell},
                          RGB(0, 0, 0));
}

CheckinPanel* CheckinPanelOf(HWND stage) {
    auto it = Panels().find(stage);
    return it == Panels().end() ? nullptr : it->second;
}

void ShowCheckinPanel(HWND stage, UINT dpi, const CheckinPanelView& view) {
    if (!stage) return;
    CheckinPanel* panel = CheckinPanelOf(stage);
    if (!panel) {
        panel = new CheckinPanel(stage);
        Panels()[stage] = panel;
    }
    panel->show(view, dpi);
}

void HideCheckinPanel(HWND stage) {
    if (CheckinPanel* panel = CheckinPanelOf(stage)) panel->hide();
}

}  // namespace ld::win
