// The stage's cards (the batch grid, the check-in panel and view): their windows, and a memory
// DC with a device bitmap of its own that they draw into off screen and copy when painted.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

namespace ld::win {

// A card of the stage (the batch grid, the check-in panel and view): a child window of a class
// of its own, registered on first use, with `self` kept as its user data for `proc`.
inline HWND CreateCardWindow(const wchar_t* cls, WNDPROC proc, HWND stage, DWORD style,
                             void* self) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), cls, &wc)) {
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = cls;
        RegisterClassExW(&wc);
    }
    HWND hwnd = CreateWindowExW(0, cls, L"", WS_CHILD | style, 0, 0, 1, 1, stage, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return hwnd;
}

class Surface {
public:
    Surface() = default;
    ~Surface() { release(); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Made anew for `width` x `height` device pixels, compatible with the window's DC.
    void make(HWND window, int width, int height) {
        release();
        HDC screen = GetDC(window);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, std::max(1, width), std::max(1, height));
        ReleaseDC(window, screen);
        old_ = SelectObject(dc_, bitmap_);
        width_ = width;
        height_ = height;
    }
    void release() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
    }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    int width_ = 0, height_ = 0;
};

// Fills `r` with `color`.
inline void FillColor(HDC dc, const RECT& r, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// `color` over what `dc` holds in `r`, at opacity `alpha` (0..255): the stage shows through.
inline void BlendColor(HDC dc, const RECT& r, COLORREF color, BYTE alpha) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    HDC solid = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 1, 1);
    HGDIOBJ old = SelectObject(solid, bitmap);
    SetPixel(solid, 0, 0, color);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlend(dc, r.left, r.top, w, h, solid, 0, 0, 1, 1, blend);
    SelectObject(solid, old);
    DeleteObject(bitmap);
    DeleteDC(solid);
}

// A gold frame with round corners along the edge of `r`.
inline void GoldFrame(HDC dc, const RECT& r, COLORREF color, int thickness, int radius) {
    HPEN pen = CreatePen(PS_SOLID, thickness, color);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int half = thickness / 2;
    RoundRect(dc, r.left + half, r.top + half, r.right - half, r.bottom - half, radius, radius);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// One line of text centred in `r`.
inline void CentredLine(HDC dc, const std::wstring& text, RECT r, HFONT font, COLORREF color) {
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old);
}

}  // namespace ld::win
