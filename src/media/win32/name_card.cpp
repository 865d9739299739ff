// Name cards drawn with GDI into a DIB section: the same card as the Linux one (Qt's
// painter), with a CJK face that Windows has. GDI leaves alpha alone, so the pixels are made
// opaque at the end.
#include "media/name_card.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "media/win32/gdi_text.h"

namespace ld {

namespace {

constexpr COLORREF kGold = RGB(0xF6, 0xD3, 0x65);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

// The red glow, from the centre outwards, straight into the pixels (BGRA).
void FillGlow(uint8_t* bits, Size size) {
    const double radius = size.height * 0.75, cx = size.width / 2.0, cy = size.height / 2.0;
    for (int y = 0; y < size.height; ++y) {
        uint8_t* p = bits + static_cast<size_t>(y) * size.width * 4;
        for (int x = 0; x < size.width; ++x, p += 4) {
            const double t = std::min(1.0, std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius);
            p[2] = static_cast<uint8_t>(std::lround(0xD8 + (0x8E - 0xD8) * t));
            p[1] = static_cast<uint8_t>(std::lround(0x2A + (0x0E - 0x2A) * t));
            p[0] = static_cast<uint8_t>(std::lround(0x2A + (0x14 - 0x2A) * t));
        }
    }
}

void Frame(HDC dc, Size size, int inset, int width) {
    LOGBRUSH brush{BS_SOLID, kGold, 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_MITER, static_cast<DWORD>(width),
                            &brush, 0, nullptr);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, inset, inset, size.width - inset, size.height - inset);
    SelectObject(dc, oldBrush);
    DeleteObject(SelectObject(dc, oldPen));
}

// A double gold frame and a few lucky sparks, the same for every card.
void DrawDecoration(HDC dc, Size size) {
    Frame(dc, size, size.width / 24, std::max(1, size.width / 60));
    Frame(dc, size, size.width / 14, std::max(1, size.width / 240));
    HBRUSH gold = CreateSolidBrush(kGold);
    HGDIOBJ oldBrush = SelectObject(dc, gold);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const double r = size.width / 160.0;
    for (int i = 0; i < 24; ++i) {
        const double x = size.width * (0.12 + 0.76 * ((i * 37) % 100) / 100.0);
        const double y = size.height * (0.10 + 0.80 * ((i * 61) % 100) / 100.0);
        if (y > size.height * 0.3 && y < size.height * 0.72) continue;  // keep the name clear
        Ellipse(dc, static_cast<int>(x - r), static_cast<int>(y - r), static_cast<int>(x + r + 1),
                static_cast<int>(y + r + 1));
    }
    SelectObject(dc, oldPen);
    DeleteObject(SelectObject(dc, oldBrush));
}

// The largest pixel size up to `largest` at which the text fits the width.
HFONT FittingFont(HDC dc, const std::wstring& text, int width, int largest, int weight) {
    const wchar_t* face = gdi::ChineseFace(dc);
    for (int pixels = largest;; pixels -= 4) {
        HFONT font = CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                 DEFAULT_PITCH, face);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        if (extent.cx <= width || pixels - 4 <= 12) return font;
        DeleteObject(font);
    }
}

void DrawLine(HDC dc, const std::wstring& text, RECT box, int largest, int weight, COLORREF colour,
              int width) {
    HFONT font = FittingFont(dc, text, width, largest, weight);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    DeleteObject(SelectObject(dc, old));
}

}  // namespace

Image DrawNameCard(std::string_view nameUtf8, std::string_view departmentUtf8, Size size) {
    if (size.width <= 0 || size.height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        return {};
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    FillGlow(static_cast<uint8_t*>(bits), size);
    DrawDecoration(dc, size);
    SetBkMode(dc, TRANSPARENT);
    const int textWidth = size.width * 78 / 100;
    DrawLine(dc, gdi::Widen(nameUtf8),
             RECT{0, size.height * 28 / 100, size.width, size.height * 58 / 100}, size.width / 3,
             FW_BOLD, kGold, textWidth);
    if (!departmentUtf8.empty()) {
        DrawLine(dc, gdi::Widen(departmentUtf8),
                 RECT{0, size.height * 60 / 100, size.width, size.height * 70 / 100},
                 size.width / 12, FW_NORMAL, kWhite, textWidth);
    }
    GdiFlush();
    Image image(size.width, size.height);
    const auto* in = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = in[i + 2];
        image.rgba[i + 1] = in[i + 1];
        image.rgba[i + 2] = in[i];
        image.rgba[i + 3] = 255;
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return image;
}

}  // namespace ld
