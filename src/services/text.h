// Text and number services. Texts are GBK byte strings: lengths and positions count
// bytes, positions start at 1, and every scan is double-byte aware (a byte >= 0x80
// starts a two-byte character whose second byte never begins a match or a split).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ld {

using Text = std::string;   // GBK bytes, no terminator inside
using Bytes = std::string;  // length-counted raw bytes (file contents, pictures, sounds)

int32_t TextLength(std::string_view text);
Text LeftText(std::string_view text, int32_t n);
Text RightText(std::string_view text, int32_t n);

// 1-based position of the first match at or after `start`, -1 when none.
int32_t FindText(std::string_view text, std::string_view sought, int32_t start = 1,
                 bool ignoreCase = false);
// Last match that starts before `end` (1-based, exclusive); nullopt means the whole text.
int32_t FindTextLast(std::string_view text, std::string_view sought,
                     std::optional<int32_t> end = std::nullopt, bool ignoreCase = false);

Text ReplaceSpan(std::string_view text, int32_t start, int32_t length,
                 std::string_view replacement = {});
// `count` < 0 means all; case-insensitive (ASCII letters only) unless `caseSensitive`.
Text ReplaceAll(std::string_view text, std::string_view sought, std::string_view replacement = {},
                int32_t start = 1, int32_t count = -1, bool caseSensitive = false);
// `maxParts` < 0 means all. An empty last piece is dropped; an empty text gives no pieces.
std::vector<Text> SplitText(std::string_view text, std::string_view separator = ",",
                            int32_t maxParts = -1);

// ToText for each value kind.
Text ToText(int64_t value);
Text ToText(int32_t value);
Text ToText(uint8_t value);
Text ToText(bool value);                   // "真" / "假" in GBK
Text ToText(double value);                 // "%.13g", C locale
Text ToTextSingle(float value);            // "%.6g"
Text ToTextBytes(std::string_view bytes);  // up to the first zero byte
// Text stays as it is. The const char* overload keeps literals from choosing ToText(bool).
inline Text ToText(std::string_view text) { return Text(text); }
inline Text ToText(const char* text) { return Text(text); }

extern const char* const kTrueWord;   // "真" in GBK
extern const char* const kFalseWord;  // "假" in GBK

// Leading decimal number as strtod reads it in the C locale; 0 when there is none.
double ToNumber(std::string_view text);
inline double ToNumber(bool value) { return value ? 1.0 : 0.0; }
// Without it a literal would pick ToNumber(bool), a standard conversion.
inline double ToNumber(const char* text) { return ToNumber(std::string_view(text)); }

// Saturating conversions to a 32-bit integer: NaN gives 0, out of range the nearest limit.
int32_t SaturateToInt32(double value);  // truncates toward zero
inline int32_t ToInt32(std::string_view text) { return SaturateToInt32(ToNumber(text)); }

// Snaps a fraction within 1e-12 of the next whole number to it, then floors.
double IntegerPart(double value);
int32_t IntegerPartInt32(double value);  // IntegerPart, saturated

Bytes ToBytes(std::string_view value);
Bytes MiddleBytes(std::string_view bytes, int32_t start, int32_t n);
int32_t FindBytes(std::string_view bytes, std::string_view sought, int32_t start = 1);

// GBK literal helper for sources kept in UTF-8. Converts on every call (about 0.4 us), so
// nothing is cached; input that is not UTF-8 comes back unchanged.
Text Gbk(std::string_view utf8);

}  // namespace ld
