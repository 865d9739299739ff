#include "checkin/names.h"

#include <algorithm>

#include "checkin/name_unicode.h"
#include "services/encoding.h"

namespace ld::checkin {

namespace {

constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";
constexpr std::string_view kForbidden = "/\\:*?\"<>|.";

bool StartsWithSpace(std::string_view s) {
    return !s.empty() && (s[0] == ' ' || s[0] == '\t' || s.starts_with(kFullWidthSpace));
}
bool EndsWithSpace(std::string_view s) {
    return !s.empty() && (s.back() == ' ' || s.back() == '\t' || s.ends_with(kFullWidthSpace));
}

// GB18030 writes the characters that GBK lacks as four bytes, the second a digit.
bool OnlyGbkCharacters(std::string_view gb18030) {
    for (size_t i = 0; i < gb18030.size(); ++i) {
        const auto byte = static_cast<unsigned char>(gb18030[i]);
        if (byte < 0x80) continue;
        if (i + 1 >= gb18030.size()) return false;
        const auto next = static_cast<unsigned char>(gb18030[i + 1]);
        if (next >= 0x30 && next <= 0x39) return false;
        ++i;
    }
    return true;
}

int CodePoints(std::string_view utf8) {
    int count = 0;
    for (char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace

std::string TrimName(std::string_view s) {
    for (;;) {
        if (StartsWithSpace(s)) {
            s.remove_prefix(s[0] == ' ' || s[0] == '\t' ? 1 : kFullWidthSpace.size());
        } else if (EndsWithSpace(s)) {
            s.remove_suffix(s.back() == ' ' || s.back() == '\t' ? 1 : kFullWidthSpace.size());
        } else {
            return std::string(s);
        }
    }
}

NameCheck CheckName(std::string_view utf8, std::string_view what) {
    NameCheck check;
    const std::string label(what);
    if (!IsValidUtf8(utf8)) {
        check.problem = label + "中有无法识别的字符";
        return check;
    }
    // One spelling per name, whatever the phone or the list sent: compared and stored so.
    check.value = TrimName(ComposedName(utf8));
    const std::string& v = check.value;
    if (v.empty()) {
        check.problem = "请填写" + label;
    } else if (CodePoints(v) > kMaxNameCharacters) {
        check.problem = label + "不能超过" + std::to_string(kMaxNameCharacters) + "个字";
    } else if (std::any_of(v.begin(), v.end(), [](char c) {
                   const auto byte = static_cast<unsigned char>(c);
                   return byte < 0x20 || byte == 0x7F;
               })) {
        check.problem = label + "中不能有控制字符";
    } else if (v.find_first_of(kForbidden) != std::string::npos) {
        check.problem = label + "中不能有以下字符：/ \\ : * ? \" < > | .";
    } else if (MixesLookAlikeScripts(v)) {
        check.problem = label + "中不能混用拉丁字母与西里尔字母或希腊字母";
    } else if (auto gbk = Utf8ToGbk(v); !gbk || !OnlyGbkCharacters(*gbk) || HasPrivateUse(v)) {
        check.problem = label + "中有本程序无法显示的字符，请换一种写法";
    } else {
        check.ok = true;
    }
    return check;
}

Text ParticipantOf(const std::string& name, const std::string& department) {
    const std::string whole =
        department.empty() ? name : name + "\xEF\xBC\x88" + department + "\xEF\xBC\x89";
    return Utf8ToGbk(whole).value_or(Text());
}

}  // namespace ld::checkin
