#include "platform/win32/widgets.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/win_text.h"

namespace ld::win {

namespace {
const wchar_t kPicBoxClass[] = L"LdPicBox";
const wchar_t kSuperButtonClass[] = L"LdSuperButton";
const wchar_t kSplitterClass[] = L"LdSplitterBar";

// Paints a view's window off-screen through `draw`, for WM_PAINT and WM_PRINTCLIENT alike.
template <typename Draw>
void PaintBuffered(HWND hwnd, UINT message, WPARAM wParam, Draw draw) {
    PAINTSTRUCT ps;
    HDC target = message == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
    RECT client;
    GetClientRect(hwnd, &client);
    {
        BufferedPaint buffer(hwnd, target, client);
        draw(buffer.dc(), client);
    }
    if (message == WM_PAINT) EndPaint(hwnd, &ps);
}
}  // namespace

PicBoxView::PicBoxView(Control& control, HWND parent) : ControlView(control) {
    RegisterViewClass(kPicBoxClass);
    attach(CreateChild(kPicBoxClass, 0, 0, parent));
}

void PicBoxView::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kPicture || index == prop::kDisplayMode) {
        // Decoded when drawn: a roll replaces the picture faster than the screen shows it,
        // and a picture that is never shown is never decoded.
        ++generation_;
        InvalidateWithOverlays(hwnd());
    }
}

const DrawnPicture& PicBoxView::drawn() {
    const UINT d = dpi();
    const SIZE size{std::max(0, control().width()), std::max(0, control().height())};
    if (decodedGeneration_ != generation_ || decodedSize_.cx != size.cx ||
        decodedSize_.cy != size.cy || decodedDpi_ != d) {
        const int mode = control().getInt(prop::kDisplayMode);
        const BoxFit fit = mode == 1 ? BoxFit::Stretch : mode == 2 ? BoxFit::ShrinkToFit : BoxFit::Natural;
        const Text bytes = control().getText(prop::kPicture);
        drawn_ = bytes.empty() ? DrawnPicture{} : DrawPictureInBox(bytes, size, fit, d);
        decodedGeneration_ = generation_;
        decodedSize_ = size;
        decodedDpi_ = d;
    }
    return drawn_;
}

bool PicBoxView::handle(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_PAINT && message != WM_PRINTCLIENT) return false;
    PaintBuffered(hwnd(), message, wParam, [this](HDC dc, const RECT&) {
        PaintParentBackground(hwnd(), dc);
        const DrawnPicture& picture = drawn();
        if (!picture.isNull())
            picture.bitmap.draw(dc, picture.target.left, picture.target.top);
    });
    result = 0;
    return true;
}

SuperButtonView::SuperButtonView(Control& control, HWND parent) : ControlView(control) {
    RegisterViewClass(kSuperButtonClass);
    attach(CreateChild(kSuperButtonClass, WS_TABSTOP, 0, parent));
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
}

void SuperButtonView::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kFacePicture) {
        face_ = DecodeWhole(control().getText(prop::kFacePicture));
        greyFace_ = Greyed(face_);
        scaled_ = Bitmap();
    }
    if (all || index == prop::kTooltip) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(hwnd());
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd());
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        std::wstring tip = Wide(control().getText(prop::kTooltip));
        if (!tip.empty()) {
            tool.lpszText = tip.data();
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    if (all || index == prop::kWidth || index == prop::kHeight) updateRegion();
    InvalidateWithOverlays(hwnd());
}

void SuperButtonView::updateRegion() {
    // A rounded rectangle one pixel larger than the button, corner ellipses 30 x 30.
    const UINT d = dpi();
    const int w = Px(std::max(0, control().width()), d), h = Px(std::max(0, control().height()), d);
    SetWindowRgn(hwnd(), CreateRoundRectRgn(0, 0, w + 2, h + 2, Px(30, d), Px(30, d)), TRUE);
}

void SuperButtonView::click() {
    if (!detached()) control().raise(ev::kClicked);
}

