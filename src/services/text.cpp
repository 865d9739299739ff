#include "services/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "services/encoding.h"
#include "services/os.h"

namespace ld {

const char* const kTrueWord = "\xD5\xE6";   // 真
const char* const kFalseWord = "\xBC\xD9";  // 假

namespace {

using Size = std::string_view::size_type;

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int32_t ClampToInt32(Size n) {
    return static_cast<int32_t>(std::min<Size>(n, std::numeric_limits<int32_t>::max()));
}

// The 0-based offset of a 1-based position, clipped to [0, size].
Size OffsetOf(int32_t position, Size size) {
    if (position < 1) return 0;
    return std::min<Size>(static_cast<Size>(position) - 1, size);
}

// Compares `sought` with the text at `at`. Only single-byte letters fold when ignoring case:
// both bytes of a double-byte character must match exactly, since a second byte in the
// ASCII range is not a letter.
bool MatchesAt(std::string_view text, Size at, std::string_view sought, bool ignoreCase) {
    if (!ignoreCase) return text.compare(at, sought.size(), sought) == 0;
    for (Size k = 0; k < sought.size(); ++k) {
        char a = sought[k];
        char b = text[at + k];
        if (IsLeadByte(a)) {
            if (a != b) return false;
            if (k + 1 < sought.size() && sought[k + 1] != text[at + k + 1]) return false;
            ++k;
        } else if (FoldAscii(a) != FoldAscii(b)) {
            return false;
        }
    }
    return true;
}

// Width of the character starting at `at`: 2 for a lead byte with a byte after it, else 1.
Size CharWidth(std::string_view text, Size at) {
    return (IsLeadByte(text[at]) && at + 1 < text.size()) ? 2 : 1;
}

// Candidate offsets from `from` (character by character) whose start lies before `limit`;
// calls `onMatch` for each match until it returns false.
template <typename OnMatch>
void ScanMatches(std::string_view text, std::string_view sought, Size from, Size limit,
                 bool ignoreCase, OnMatch onMatch) {
    for (Size at = from; at < limit && sought.size() <= text.size() - at;) {
        if (MatchesAt(text, at, sought, ignoreCase) && !onMatch(at)) return;
        if (IsLeadByte(text[at]) && at + 1 >= text.size()) return;
        at += IsLeadByte(text[at]) ? 2 : 1;
    }
}

template <typename T, typename... Format>
Text FormatNumber(T value, Format... format) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    return Text(buffer, result.ptr);
}

}  // namespace

int32_t TextLength(std::string_view text) { return ClampToInt32(text.size()); }

Text LeftText(std::string_view text, int32_t n) {
    if (n <= 0) return {};
    return Text(text.substr(0, static_cast<Size>(n)));
}

Text RightText(std::string_view text, int32_t n) {
    if (n <= 0) return {};
    Size keep = std::min<Size>(static_cast<Size>(n), text.size());
    return Text(text.substr(text.size() - keep));
}

int32_t FindText(std::string_view text, std::string_view sought, int32_t start, bool ignoreCase) {
    Size from = OffsetOf(start, text.size());
    if (sought.empty()) return from < text.size() ? 1 : -1;
    int32_t found = -1;
    ScanMatches(text, sought, from, text.size(), ignoreCase, [&](Size at) {
        found = ClampToInt32(at + 1);
        return false;
    });
    return found;
}

int32_t FindTextLast(std::string_view text, std::string_view sought, std::optional<int32_t> end,
                     bool ignoreCase) {
    // Matches must start before `end`; the scan runs from the front so that it stays on
    // character boundaries.
    Size limit = end ? OffsetOf(*end, text.size()) : text.size();
    if (sought.empty()) return limit > 0 ? 1 : -1;
    int32_t found = -1;
    ScanMatches(text, sought, 0, limit, ignoreCase, [&](Size at) {
        found = ClampToInt32(at + 1);
        return true;
    });
    return found;
}

