#include "services/encoding.h"

#include <cstdint>

#include "services/os.h"

namespace ld {

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;
        for (size_t k = 1; k <= n; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

std::string GbkToUtf8(std::string_view gbk) {
    return os::Gb18030ToUtf8(gbk, false).value_or(std::string());
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    if (!IsValidUtf8(utf8)) return std::nullopt;
    return os::Utf8ToGb18030(utf8);
}

std::string FileNameToGbk(std::string_view onDisk) {
    if (auto gbk = Utf8ToGbk(onDisk)) return *gbk;
    return std::string(onDisk);
}

std::string GbkToFileName(std::string_view gbk) { return GbkToUtf8(gbk); }

}  // namespace ld
