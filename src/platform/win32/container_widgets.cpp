#include "platform/win32/widgets.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {
const wchar_t kGroupClass[] = L"LdGroupBox";
const wchar_t kShapeClass[] = L"LdShapeBox";
}  // namespace

GroupBoxView::GroupBoxView(Control& control, HWND parent) : ControlView(control) {
    RegisterViewClass(kGroupClass);
    attach(CreateChild(kGroupClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent));
}

void GroupBoxView::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kCaption || index == prop::kFont)
        InvalidateRect(hwnd(), nullptr, FALSE);
}

HBRUSH GroupBoxView::backBrush() { return GetSysColorBrush(COLOR_BTNFACE); }

bool GroupBoxView::handle(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_PAINT && message != WM_PRINTCLIENT) return false;
    PAINTSTRUCT ps;
    HDC dc = message == WM_PAINT ? BeginPaint(hwnd(), &ps) : reinterpret_cast<HDC>(wParam);
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, backBrush());
    HGDIOBJ old = SelectObject(dc, FontFor(control().getFont(prop::kFont), dpi()));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::wstring caption = Wide(control().getText(prop::kCaption));
    if (!caption.empty()) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutW(dc, Px(8, dpi()), 0, caption.c_str(), static_cast<int>(caption.size()));
    }
    SelectObject(dc, old);
    if (message == WM_PAINT) EndPaint(hwnd(), &ps);
    result = 0;
    return true;
}

ShapeBoxView::ShapeBoxView(Control& control, HWND parent) : ControlView(control) {
    RegisterViewClass(kShapeClass);
    attach(CreateChild(kShapeClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent));
}

ShapeBoxView::~ShapeBoxView() {
    if (brush_) DeleteObject(brush_);
}

HBRUSH ShapeBoxView::backBrush() {
    const COLORREF color = ColorOr(control().get(prop::kBackColor), GetSysColor(COLOR_BTNFACE));
    if (!brush_ || color != brushColor_) {
        if (brush_) DeleteObject(brush_);
        brush_ = CreateSolidBrush(color);
        brushColor_ = color;
    }
    return brush_;
}

void ShapeBoxView::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kBackColor || index == prop::kForeColor)
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    // A panel straight on the window (the settings panel) comes up above everything.
    if (control().parent() == nullptr && control().visible() &&
        (index == kAllProperties || index == prop::kVisible))
        SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShapeBoxView::paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, backBrush());
    HBRUSH border = CreateSolidBrush(ColorOr(control().get(prop::kForeColor), RGB(0, 0, 0)));
    FrameRect(dc, &client, border);
    DeleteObject(border);
}

bool ShapeBoxView::handle(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
    } else if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        paint(dc);
        EndPaint(hwnd(), &ps);
    } else {
        return false;
    }
    result = 0;
    return true;
}

}  // namespace ld::win
