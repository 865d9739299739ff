#include "platform/win32/stage_window.h"

#include <algorithm>

#include "framework/window_manager.h"
#include "platform/win32/checkin_screen.h"
#include "platform/win32/fireworks.h"
#include "platform/win32/key_filter.h"
#include "platform/win32/screens.h"
#include "platform/win32/stage_seal.h"
#include "platform/win32/widgets.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

const wchar_t kStageClass[] = L"LdStage";
const wchar_t kNoticeClass[] = L"LdNotice";
constexpr UINT kLayout = WM_APP + 10;

bool HasWindow(ControlType type) {
    return type != ControlType::Timer && type != ControlType::CommonDlg &&
           type != ControlType::MenuItem;
}

LRESULT CALLBACK NoticeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH red = CreateSolidBrush(RGB(0xd0, 0x10, 0x10));
    FillRect(dc, &client, red);
    DeleteObject(red);
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), n + 1);
    FontValue font;
    font.pixels = 20;
    font.bold = true;
    HGDIOBJ old = SelectObject(dc, FontFor(font, GetDpiForWindow(hwnd)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, text.c_str(), n, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
    return 0;
}

}  // namespace

StageWindow::StageWindow(Window& window, StageWindow* owner, bool onStage)
    : ControlView(window.self()), window_(window), onStage_(onStage) {
    RegisterViewClass(kStageClass);
    overlay_ = owner != nullptr && window.self().getInt(prop::kBorder) == 0;
    const DWORD exStyle = overlay_ ? WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST
                                   : WS_EX_CONTROLPARENT;
    HWND hwnd = CreateWindowExW(exStyle, kStageClass, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                owner ? owner->hwnd() : nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    attach(hwnd);
    build();
    window_.addObserver(this);
}

StageWindow::~StageWindow() {
    if (!detached()) window_.removeObserver(this);
    views_.clear();
    if (hwnd()) DestroyWindow(hwnd());
}

void StageWindow::build() {
    // Parents first: containers must exist before the controls placed inside them.
    std::vector<Control*> pending;
    for (const auto& c : window_.controls()) pending.push_back(c.get());
    while (!pending.empty()) {
        std::vector<Control*> later;
        for (Control* c : pending) {
            HWND parent = hwnd();
            if (Control* p = c->parent()) {
                if (ControlView* parentView = viewOf(*p)) {
                    parent = parentView->hwnd();
                } else if (HasWindow(p->type())) {
                    later.push_back(c);
                    continue;
                }
            }
            if (ControlView* view = CreateControlView(*c, parent)) {
                views_[c].reset(view);
                view->sync(kAllProperties);
            }
        }
        if (later.size() == pending.size()) break;  // a parent that never comes: give up
        pending = std::move(later);
    }
    sync(kAllProperties);
}

ControlView* StageWindow::viewOf(const Control& control) const {
    if (&control == &window_.self()) return const_cast<StageWindow*>(this);
    auto it = views_.find(&control);
    return it == views_.end() ? nullptr : it->second.get();
}

void StageWindow::propertyChanged(Control& control, int index) {
    if (applying_) return;  // our own write-back of a move or resize
    if (ControlView* view = viewOf(control)) view->sync(index);
}

void StageWindow::itemsChanged(Control& control) {
    if (ControlView* view = viewOf(control)) view->syncItems();
}

void StageWindow::sync(int index) {
    const bool all = index == kAllProperties;
    Control& self = window_.self();
    if (all || index == prop::kCaption)
        SetWindowTextW(hwnd(), Wide(self.getText(prop::kCaption)).c_str());
    if (all || index == prop::kIcon) {
        const Text bytes = self.getText(prop::kIcon);
        if (HICON big = IconFromBytes(bytes, GetSystemMetrics(SM_CXICON)))
            SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (HICON small = IconFromBytes(bytes, GetSystemMetrics(SM_CXSMICON)))
            SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    if (all || index == prop::kBackPicture) ++pictureGeneration_;
    if (all || index == prop::kBackPicture || index == prop::kBackColor)
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    if (all || index <= prop::kHeight || index == prop::kBorder) scheduleLayout();
    if (all || index == prop::kVisible) {
        if (shown_) ShowWindow(hwnd(), self.visible() ? (overlay_ ? SW_SHOWNA : SW_SHOW) : SW_HIDE);
    }
    if (all || index == prop::kDisable) EnableWindow(hwnd(), !self.disabled());
}

void StageWindow::scheduleLayout() {
    // Start-up sets position, size and border one by one: lay the window out once.
    if (layoutPending_) return;
    layoutPending_ = true;
    PostMessageW(hwnd(), kLayout, 0, 0);
}

void StageWindow::applyLayout() {
    layoutPending_ = false;
    if (detached()) return;
    applying_ = true;
    const bool frameless = window_.self().getInt(prop::kBorder) == 0;
    const DWORD visible = GetWindowLongW(hwnd(), GWL_STYLE) & (WS_VISIBLE | WS_DISABLED);
    const DWORD style = WS_CLIPCHILDREN | visible |
                        (frameless || overlay_ ? WS_POPUP
                                               : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    const bool restyled = static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)) != style;
    if (restyled) SetWindowLongW(hwnd(), GWL_STYLE, static_cast<LONG>(style));
    const RECT model = modelRect();
    const Monitor stage = StageMonitor();
    const bool coversScreen =
        model.left == 0 && model.top == 0 &&
        Px(model.right, stage.dpi) == stage.area.right - stage.area.left &&
        Px(model.bottom, stage.dpi) == stage.area.bottom - stage.area.top;
    // The whole screen with a frame: kept as a maximised window does. Without one, a popup
    // over the whole screen is the full-screen mode.
    maximised_ = coversScreen && !frameless && !overlay_;
    if (IsZoomed(hwnd()) && !maximised_) ShowWindow(hwnd(), SW_RESTORE);
    const RECT placed = PlaceOnStage(model, false);  // the outer rectangle, frame included
    SetWindowPos(hwnd(), nullptr, placed.left, placed.top, placed.right - placed.left,
                 placed.bottom - placed.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (restyled ? SWP_FRAMECHANGED : 0));
    if (maximised_ && shown_ && IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_MAXIMIZE);
    applying_ = false;
    placeNotice();
}

void StageWindow::showFirstTime() {
    if (shown_ || detached()) return;
    shown_ = true;
    if (layoutPending_) applyLayout();
    if (!window_.self().visible()) return;
    // A new window comes up active, as on Windows; the overlay never does.
    if (overlay_)
        ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    else
        ShowWindow(hwnd(), maximised_ ? SW_SHOWMAXIMIZED : SW_SHOW);
    if (!overlay_) SetForegroundWindow(hwnd());
}

void StageWindow::takeGeometryFromSystem() {
    if (detached() || applying_ || !IsWindowVisible(hwnd()) || IsIconic(hwnd())) return;
    // The user moved or resized the window: the model follows, as reading the window's
    // position would.
    RECT outer;
    GetWindowRect(hwnd(), &outer);
    const Monitor stage = StageMonitor();
    const int left = Logical(outer.left - stage.area.left, stage.dpi);
    const int top = Logical(outer.top - stage.area.top, stage.dpi);
    const int width = Logical(outer.right - outer.left, stage.dpi);
    const int height = Logical(outer.bottom - outer.top, stage.dpi);
    Control& self = window_.self();
    applying_ = true;
    if (self.left() != left) self.setLeft(left);
    if (self.top() != top) self.setTop(top);
    if (self.width() != width) self.setWidth(width);
    if (self.height() != height) self.setHeight(height);
    applying_ = false;
}

void StageWindow::paintBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    HBRUSH back = CreateSolidBrush(
        ColorOr(window_.self().get(prop::kBackColor), GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &client, back);
    DeleteObject(back);
    if (detached()) return;
    const UINT d = dpi();
    const SIZE logical{Logical(client.right, d), Logical(client.bottom, d)};
    if (paintedGeneration_ != pictureGeneration_ || paintedSize_.cx != logical.cx ||
        paintedSize_.cy != logical.cy) {
        // Scaled to cover the client area, aspect kept, centred; the excess is cut off.
        background_ = DrawPictureInBox(window_.self().getText(prop::kBackPicture), logical,
                                       BoxFit::Cover, d);
        paintedGeneration_ = pictureGeneration_;
        paintedSize_ = logical;
    }
    if (!background_.isNull())
        background_.bitmap.draw(dc, background_.target.left, background_.target.top);
}

void StageWindow::raiseWindowEvent(int number) {
    if (!detached() && window_.self().isBound(number)) window_.self().raise(number);
}

void StageWindow::activated(bool nowActive) {
    if (nowActive == active_ || detached()) return;
    active_ = nowActive;
    if (nowActive && !everActive_) {
        everActive_ = true;
        raiseWindowEvent(ev::kFirstActivation);
    }
    raiseWindowEvent(nowActive ? ev::kActivated : ev::kDeactivated);
}

bool StageWindow::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case kLayout:
            applyLayout();
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            {
                BufferedPaint buffer(hwnd(), dc, ps.rcPaint);
                paintBackground(buffer.dc());
            }
            EndPaint(hwnd(), &ps);
            return true;
        }
        case WM_PRINTCLIENT:
            paintBackground(reinterpret_cast<HDC>(wParam));
            return true;
        case WM_ACTIVATE: {
            const bool nowActive = LOWORD(wParam) != WA_INACTIVE;
            if (!nowActive) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
            } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd(), lastFocus_)) {
                SetFocus(lastFocus_);
            } else {
                SetFocus(hwnd());
            }
            activated(nowActive);
            return true;
        }
        case WM_ACTIVATEAPP:
            if (!wParam) ForgetHeldKeys();
            return false;
        case WM_MOUSEACTIVATE:
            if (!overlay_) return false;
            result = MA_NOACTIVATE;
            return true;
        case WM_CLOSE: {
            // The model decides: the may-be-closed handler answers, and the manager closes.
            if (detached()) return true;
            EventArgs args;
            window_.self().raise(ev::kMayClose, args);
            if (args.allow && !detached()) windows().destroyWindow(window_.name());
            return true;
        }
        case WM_WINDOWPOSCHANGED:
            if (!applying_) takeGeometryFromSystem();
            if (animation_) {
                RECT client;
                GetClientRect(hwnd(), &client);
                SetWindowPos(animation_, nullptr, 0, 0, client.right, client.bottom,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
            FitCheckinScreen(hwnd());
            FitStageSeal(hwnd());
            placeNotice();
            return false;
        case WM_DPICHANGED:
            for (auto& [control, view] : views_) view->sync(kAllProperties);
            scheduleLayout();
            return true;
        case WM_GETMINMAXINFO: {
            // A window may be as large as the program makes it, larger than the screen too.
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMaxTrackSize.x = info->ptMaxTrackSize.y = 32000;
            return false;
        }
        default:
            return false;
    }
}

