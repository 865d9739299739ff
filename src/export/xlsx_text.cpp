#include "export/xlsx_text.h"

#include <algorithm>
#include <cstdint>

#include "services/utf8.h"

namespace ld::exporting {
namespace {

constexpr size_t kCellCharacters = 32767;
constexpr size_t kSheetNameUnits = 31;  // Excel counts UTF-16 units

// The longest start of `text` that fits in `units` UTF-16 units.
std::u32string CutToUnits(const std::u32string& text, size_t units) {
    size_t used = 0, end = 0;
    while (end < text.size() && used + (text[end] > 0xFFFF ? 2 : 1) <= units)
        used += text[end++] > 0xFFFF ? 2 : 1;
    return text.substr(0, end);
}

// The sheet name's start that fits in `units`, not ending in a space or an apostrophe.
std::string FitSheetName(const std::u32string& name, size_t units) {
    std::u32string cut = CutToUnits(name, units);
    while (!cut.empty() && (cut.back() == U' ' || cut.back() == U'\'')) cut.pop_back();
    return EncodeUtf8(cut);
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool Taken(const std::string& name, const std::vector<std::string>& taken) {
    const std::string lower = AsciiLower(name);
    return lower == "history" ||
           std::any_of(taken.begin(), taken.end(),
                       [&](const std::string& other) { return AsciiLower(other) == lower; });
}

// The code points of `text` with the two that XML cannot hold, U+FFFE and U+FFFF (names
// come from phones), as U+FFFD: one of them makes the whole workbook unreadable.
std::u32string DecodeForXml(std::string_view text) {
    std::u32string decoded = DecodeUtf8(text);
    for (char32_t& c : decoded)
        if (c == 0xFFFE || c == 0xFFFF) c = 0xFFFD;
    return decoded;
}

std::u32string CleanSheetName(std::string_view wanted) {
    std::u32string name = DecodeForXml(wanted);
    for (char32_t& c : name)
        if (c < 0x20 || std::u32string_view(U"[]:*?/\\").find(c) != std::u32string_view::npos)
            c = U'_';
    const size_t first = name.find_first_not_of(U" '");
    const size_t last = name.find_last_not_of(U" '");
    name = first == std::u32string::npos ? U"" : name.substr(first, last - first + 1);
    return name.empty() ? U"未命名" : name;
}

}  // namespace

std::string CellText(std::string_view text) {
    return EncodeUtf8(CutToUnits(DecodeForXml(text), kCellCharacters));
}

std::string UniqueSheetName(std::string_view wanted, std::vector<std::string>& taken) {
    const std::u32string base = CleanSheetName(wanted);
    std::string name = FitSheetName(base, kSheetNameUnits);
    for (int n = 2; Taken(name, taken); ++n) {
        const std::string suffix = "(" + std::to_string(n) + ")";
        name = FitSheetName(base, kSheetNameUnits - suffix.size()) + suffix;
    }
    taken.push_back(name);
    return name;
}

int DisplayWidth(std::string_view text) {
    int width = 0;
    for (char32_t c : DecodeUtf8(text)) width += c >= 0x2E80 ? 2 : 1;
    return width;
}

}  // namespace ld::exporting
