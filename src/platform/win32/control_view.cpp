#include "platform/win32/control_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

int g_gestures = 0;
POINT g_lastPress{};
bool g_havePress = false;
const wchar_t kViewProperty[] = L"LdView";

int MouseEventNumber(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return ev::kLeftDown;
        case WM_LBUTTONUP:
            return ev::kLeftUp;
        case WM_RBUTTONDOWN:
            return ev::kRightDown;
        case WM_RBUTTONUP:
            return ev::kRightUp;
        case WM_MOUSEMOVE:
            return ev::kMouseMove;
        default:
            return 0;
    }
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (ControlView* child = ViewOf(reinterpret_cast<HWND>(lParam))) {
                if (!child->detached()) child->command(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (ControlView* child = ViewOf(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = child->detached() ? nullptr
                                                     : child->colors(reinterpret_cast<HDC>(wParam)))
                    return reinterpret_cast<LRESULT>(brush);
            }
            if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
                // Check boxes and labels take the colour of the panel they sit on.
                ControlView* self = ViewOf(hwnd);
                if (HBRUSH brush = self && !self->detached() ? self->backBrush() : nullptr) {
                    SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            break;
        case WM_ERASEBKGND:
            return 1;  // every one of ours paints its whole area
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

ControlView::~ControlView() {
    *alive_ = false;
    if (hwnd_ && IsWindow(hwnd_)) {
        RemoveWindowSubclass(hwnd_, Relay, 0);
        RemovePropW(hwnd_, kViewProperty);
    }
}

ControlView* ViewOf(HWND hwnd) {
    return hwnd ? static_cast<ControlView*>(GetPropW(hwnd, kViewProperty)) : nullptr;
}

void RegisterViewClass(const wchar_t* name, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return;
    wc.style = CS_DBLCLKS | style;
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    RegisterClassExW(&wc);
}

void ControlView::attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropW(hwnd, kViewProperty, this);
    SetWindowSubclass(hwnd, Relay, 0, reinterpret_cast<DWORD_PTR>(this));
}

UINT ControlView::dpi() const {
    const UINT d = hwnd_ ? GetDpiForWindow(hwnd_) : 96;
    return d ? d : 96;
}

RECT ControlView::modelRect() const {
    return RECT{control_.left(), control_.top(), control_.left() + std::max(0, control_.width()),
                control_.top() + std::max(0, control_.height())};
}

POINT ControlView::modelOrigin() const {
    const RECT m = modelRect(), v = viewRect();
    return POINT{m.left - v.left, m.top - v.top};
}

void ControlView::applyGeometry() {
    if (!hwnd_) return;
    const RECT r = viewRect();
    const UINT d = dpi();
    // Labels over the old place and over the new one show the window through themselves.
    if (IsWindowVisible(hwnd_)) InvalidateWithOverlays(hwnd_);
    SetWindowPos(hwnd_, nullptr, Px(r.left, d), Px(r.top, d), Px(r.right - r.left, d),
                 Px(r.bottom - r.top, d), SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsWindowVisible(hwnd_)) InvalidateWithOverlays(hwnd_);
}

void ControlView::sync(int index) {
    const bool all = index == kAllProperties;
    if (all || (index >= prop::kLeft && index <= prop::kHeight)) applyGeometry();
    if (all || index == prop::kVisible) ShowWindow(hwnd_, control_.visible() ? SW_SHOWNA : SW_HIDE);
    if (all || index == prop::kDisable) EnableWindow(hwnd_, !control_.disabled());
}

void ControlView::raiseSimple(int number) {
    if (control_.isBound(number)) control_.raise(number);
}

int KeyStateNow() {
    int state = 0;
    if (GetKeyState(VK_CONTROL) < 0) state |= keys::kCtrl;
    if (GetKeyState(VK_SHIFT) < 0) state |= keys::kShift;
    if (GetKeyState(VK_MENU) < 0) state |= keys::kAlt;
    return state;
}

bool ControlView::mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const int number = MouseEventNumber(message);
    if (number == 0 || !control_.isBound(number)) return false;
    EventArgs args;
    const UINT d = dpi();
    const POINT origin = modelOrigin();
    args.x = Logical(GET_X_LPARAM(lParam), d) - origin.x;
    args.y = Logical(GET_Y_LPARAM(lParam), d) - origin.y;
    args.keyState = (wParam & MK_CONTROL ? keys::kCtrl : 0) | (wParam & MK_SHIFT ? keys::kShift : 0) |
                    (GetKeyState(VK_MENU) < 0 ? keys::kAlt : 0);
    const bool press = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN;
    if (press) {
        g_lastPress = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd_, &g_lastPress);
        g_havePress = true;
    }
    const int gesturesBefore = g_gestures;
    std::shared_ptr<const bool> alive = alive_;
    control_.raise(number, args);
    if (!*alive || detached_) return true;
    if (!press) return false;
    // The mouse went through a move loop or a menu: the press is spent.
    return passive() || g_gestures != gesturesBefore;
}

