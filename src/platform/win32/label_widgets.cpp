#include <algorithm>

#include "platform/win32/widgets.h"
#include "platform/win32/win_text.h"

namespace ld::win {

namespace {
constexpr int kCentredWord = 2;
const wchar_t kTransLabelClass[] = L"LdTransLabel";
}  // namespace

TransLabelView::TransLabelView(Control& control, HWND parent) : ControlView(control) {
    RegisterViewClass(kTransLabelClass);
    attach(CreateChild(kTransLabelClass, 0, 0, parent));
}

UINT TransLabelView::format() const {
    const bool centred = control().getInt(prop::kAlignWord) == kCentredWord;
    return (centred ? DT_CENTER : DT_LEFT) | DT_TOP | DT_EXPANDTABS | DT_NOPREFIX;
}

RECT TransLabelView::textRect() const {
    const std::wstring text = Wide(control().getText(prop::kText));
    if (text.empty()) return {};
    const UINT d = dpi();
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontFor(control().getFont(prop::kTransFont), d));
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int w = Logical(measured.right, d) + 1, h = Logical(measured.bottom, d) + 1;
    const int boxW = std::max(0, control().width());
    const bool centred = control().getInt(prop::kAlignWord) == kCentredWord;
    const int left = centred ? (boxW - w) / 2 : 0;
    return RECT{left, 0, left + w, h};
}

RECT TransLabelView::viewRect() const {
    const RECT model = modelRect();
    RECT text = textRect();
    if (IsRectEmpty(&text)) return model;
    OffsetRect(&text, model.left, model.top);
    RECT both;
    UnionRect(&both, &model, &text);
    return both;
}

void TransLabelView::sync(int index) {
    ControlView::sync(index);
    if (index == kAllProperties || index == prop::kText || index == prop::kTransFont ||
        index == prop::kAlignWord || index == prop::kWidth || index == prop::kHeight) {
        applyGeometry();  // the text may reach further than before
        updateRegion();
        InvalidateRect(hwnd(), nullptr, FALSE);
    } else if (index == prop::kTextColor) {
        InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void TransLabelView::updateRegion() {
    const UINT d = dpi();
    const RECT view = viewRect();
    auto toWindow = [&](RECT r) {
        return CreateRectRgn(Px(r.left - view.left, d), Px(r.top - view.top, d),
                             Px(r.right - view.left, d), Px(r.bottom - view.top, d));
    };
    RECT text = textRect();
    const RECT model = modelRect();
    OffsetRect(&text, model.left, model.top);
    HRGN region = toWindow(text);
    for (int number : {ev::kLeftDown, ev::kLeftUp, ev::kRightDown, ev::kRightUp, ev::kDoubleClick}) {
        if (!control().isBound(number)) continue;
        HRGN box = toWindow(model);
        CombineRgn(region, region, box, RGN_OR);
        DeleteObject(box);
        break;
    }
    SetWindowRgn(hwnd(), region, TRUE);  // the window owns the region from now on
}

bool TransLabelView::handle(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_PAINT && message != WM_PRINTCLIENT) return false;
    PAINTSTRUCT ps;
    HDC target = message == WM_PAINT ? BeginPaint(hwnd(), &ps) : reinterpret_cast<HDC>(wParam);
    RECT client;
    GetClientRect(hwnd(), &client);
    {
        // No background of its own: the parent's picture shows around the letters.
        BufferedPaint buffer(hwnd(), target, client);
        HDC dc = buffer.dc();
        PaintParentBackground(hwnd(), dc);
        const std::wstring text = Wide(control().getText(prop::kText));
        if (!text.empty()) {
            const UINT d = dpi();
            HGDIOBJ old = SelectObject(dc, FontFor(control().getFont(prop::kTransFont), d));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, ColorOr(control().get(prop::kTextColor), RGB(0, 0, 0)));
            const POINT origin = modelOrigin();
            RECT box{Px(origin.x, d), Px(origin.y, d),
                     Px(origin.x + std::max(0, control().width()), d),
                     Px(origin.y + std::max(0, control().height()), d)};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                      format() | DT_NOCLIP);
            SelectObject(dc, old);
        }
    }
    if (message == WM_PAINT) EndPaint(hwnd(), &ps);
    result = 0;
    return true;
}

LabelView::LabelView(Control& control, HWND parent) : ControlView(control) {
    // No word wrap: a wrapped tail would land below the label's height; a clipped end
    // reads better.
    attach(CreateChild(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_LEFTNOWORDWRAP, 0,
                       parent));
}

LabelView::~LabelView() {
    if (back_) DeleteObject(back_);
}

void LabelView::sync(int index) {
    ControlView::sync(index);
    const bool all = index == kAllProperties;
    if (all || index == prop::kText)
        SetWindowTextW(hwnd(), Wide(control().getText(prop::kText)).c_str());
    if (all || index == prop::kLabelFont)
        SendMessageW(hwnd(), WM_SETFONT,
                     reinterpret_cast<WPARAM>(FontFor(control().getFont(prop::kLabelFont), dpi())),
                     TRUE);
    if (all || index == prop::kForeColor || index == prop::kBackColor) {
        if (back_) DeleteObject(back_);
        back_ = nullptr;
        COLORREF back;
        if (ColorOf(control().get(prop::kBackColor), back)) back_ = CreateSolidBrush(back);
        InvalidateRect(hwnd(), nullptr, TRUE);
    }
}

HBRUSH LabelView::colors(HDC dc) {
    COLORREF fore;
    if (ColorOf(control().get(prop::kForeColor), fore)) SetTextColor(dc, fore);
    if (!back_) return nullptr;  // the panel's colour, from the parent
    COLORREF back;
    if (ColorOf(control().get(prop::kBackColor), back)) SetBkColor(dc, back);
    return back_;
}

}  // namespace ld::win
