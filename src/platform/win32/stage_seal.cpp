#include "platform/win32/stage_seal.h"

#include <vector>

#include "platform/win32/card_surface.h"
#include "platform/win32/checkin_screen.h"
#include "platform/win32/control_view.h"
#include "platform/win32/win_text.h"
#include "ui/stage_seal_layout.h"

namespace ld::win {

namespace {

const wchar_t kClass[] = L"LdStageSeal";

// The band's state, the user data of its window; it goes with the window.
struct Seal {
    std::vector<Text> lines;
    StageSealLayout layout;  // in logical pixels of the stage
};

Seal* SealIn(HWND seal) { return reinterpret_cast<Seal*>(GetWindowLongPtrW(seal, GWLP_USERDATA)); }

HWND SealOf(HWND stage) { return FindWindowExW(stage, nullptr, kClass, nullptr); }

HFONT SealFont(int pixels, UINT dpi) {
    FontValue font;
    font.face = Gbk("微软雅黑");
    font.pixels = pixels;
    return FontFor(font, dpi);
}

void Draw(HWND hwnd, HDC dc) {
    const Seal* seal = SealIn(hwnd);
    if (!seal) return;
    const StageSealLayout& l = seal->layout;
    const UINT dpi = GetDpiForWindow(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    PaintParentBackground(hwnd, dc);
    BlendColor(dc, client, RGB(0, 0, 0), 190);
    for (size_t i = 0; i < seal->lines.size(); ++i) {
        const BatchBox box = l.line(static_cast<int>(i));
        const RECT r{Px(box.left - l.band.left, dpi), Px(box.top - l.band.top, dpi),
                     Px(box.right() - l.band.left, dpi), Px(box.bottom() - l.band.top, dpi)};
        CentredLine(dc, Wide(seal->lines[i]), r, SealFont(l.textPixels, dpi), RGB(255, 255, 255));
    }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            {
                BufferedPaint buffer(hwnd, dc, ps.rcPaint);
                Draw(hwnd, buffer.dc());
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            Draw(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCDESTROY:
            delete SealIn(hwnd);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void SetStageSeal(HWND stage, const Text& text) {
    HWND seal = SealOf(stage);
    std::vector<Text> lines = StageSealLines(text);
    if (lines.empty()) {
        if (seal) DestroyWindow(seal);
        return;
    }
    if (!seal) seal = CreateCardWindow(kClass, Proc, stage, WS_CLIPSIBLINGS, new Seal);
    SealIn(seal)->lines = std::move(lines);
    FitStageSeal(stage);
    ShowWindow(seal, SW_SHOWNA);
    KeepStageSealOnTop(stage);
}

void KeepStageSealOnTop(HWND stage) {
    if (HWND seal = SealOf(stage))
        SetWindowPos(seal, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    KeepCheckinScreenOnTop(stage);
}

void FitStageSeal(HWND stage) {
    HWND hwnd = SealOf(stage);
    Seal* seal = hwnd ? SealIn(hwnd) : nullptr;
    if (!seal) return;
    RECT client{};
    GetClientRect(stage, &client);
    const UINT dpi = GetDpiForWindow(stage);
    HDC dc = GetDC(stage);
    seal->layout = LayOutStageSeal(
        {Logical(client.right, dpi), Logical(client.bottom, dpi)}, seal->lines,
        [&](std::string_view line, int pixels) {
            HGDIOBJ old = SelectObject(dc, SealFont(pixels, dpi));
            const std::wstring wide = Wide(Text(line));
            SIZE extent{};
            GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
            SelectObject(dc, old);
            return Logical(extent.cx, dpi);
        });
    ReleaseDC(stage, dc);
    const BatchBox& b = seal->layout.band;
    SetWindowPos(hwnd, nullptr, Px(b.left, dpi), Px(b.top, dpi), Px(b.width, dpi),
                 Px(b.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, FALSE);
}

}  // namespace ld::win