LRESULT CALLBACK ControlView::Relay(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) {
    auto* view = reinterpret_cast<ControlView*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, Relay, 0);
        RemovePropW(hwnd, kViewProperty);
        view->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (view->detached_) return DefSubclassProc(hwnd, message, wParam, lParam);
    std::shared_ptr<const bool> alive = view->alive_;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEMOVE:
            if (view->mouse(message, wParam, lParam)) return 0;
            if (!*alive) return 0;
            break;
        case WM_LBUTTONDBLCLK: {
            // Windows turns the second press of a double click into this message; the
            // program sees a press as well, so quick Ctrl + presses still move the element.
            Control& control = view->control_;
            if (control.isBound(ev::kDoubleClick)) {
                EventArgs args;
                const POINT origin = view->modelOrigin();
                args.x = Logical(GET_X_LPARAM(lParam), view->dpi()) - origin.x;
                args.y = Logical(GET_Y_LPARAM(lParam), view->dpi()) - origin.y;
                args.keyState = KeyStateNow();
                control.raise(ev::kDoubleClick, args);
                if (!*alive || view->detached_) return 0;
            }
            if (view->mouse(WM_LBUTTONDOWN, wParam, lParam)) return 0;
            if (!*alive) return 0;
            // The window's own procedure sees an ordinary press.
            return DefSubclassProc(hwnd, WM_LBUTTONDOWN, wParam, lParam);
        }
        case WM_SETFOCUS:
            view->raiseSimple(ev::kGotFocus);
            break;
        case WM_KILLFOCUS:
            view->raiseSimple(ev::kLostFocus);
            break;
        default:
            break;
    }
    if (!*alive) return 0;
    LRESULT result = 0;
    if (!view->detached_ && view->handle(message, wParam, lParam, result)) return result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

int GestureCount() { return g_gestures; }
void CountGesture() { ++g_gestures; }

POINT LastPressPosition() {
    if (g_havePress) return g_lastPress;
    POINT p;
    GetCursorPos(&p);
    return p;
}

namespace {

// The window's area in its parent's client coordinates.
RECT RectInParent(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SeesThrough(HWND hwnd) {
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    return lstrcmpW(cls, L"LdTransLabel") == 0 || lstrcmpW(cls, L"LdPicBox") == 0 ||
           lstrcmpW(cls, L"LdSplitterBar") == 0 || lstrcmpW(cls, L"LdStageSeal") == 0;
}

}  // namespace

void PaintParentBackground(HWND child, HDC dc) {
    HWND parent = GetParent(child);
    if (!parent) return;
    const RECT own = RectInParent(child);
    POINT old;
    OffsetViewportOrgEx(dc, -own.left, -own.top, &old);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    // Then the siblings beneath it, bottom first, each by its own WM_PRINTCLIENT: a label over
    // the start button or a photo shows them around its letters, as a window with a
    // translucent background does.
    std::vector<HWND> below;
    for (HWND s = GetWindow(child, GW_HWNDNEXT); s; s = GetWindow(s, GW_HWNDNEXT)) below.push_back(s);
    for (auto it = below.rbegin(); it != below.rend(); ++it) {
        HWND sibling = *it;
        if (!IsWindowVisible(sibling)) continue;
        const RECT r = RectInParent(sibling);
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &own)) continue;
        const int saved = SaveDC(dc);
        POINT at{r.left - own.left, r.top - own.top};
        IntersectClipRect(dc, at.x, at.y, at.x + (r.right - r.left), at.y + (r.bottom - r.top));
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(sibling, shape) != ERROR) {
            POINT org;
            GetViewportOrgEx(dc, &org);
            OffsetRgn(shape, org.x + at.x, org.y + at.y);
            ExtSelectClipRgn(dc, shape, RGN_AND);
        }
        DeleteObject(shape);
        OffsetViewportOrgEx(dc, at.x, at.y, nullptr);
        SendMessageW(sibling, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        RestoreDC(dc, saved);
    }
}

void InvalidateWithOverlays(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    // What sees through to this window shows its old look until it is drawn again too.
    const RECT own = RectInParent(hwnd);
    for (HWND s = GetWindow(hwnd, GW_HWNDPREV); s; s = GetWindow(s, GW_HWNDPREV)) {
        RECT r = RectInParent(s), overlap;
        if (IsWindowVisible(s) && SeesThrough(s) && IntersectRect(&overlap, &r, &own))
            InvalidateRect(s, nullptr, FALSE);
    }
}

BufferedPaint::BufferedPaint(HWND, HDC target, const RECT& area) : target_(target), area_(area) {
    memory_ = CreateCompatibleDC(target);
    bitmap_ = CreateCompatibleBitmap(target, std::max<LONG>(1, area.right - area.left),
                                     std::max<LONG>(1, area.bottom - area.top));
    old_ = static_cast<HBITMAP>(SelectObject(memory_, bitmap_));
    SetViewportOrgEx(memory_, -area.left, -area.top, nullptr);
}

BufferedPaint::~BufferedPaint() {
    SetViewportOrgEx(memory_, 0, 0, nullptr);
    BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top,
           memory_, 0, 0, SRCCOPY);
    SelectObject(memory_, old_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
}

}  // namespace ld::win