Text ReplaceSpan(std::string_view text, int32_t start, int32_t length,
                 std::string_view replacement) {
    Size at = OffsetOf(start, text.size());
    Size removed = length <= 0 ? 0 : std::min<Size>(static_cast<Size>(length), text.size() - at);
    Text out;
    out.reserve(text.size() - removed + replacement.size());
    out.append(text.substr(0, at)).append(replacement).append(text.substr(at + removed));
    return out;
}

Text ReplaceAll(std::string_view text, std::string_view sought, std::string_view replacement,
                int32_t start, int32_t count, bool caseSensitive) {
    if (text.empty() || sought.empty()) return Text(text);
    Size at = OffsetOf(start, text.size());
    Text out(text.substr(0, at));
    int32_t replaced = 0;
    while (text.size() - at >= sought.size() && (count < 0 || replaced < count)) {
        if (MatchesAt(text, at, sought, !caseSensitive)) {
            out.append(replacement);
            at += sought.size();
            ++replaced;
        } else {
            Size width = CharWidth(text, at);
            out.append(text.substr(at, width));
            at += width;
        }
    }
    out.append(text.substr(at));
    return out;
}

std::vector<Text> SplitText(std::string_view text, std::string_view separator, int32_t maxParts) {
    std::vector<Text> pieces;
    if (text.empty() || maxParts == 0) return pieces;
    auto full = [&] { return maxParts > 0 && pieces.size() >= static_cast<Size>(maxParts); };
    Size pieceStart = 0;
    if (!separator.empty()) {
        for (Size at = 0; separator.size() <= text.size() - at;) {
            if (MatchesAt(text, at, separator, false)) {
                pieces.emplace_back(text.substr(pieceStart, at - pieceStart));
                if (full()) return pieces;
                at += separator.size();
                pieceStart = at;
            } else {
                at += CharWidth(text, at);
            }
        }
    }
    if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

Text ToText(int64_t value) { return FormatNumber(value); }
Text ToText(int32_t value) { return FormatNumber(value); }
Text ToText(uint8_t value) { return FormatNumber(static_cast<unsigned>(value)); }
Text ToText(bool value) { return value ? kTrueWord : kFalseWord; }

// std::to_chars with a precision is defined as printf's "%.*g" in the C locale.
Text ToText(double value) { return FormatNumber(value, std::chars_format::general, 13); }
Text ToTextSingle(float value) { return FormatNumber(value, std::chars_format::general, 6); }

Text ToTextBytes(std::string_view bytes) { return Text(bytes.substr(0, bytes.find('\0'))); }

double ToNumber(std::string_view text) {
    Text terminated(text.substr(0, text.find('\0')));
    return os::ParseNumberInCLocale(terminated.c_str());
}

int32_t SaturateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

double IntegerPart(double value) {
    // Computed sizes such as 15 * 1.8 land a hair below the whole number they mean.
    double next = std::ceil(value);
    if (next - value < 1e-12) value = next;
    return std::floor(value);
}

int32_t IntegerPartInt32(double value) { return SaturateToInt32(IntegerPart(value)); }

Bytes ToBytes(std::string_view value) { return Bytes(value); }

Bytes MiddleBytes(std::string_view bytes, int32_t start, int32_t n) {
    if (n <= 0) return {};
    return Bytes(bytes.substr(OffsetOf(start, bytes.size()), static_cast<Size>(n)));
}

int32_t FindBytes(std::string_view bytes, std::string_view sought, int32_t start) {
    Size from = OffsetOf(start, bytes.size());
    if (sought.empty()) return -1;
    Size at = bytes.find(sought, from);
    return at == std::string_view::npos ? -1 : ClampToInt32(at + 1);
}

Text Gbk(std::string_view utf8) {
    if (auto gbk = Utf8ToGbk(utf8)) return *std::move(gbk);
    return Text(utf8);
}

}  // namespace ld
