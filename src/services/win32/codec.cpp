// GB18030 <-> UTF-8 on Windows, through UTF-16: the system's code page 54936 where it has
// one (every Windows does). Wine 8 lacks it; there the two-byte (GBK) part goes through code
// page 936 and the four-byte sequences of the planes above the BMP are computed, which
// leaves out only the four-byte BMP characters (rare ones outside GBK).
#include <optional>

#include "services/os.h"
#include "services/win32/wide.h"

namespace ld::os {

namespace {

constexpr UINT kGb18030 = 54936;
constexpr UINT kGbk = 936;

bool HasGb18030() {
    static const bool has = ::IsValidCodePage(kGb18030);
    return has;
}

bool Between(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

// Length of the GB18030 character at `i` by its shape (1, 2 or 4 bytes); 0 for a byte that
// starts none.
size_t CharacterLength(std::string_view s, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if (at(0) < 0x80) return 1;
    if (!Between(at(0), 0x81, 0xFE) || i + 1 >= s.size()) return 0;
    if (Between(at(1), 0x40, 0x7E) || Between(at(1), 0x80, 0xFE)) return 2;
    if (Between(at(1), 0x30, 0x39) && i + 3 < s.size() && Between(at(2), 0x81, 0xFE) &&
        Between(at(3), 0x30, 0x39))
        return 4;
    return 0;
}

// Every character one or two bytes, as code page 936 takes them (it has no four-byte ones,
// and reads bytes that GB18030 lacks, such as 0x80, as characters of its own).
bool OnlyGbk(std::string_view gbk) {
    for (size_t i = 0; i < gbk.size();) {
        const size_t length = CharacterLength(gbk, i);
        if (length == 0 || length == 4) return false;
        i += length;
    }
    return true;
}

std::optional<std::wstring> Decode(UINT codePage, std::string_view bytes) {
    const int size = static_cast<int>(bytes.size());
    const int length =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return wide;
}

void AppendCodePoint(std::wstring& wide, char32_t c) {
    if (c < 0x10000) {
        wide += static_cast<wchar_t>(c);
        return;
    }
    c -= 0x10000;
    wide += static_cast<wchar_t>(0xD800 + (c >> 10));
    wide += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
}

// One character without the system's GB18030: GBK through code page 936, four bytes from
// 0x90308130 on as the code points from U+10000 on.
std::optional<std::wstring> DecodeWithoutGb18030(std::string_view c) {
    if (c.size() < 4) return Decode(kGbk, c);
    const auto b = [&](size_t k) {
        return static_cast<unsigned>(static_cast<unsigned char>(c[k]));
    };
    if (b(0) < 0x90) return std::nullopt;
    const char32_t point =
        0x10000 + (((b(0) - 0x90) * 10 + (b(1) - 0x30)) * 126 + (b(2) - 0x81)) * 10 + (b(3) - 0x30);
    if (point > 0x10FFFF) return std::nullopt;
    std::wstring wide;
    AppendCodePoint(wide, point);
    return wide;
}

std::optional<std::wstring> DecodeCharacter(std::string_view c) {
    return HasGb18030() ? Decode(kGb18030, c) : DecodeWithoutGb18030(c);
}

// Character by character; with `strict` nullopt at the first byte that does not convert,
// else that byte becomes U+FFFD.
std::optional<std::wstring> DecodeEach(std::string_view gbk, bool strict) {
    std::wstring wide;
    for (size_t i = 0; i < gbk.size();) {
        const size_t length = CharacterLength(gbk, i);
        const auto one = length ? DecodeCharacter(gbk.substr(i, length)) : std::nullopt;
        if (one) {
            wide += *one;
            i += length;
        } else if (strict) {
            return std::nullopt;
        } else {
            wide += L'\xFFFD';
            ++i;
        }
    }
    return wide;
}

std::optional<std::string> EncodeWith(UINT codePage, std::wstring_view wide) {
    const int length = static_cast<int>(wide.size());
    // Code page 54936 takes no default character; 936 reports one that it had to use.
    BOOL usedDefault = FALSE;
    BOOL* used = codePage == kGb18030 ? nullptr : &usedDefault;
    const DWORD flags = codePage == kGb18030 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int bytes =
        ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, used);
    if (bytes <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), length, out.data(), bytes, nullptr, used);
    return usedDefault ? std::nullopt : std::optional<std::string>(out);
}

std::optional<std::string> EncodeWithoutGb18030(std::wstring_view wide) {
    std::string out;
    for (size_t i = 0; i < wide.size(); ++i) {
        const bool pair = i + 1 < wide.size() && wide[i] >= 0xD800 && wide[i] < 0xDC00 &&
                          wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000;
        if (!pair) {
            const auto one = EncodeWith(kGbk, wide.substr(i, 1));
            if (!one) return std::nullopt;
            out += *one;
            continue;
        }
        unsigned index = ((wide[i] - 0xD800u) << 10) + (wide[i + 1] - 0xDC00u);
        ++i;
        const char four[4] = {
            static_cast<char>(0x90 + index / 12600), static_cast<char>(0x30 + index / 1260 % 10),
            static_cast<char>(0x81 + index / 10 % 126), static_cast<char>(0x30 + index % 10)};
        out.append(four, 4);
    }
    return out;
}

}  // namespace

std::optional<std::string> Gb18030ToUtf8(std::string_view gbk, bool strict) {
    if (gbk.empty()) return std::string();
    // The whole text in one call where the code page can take it, else one character at a time.
    if (HasGb18030() || OnlyGbk(gbk)) {
        if (auto wide = Decode(HasGb18030() ? kGb18030 : kGbk, gbk)) return win32::Narrow(*wide);
    }
    const auto wide = DecodeEach(gbk, strict);
    if (!wide) return std::nullopt;
    return win32::Narrow(*wide);
}

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const auto wide = Decode(CP_UTF8, utf8);
    if (!wide) return std::nullopt;
    if (HasGb18030()) return EncodeWith(kGb18030, *wide);
    if (auto whole = EncodeWith(kGbk, *wide)) return whole;
    return EncodeWithoutGb18030(*wide);
}

}  // namespace ld::os
