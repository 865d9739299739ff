// Glyphs drawn with GDI, white on black into a DIB section, the green channel taken as the
// coverage. ClearType would colour the edges, so the font asks for plain antialiasing.
#include "media/text_glyphs.h"

#include <windows.h>

#include <cmath>

#include "media/win32/gdi_text.h"

namespace ld {
namespace {

std::wstring Utf16(char32_t c) {
    if (c < 0x10000) return std::wstring(1, static_cast<wchar_t>(c));
    c -= 0x10000;
    return {static_cast<wchar_t>(0xD800 + (c >> 10)), static_cast<wchar_t>(0xDC00 + (c & 0x3FF))};
}

// Measures `text` with `font` selected into `dc`: the face's metrics and the advance.
void Measure(HDC dc, const std::wstring& text, DrawnGlyph& glyph) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    glyph.ascent = metrics.tmAscent;
    glyph.descent = metrics.tmDescent;
    glyph.advance = extent.cx;
}

}  // namespace

DrawnGlyph DrawGlyph(char32_t c, int emPixels, bool bold) {
    DrawnGlyph glyph;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return glyph;
    HFONT font = CreateFontW(-emPixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH, gdi::ChineseFace(dc));
    HGDIOBJ oldFont = SelectObject(dc, font);
    const std::wstring text = Utf16(c);
    Measure(dc, text, glyph);
    const int pad = emPixels / 4;  // room for ink that overhangs the pen box
    glyph.originX = pad;
    glyph.baselineY = pad + static_cast<int>(glyph.ascent);
    const int width = static_cast<int>(std::ceil(glyph.advance)) + 2 * pad;
    const int height = glyph.baselineY + static_cast<int>(glyph.descent) + pad;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
        TextOutW(dc, glyph.originX, glyph.baselineY, text.c_str(), static_cast<int>(text.size()));
        GdiFlush();
        glyph.mask = Image(width, height);
        const auto* in = static_cast<const uint8_t*>(bits);  // BGRA, zeroed on creation
        for (size_t i = 0; i < glyph.mask.rgba.size(); i += 4) glyph.mask.rgba[i + 3] = in[i + 1];
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
    }
    DeleteObject(SelectObject(dc, oldFont));
    DeleteDC(dc);
    return glyph;
}

}  // namespace ld