void StageWindow::detachFromModel() {
    if (detached()) return;
    window_.removeObserver(this);
    detach();
    for (auto& [control, view] : views_) view->detach();
    if (animation_) StopFireworks(animation_);
    ShowWindow(hwnd(), SW_HIDE);
}

void StageWindow::playAnimation(int animation) {
    if (detached()) return;
    if (animation_) DestroyWindow(animation_);
    animation_ = CreateFireworks(hwnd(), animation);
}

void StageWindow::setNotice(const std::wstring& text) {
    noticeText_ = text;
    if (text.empty()) {
        if (notice_) DestroyWindow(notice_);
        notice_ = nullptr;
        return;
    }
    if (!notice_) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = NoticeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kNoticeClass;
        RegisterClassW(&wc);
        notice_ = CreateWindowExW(0, kNoticeClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                  hwnd(), nullptr, wc.hInstance, nullptr);
    }
    SetWindowTextW(notice_, text.c_str());
    placeNotice();
    ShowWindow(notice_, SW_SHOWNA);
}

void StageWindow::placeNotice() {
    if (!notice_) return;
    FontValue font;
    font.pixels = 20;
    font.bold = true;
    const UINT d = dpi();
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, FontFor(font, d));
    SIZE extent{};
    GetTextExtentPoint32W(dc, noticeText_.c_str(), static_cast<int>(noticeText_.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int w = extent.cx + Px(28, d), h = extent.cy + Px(12, d), margin = Px(12, d);
    SetWindowPos(notice_, HWND_TOP, client.right - w - margin, margin, w, h, SWP_NOACTIVATE);
}

}  // namespace ld::win
