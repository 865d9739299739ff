// Tokens and values of the template source: splitting a statement into words, and turning
// attribute values into numbers, colours, fonts and GBK texts. Each function reports a
// problem through its result so the compiler can name the line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"

namespace ld::tpl {

struct Token {
    std::string key;    // before "=", or the whole bare word
    std::string value;  // after "=" (quotes removed, escapes resolved)
    bool hasValue = false;
    bool quoted = false;  // the word or the value was a quoted text
    int line = 0;         // source line, for messages
};

// Splits a statement; false with `error` set on an unterminated quote or a bad escape.
bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error);

std::optional<int32_t> ParseInt(std::string_view text);
// 0x00BBGGRR, a decimal number, or `system`.
std::optional<int32_t> ParseColor(std::string_view text);
std::optional<bool> ParseBool(std::string_view text);
// UTF-8 to GBK; nullopt when the text is not UTF-8 or holds a character GBK lacks.
std::optional<Text> ToGbkStrict(std::string_view utf8);
// "face,pixels[,bold][,italic][,underline][,strikeout]" or `default`; the face may be empty.
std::optional<FontValue> ParseFont(std::string_view text, std::string& error);
bool IsRoutineName(std::string_view name);

}  // namespace ld::tpl
