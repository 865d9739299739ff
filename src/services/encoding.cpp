#include "services/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace ld {

namespace {

// Converts with iconv; on an invalid or incomplete sequence either stops (strict) or
// emits `replacement` for one input byte and goes on.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in,
                                   bool strict, std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    std::vector<char> buffer(4096);
    while (srcLeft > 0) {
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer.data(), static_cast<size_t>(dst - buffer.data()));
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (strict) {
            iconv_close(cd);
            return std::nullopt;
        }
        out.append(replacement);  // EILSEQ or EINVAL: skip one byte
        ++src;
        --srcLeft;
    }
    iconv_close(cd);
    return out;
}

}  // namespace

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
    auto r = Convert("UTF-8", "GB18030", gbk, false, "\xEF\xBF\xBD");
    return r ? *r : std::string();
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    if (!IsValidUtf8(utf8)) return std::nullopt;
    return Convert("GB18030", "UTF-8", utf8, true, {});
}

std::string FileNameToGbk(std::string_view onDisk) {
    if (auto gbk = Utf8ToGbk(onDisk)) return *gbk;
    return std::string(onDisk);
}

std::string GbkToFileName(std::string_view gbk) { return GbkToUtf8(gbk); }

}  // namespace ld
