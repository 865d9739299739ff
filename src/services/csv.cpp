#include "services/csv.h"

#include <optional>

namespace ld {

namespace {

// The content of the quoted field whose opening quote is at `open`, with `close` at its
// closing quote; nullopt when it does not close before a field's end (a stray quote, or a
// file cut short), so that it cannot run up to some other stray quote further on.
std::optional<std::string> QuotedField(std::string_view text, size_t open, size_t& close) {
    std::string content;
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            content += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            content += '"';
            ++i;
        } else if (i + 1 == text.size() ||
                   std::string_view(",\r\n").find(text[i + 1]) != std::string_view::npos) {
            close = i;
            return content;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// The fields of the line starting at `pos`; `pos` moves past its line end.
std::vector<std::string> ReadLine(std::string_view text, size_t& pos) {
    std::vector<std::string> fields;
    std::string field;
    bool atFieldStart = true;
    while (pos < text.size()) {
        const char c = text[pos];
        size_t close = 0;
        if (atFieldStart && c == '"') {
            if (std::optional<std::string> content = QuotedField(text, pos, close)) {
                field += *content;
                pos = close + 1;
                atFieldStart = false;
                continue;
            }
        }
        ++pos;
        atFieldStart = c == ',';
        if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
            break;
        } else {
            field += c;
        }
    }
    fields.push_back(std::move(field));
    return fields;
}

// Whether a spreadsheet would take the field, after any apostrophes we put there, as a
// formula.
bool StartsLikeFormula(std::string_view value) {
    const size_t first = value.find_first_not_of('\'');
    return first != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(value[first]) != std::string_view::npos;
}

}  // namespace

std::string CsvField(std::string_view value) {
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        line += CsvField(fields[i]);
    }
    return line + "\r\n";
}

std::string GuardedCsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        line += CsvField(StartsLikeFormula(fields[i]) ? "'" + fields[i] : fields[i]);
    }
    return line + "\r\n";
}

std::string UnguardedCsvField(std::string value) {
    if (!value.empty() && value[0] == '\'' && StartsLikeFormula(value)) value.erase(0, 1);
    return value;
}

std::vector<std::vector<std::string>> ParseCsv(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '\r' || text[pos] == '\n') {  // an empty line
            pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
            continue;
        }
        rows.push_back(ReadLine(text, pos));
    }
    return rows;
}

}  // namespace ld
