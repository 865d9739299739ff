// GB18030 <-> UTF-8 on Linux: iconv from the C library.
#include <iconv.h>

#include <cerrno>
#include <vector>

#include "services/os.h"

namespace ld::os {

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

std::optional<std::string> Gb18030ToUtf8(std::string_view gbk, bool strict) {
    return Convert("UTF-8", "GB18030", gbk, strict, "\xEF\xBF\xBD");
}

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
    return Convert("GB18030", "UTF-8", utf8, true, {});
}

}  // namespace ld::os
