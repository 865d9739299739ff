#include "platform/win32/win_text.h"

#include <map>
#include <tuple>

#include "services/encoding.h"

namespace ld::win {

std::wstring WideUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::wstring Wide(const Text& gbk) { return gbk.empty() ? std::wstring() : WideUtf8(GbkToUtf8(gbk)); }

Text FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n,
                        nullptr, nullptr);
    return Utf8ToGbk(utf8).value_or(Text());
}

Text WindowText(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(window, text.data(), n + 1);
    text.resize(wcslen(text.c_str()));
    return FromWide(text);
}

bool ColorOf(const Value& value, COLORREF& color) {
    uint32_t bgr = 0;
    if (auto p = std::get_if<int32_t>(&value))
        bgr = static_cast<uint32_t>(*p);
    else if (auto d = std::get_if<double>(&value))
        bgr = static_cast<uint32_t>(static_cast<int64_t>(*d));
    else
        return false;
    if (bgr & kSystemColor) return false;
    color = bgr & 0x00FFFFFF;
    return true;
}

COLORREF ColorOr(const Value& value, COLORREF fallback) {
    COLORREF c;
    return ColorOf(value, c) ? c : fallback;
}

namespace {

bool FaceInstalled(const std::wstring& face) {
    HDC dc = GetDC(nullptr);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &query,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool*>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

}  // namespace

std::wstring ResolvedFace(const std::wstring& face) {
    static std::map<std::wstring, std::wstring> resolved;
    if (auto it = resolved.find(face); it != resolved.end()) return it->second;
    std::wstring chosen = face;
    if (face.empty() || !FaceInstalled(face)) {
        // The control default is 宋体; Windows always has it, Wine usually has none of
        // these and finds the system's CJK faces through fontconfig.
        chosen.clear();
        for (const wchar_t* candidate :
             {L"\x5B8B\x4F53" /* 宋体 */, L"Microsoft YaHei", L"SimSun", L"Noto Sans CJK SC",
              L"Noto Serif CJK SC", L"WenQuanYi Micro Hei", L"Droid Sans Fallback"}) {
            if (FaceInstalled(candidate)) {
                chosen = candidate;
                break;
            }
        }
        if (chosen.empty()) chosen = face;
    }
    resolved[face] = chosen;
    return chosen;
}

HFONT FontFor(const FontValue& font, UINT dpi) {
    using Key = std::tuple<Text, int, bool, bool, bool, bool, UINT>;
    static std::map<Key, HFONT> cache;
    const int px = font.pixelSize() > 0 ? font.pixelSize() : 12;
    const Key key{font.face, px, font.bold, font.italic, font.underline, font.strikeOut, dpi};
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    LOGFONTW lf{};
    lf.lfHeight = -Px(px, dpi);  // character height, as the template's pixel size means
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikeOut;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(lf.lfFaceName, ResolvedFace(Wide(font.face)).c_str(), LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectW(&lf);
    cache[key] = made;
    return made;
}

}  // namespace ld::win
