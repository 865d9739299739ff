// What the GDI text drawers share: UTF-8 to UTF-16, and the Chinese face to draw with.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ld::gdi {

std::wstring Widen(std::string_view utf8);

// Windows' Chinese face; where it is missing (Wine) the Noto face that Linux uses, if the
// system has it, rather than GDI's substitute without Chinese glyphs.
const wchar_t* ChineseFace(HDC dc);

}  // namespace ld::gdi
