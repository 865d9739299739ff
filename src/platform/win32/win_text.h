// Conversions between the program's values (GBK texts, 0x00BBGGRR colours, font values)
// and the Windows API's (UTF-16, COLORREF, HFONT), in one place so that every window
// converts the same way.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "services/text.h"
#include "ui/control.h"

namespace ld::win {

// GBK bytes to UTF-16; the program's line breaks ("\r\n") are Windows' own already.
std::wstring Wide(const Text& gbk);
std::wstring WideUtf8(std::string_view utf8);
// UTF-16 to GBK; characters GBK cannot hold are kept through GB18030.
Text FromWide(std::wstring_view text);
// A window's whole text as GBK.
Text WindowText(HWND window);

// A colour property of the template; false for the system colour or no colour at all.
bool ColorOf(const Value& value, COLORREF& color);
COLORREF ColorOr(const Value& value, COLORREF fallback);

// A font value as drawn at `dpi`: pixel sizes count 96-DPI logical pixels. Windows faces
// (宋体, 幼圆, 隶书 ...) are asked for by their own names; where the machine lacks one
// (Wine), an installed face that has every Chinese character stands in. Cached: the
// handle lives as long as the program.
HFONT FontFor(const FontValue& font, UINT dpi);
// The face actually used for a requested one (for tests).
std::wstring ResolvedFace(const std::wstring& face);

// Logical (96-DPI) pixels to device pixels at `dpi`, and back.
inline int Px(int logical, UINT dpi) { return MulDiv(logical, static_cast<int>(dpi), 96); }
inline int Logical(int device, UINT dpi) { return MulDiv(device, 96, static_cast<int>(dpi)); }

}  // namespace ld::win
