#include "export/xlsx_text.h"

#include <algorithm>
#include <cstdint>

namespace ld::exporting {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr size_t kCellCharacters = 32767;
constexpr size_t kSheetNameUnits = 31;  // Excel counts UTF-16 units

// The code points of `text`; a byte that starts no valid sequence gives U+FFFD.
std::u32string Decode(std::string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = (lead < 0x80 || lead >= 0xC2) && lead < 0xF5 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        valid =
            valid && (length == 1 || c >= smallest) && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        out += valid ? c : kReplacement;
        i += valid ? length : 1;
    }
    return out;
}

std::string Encode(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

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
    return Encode(cut);
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

std::u32string CleanSheetName(std::string_view wanted) {
    std::u32string name = Decode(wanted);
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
    std::u32string decoded = Decode(text);
    return Encode(CutToUnits(decoded, kCellCharacters));
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
    for (char32_t c : Decode(text)) width += c >= 0x2E80 ? 2 : 1;
    return width;
}

}  // namespace ld::exporting
