// GB18030 <-> UTF-8 on Windows: the system's code page 54936 through UTF-16.
#include <optional>

#include "services/os.h"
#include "services/win32/wide.h"

namespace ld::os {

namespace {

constexpr UINT kGb18030 = 54936;

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

std::optional<std::wstring> Decode(std::string_view gbk) {
    const int size = static_cast<int>(gbk.size());
    const int length =
        ::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, gbk.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, gbk.data(), size, wide.data(), length);
    return wide;
}

// One character at a time, each byte that does not convert becoming U+FFFD.
std::wstring DecodeReplacing(std::string_view gbk) {
    std::wstring wide;
    for (size_t i = 0; i < gbk.size();) {
        const size_t length = CharacterLength(gbk, i);
        const auto one = length ? Decode(gbk.substr(i, length)) : std::nullopt;
        if (one) {
            wide += *one;
            i += length;
        } else {
            wide += L'\xFFFD';
            ++i;
        }
    }
    return wide;
}

}  // namespace

std::optional<std::string> Gb18030ToUtf8(std::string_view gbk, bool strict) {
    if (gbk.empty()) return std::string();
    if (auto wide = Decode(gbk)) return win32::Narrow(*wide);
    if (strict) return std::nullopt;
    return win32::Narrow(DecodeReplacing(gbk));
}

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const int size = static_cast<int>(utf8.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    const int bytes = ::WideCharToMultiByte(kGb18030, 0, wide.data(), length, nullptr, 0, nullptr,
                                            nullptr);
    if (bytes <= 0) return std::nullopt;
    std::string gbk(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(kGb18030, 0, wide.data(), length, gbk.data(), bytes, nullptr, nullptr);
    return gbk;
}

}  // namespace ld::os