void SuperButtonView::paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    const bool enabled = IsWindowEnabled(hwnd());
    const int w = client.right, h = client.bottom;
    const Image& face = enabled ? face_ : greyFace_;
    if (face.empty()) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        if (scaled_.isNull() || scaled_.width() != w || scaled_.height() != h ||
            scaledGrey_ != !enabled) {
            scaled_ = Bitmap(ScaleImage(face, {w, h}));
            scaledGrey_ = !enabled;
        }
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        const int shift = down_ ? 1 : 0;
        scaled_.draw(dc, shift, shift);
    }
    if (hover_ && enabled && !down_) {
        // A light veil while the mouse is over it.
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 28, 0};
        HDC white = CreateCompatibleDC(dc);
        HBITMAP pixel = CreateCompatibleBitmap(dc, 1, 1);
        HGDIOBJ old = SelectObject(white, pixel);
        SetPixel(white, 0, 0, RGB(255, 255, 255));
        AlphaBlend(dc, 0, 0, w, h, white, 0, 0, 1, 1, blend);
        SelectObject(white, old);
        DeleteObject(pixel);
        DeleteDC(white);
    }
    const std::wstring caption = Wide(control().getText(prop::kSuperCaption));
    HGDIOBJ oldFont = SelectObject(dc, FontFor(control().getFont(prop::kFont), dpi()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? ColorOr(control().get(prop::kForeColor), RGB(0, 0, 0))
                             : RGB(110, 110, 110));
    RECT area = client;
    if (down_) OffsetRect(&area, 1, 1);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

bool SuperButtonView::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintBuffered(hwnd(), message, wParam, [this](HDC dc, const RECT&) { paint(dc); });
            return true;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        case WM_LBUTTONDOWN:
            SetFocus(hwnd());
            SetCapture(hwnd());
            down_ = true;
            InvalidateRect(hwnd(), nullptr, FALSE);
            return true;
        case WM_MOUSEMOVE: {
            if (!hover_) {
                hover_ = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd(), nullptr, FALSE);
            }
            return false;
        }
        case WM_MOUSELEAVE:
            hover_ = false;
            InvalidateRect(hwnd(), nullptr, FALSE);
            return true;
        case WM_LBUTTONUP: {
            if (!down_) return false;
            down_ = false;
            ReleaseCapture();
            InvalidateRect(hwnd(), nullptr, FALSE);
            RECT client;
            GetClientRect(hwnd(), &client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (PtInRect(&client, at)) click();
            return true;
        }
        case WM_CAPTURECHANGED:
            if (down_) {
                down_ = false;
                InvalidateRect(hwnd(), nullptr, FALSE);
            }
            return false;
        case WM_KEYDOWN:
            if (wParam != VK_SPACE) return false;
            spaceDown_ = true;
            return true;
        case WM_KEYUP:
            // As a push button: the click comes as the space bar comes up.
            if (wParam != VK_SPACE || !spaceDown_) return false;
            spaceDown_ = false;
            click();
            return true;
        case WM_KILLFOCUS:
            spaceDown_ = false;
            return false;
        case WM_GETDLGCODE:
            result = DLGC_BUTTON;
            return true;
        case WM_ENABLE:
            InvalidateRect(hwnd(), nullptr, FALSE);
            return false;
        default:
            return false;
    }
}

SplitterBarView::SplitterBarView(Control& control, HWND parent) : ControlView(control) {
    RegisterViewClass(kSplitterClass);
    attach(CreateChild(kSplitterClass, 0, 0, parent));
}

bool SplitterBarView::vertical() const { return control().getBool(prop::kVertical); }

int SplitterBarView::position() const { return vertical() ? control().left() : control().top(); }

namespace {
// A one-pixel bar is hard to hit: the window reaches this far beyond it on both sides.
constexpr int kGrabMargin = 3;
}  // namespace

RECT SplitterBarView::viewRect() const {
    RECT r = modelRect();
    if (vertical())
        InflateRect(&r, kGrabMargin, 0);
    else
        InflateRect(&r, 0, kGrabMargin);
    return r;
}

void SplitterBarView::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kVertical) applyGeometry();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

bool SplitterBarView::handle(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintBuffered(hwnd(), message, wParam, [this](HDC dc, const RECT&) {
                PaintParentBackground(hwnd(), dc);
                const UINT d = dpi();
                const POINT o = modelOrigin();
                RECT bar{Px(o.x, d), Px(o.y, d), Px(o.x + control().width(), d),
                         Px(o.y + control().height(), d)};
                HBRUSH brush = CreateSolidBrush(ColorOr(control().get(prop::kBackColor), RGB(128, 128, 128)));
                FillRect(dc, &bar, brush);
                DeleteObject(brush);
            });
            return true;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, vertical() ? IDC_SIZEWE : IDC_SIZENS));
            result = TRUE;
            return true;
        case WM_LBUTTONDOWN:
            dragging_ = true;
            GetCursorPos(&dragStart_);
            SetCapture(hwnd());
            return true;
        case WM_MOUSEMOVE: {
            if (!dragging_) return false;
            // Only the window moves while dragging; the model learns the drop.
            POINT now;
            GetCursorPos(&now);
            const RECT r = viewRect();
            const UINT d = dpi();
            const int dx = vertical() ? now.x - dragStart_.x : 0;
            const int dy = vertical() ? 0 : now.y - dragStart_.y;
            SetWindowPos(hwnd(), nullptr, Px(r.left, d) + dx, Px(r.top, d) + dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return false;
        }
        case WM_LBUTTONUP: {
            if (!dragging_) return false;
            dragging_ = false;
            ReleaseCapture();
            POINT now;
            GetCursorPos(&now);
            const int delta = Logical(vertical() ? now.x - dragStart_.x : now.y - dragStart_.y, dpi());
            const int oldPos = position(), newPos = oldPos + delta;
            if (newPos == oldPos || detached()) {
                applyGeometry();
                return true;
            }
            if (vertical())
                control().setLeft(newPos);
            else
                control().setTop(newPos);
            EventArgs args;
            args.oldPos = oldPos;
            args.newPos = newPos;
            control().raise(ev::kPositionChanged, args);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace ld::win
