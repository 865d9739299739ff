#include "framework/source_values.h"

#include <cctype>
#include <charconv>

#include "framework/type_properties.h"
#include "services/encoding.h"

namespace ld::tpl {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads a quoted text starting at the opening quote; `i` ends after the closing one.
bool ReadQuoted(std::string_view line, size_t& i, std::string& out, std::string& error) {
    for (++i; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == line.size()) break;
        switch (line[i]) {
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                error = std::string("unknown escape \\") + line[i];
                return false;
        }
    }
    error = "text without its closing quote";
    return false;
}

std::vector<std::string> SplitCommas(std::string_view text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts.emplace_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

}  // namespace

bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
    size_t i = 0;
    while (i < line.size()) {
        if (IsSpace(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Token t;
        if (line[i] == '"') {
            if (!ReadQuoted(line, i, t.key, error)) return false;
            t.quoted = true;
        } else {
            while (i < line.size() && !IsSpace(line[i]) && line[i] != '=') t.key += line[i++];
            if (i < line.size() && line[i] == '=') {
                t.hasValue = true;
                ++i;
                if (i < line.size() && line[i] == '"') {
                    if (!ReadQuoted(line, i, t.value, error)) return false;
                    t.quoted = true;
                } else {
                    while (i < line.size() && !IsSpace(line[i])) t.value += line[i++];
                }
            }
        }
        if (i < line.size() && !IsSpace(line[i])) {
            error = "missing space after a quoted text";
            return false;
        }
        tokens.push_back(std::move(t));
    }
    return true;
}

std::optional<int32_t> ParseInt(std::string_view text) {
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    uint64_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (base == 16 && !negative && v <= 0xFFFFFFFFull)  // hex words keep their bit pattern
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    if (negative ? v > 0x80000000ull : v > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
}

std::optional<int32_t> ParseColor(std::string_view text) {
    if (text == "system") return static_cast<int32_t>(kSystemColor);
    return ParseInt(text);
}

std::optional<bool> ParseBool(std::string_view text) {
    if (text == "1" || text == "true") return true;
    if (text == "0" || text == "false") return false;
    return std::nullopt;
}

std::optional<Text> ToGbkStrict(std::string_view utf8) {
    std::optional<std::string> gbk = Utf8ToGbk(utf8);
    if (!gbk) return std::nullopt;
    // GB18030 writes characters outside GBK as four bytes: a lead byte, then a digit.
    for (size_t i = 0; i < gbk->size(); ++i) {
        auto b = static_cast<uint8_t>((*gbk)[i]);
        if (b < 0x80) continue;
        if (i + 1 >= gbk->size()) return std::nullopt;
        auto second = static_cast<uint8_t>((*gbk)[i + 1]);
        if (second >= '0' && second <= '9') return std::nullopt;
        ++i;
    }
    return gbk;
}

std::optional<FontValue> ParseFont(std::string_view text, std::string& error) {
    if (text == "default") return FontValue{};
    std::vector<std::string> parts = SplitCommas(text);
    FontValue font;
    std::optional<Text> face = ToGbkStrict(parts[0]);
    if (!face || face->size() >= kFaceNameBytes) {
        error = "a face name GBK cannot hold or longer than 31 bytes";
        return std::nullopt;
    }
    font.face = *face;
    std::optional<int32_t> pixels = parts.size() > 1 ? ParseInt(parts[1]) : std::nullopt;
    if (!pixels || *pixels < 0 || *pixels > 1000) {
        error = "a font needs its height in pixels after the face";
        return std::nullopt;
    }
    font.pixels = *pixels;
    for (size_t i = 2; i < parts.size(); ++i) {
        const std::string& style = parts[i];
        if (style == "bold")
            font.bold = true;
        else if (style == "italic")
            font.italic = true;
        else if (style == "underline")
            font.underline = true;
        else if (style == "strikeout")
            font.strikeOut = true;
        else {
            error = "unknown font style '" + style + "'";
            return std::nullopt;
        }
    }
    if (font == FontValue{}) {
        error = "write `default` for the default font";
        return std::nullopt;
    }
    return font;
}

bool IsRoutineName(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

}  // namespace ld::tpl
