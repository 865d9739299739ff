#include "export/winners_file.h"

#include <charconv>
#include <optional>

#include "services/csv.h"

namespace ld::exporting {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kWon = "中奖";
constexpr std::string_view kForfeited = "放弃";
constexpr size_t kFieldCount = 7;

// Whether a spreadsheet would take the field, after any apostrophes we put there, as a
// formula.
bool StartsLikeFormula(std::string_view value) {
    const size_t first = value.find_first_not_of('\'');
    return first != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(value[first]) != std::string_view::npos;
}

std::string GuardFormula(std::string_view value) {
    return StartsLikeFormula(value) ? "'" + std::string(value) : std::string(value);
}

std::string UnguardFormula(std::string value) {
    if (!value.empty() && value[0] == '\'' && StartsLikeFormula(value)) value.erase(0, 1);
    return value;
}

// The content of the quoted field whose opening quote is at `open`, and where its closing
// quote is; nullopt when it never closes (a stray quote, or a line cut short).
std::optional<std::string> QuotedField(std::string_view text, size_t open, size_t& close) {
    std::string content;
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            content += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            content += '"';
            ++i;
        } else {
            close = i;
            return content;
        }
    }
    return std::nullopt;
}

// The fields of the CSV line starting at `pos`; `pos` moves past its line end. A quote counts
// only at the start of a field and only when it closes; otherwise it is taken as it stands,
// so one stray quote cannot swallow the rest of the file.
std::vector<std::string> ReadCsvLine(std::string_view text, size_t& pos) {
    std::vector<std::string> fields;
    std::string field;
    bool atFieldStart = true;
    while (pos < text.size()) {
        const char c = text[pos];
        size_t close = 0;
        if (atFieldStart && c == '"') {
            if (auto content = QuotedField(text, pos, close)) {
                field += *content;
                pos = close + 1;
                atFieldStart = false;
                continue;
            }
        }
        atFieldStart = false;
        ++pos;
        if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
            atFieldStart = true;
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

std::optional<int> ParseNumber(const std::string& field) {
    int value = 0;
    const char* end = field.data() + field.size();
    auto [stop, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<WinnerRecord> ToRecord(std::vector<std::string> fields) {
    if (fields.size() < kFieldCount) return std::nullopt;
    // A spreadsheet program saving the file may pad lines with empty columns.
    for (size_t i = kFieldCount; i < fields.size(); ++i)
        if (!fields[i].empty()) return std::nullopt;
    for (auto& field : fields) field = UnguardFormula(std::move(field));

    WinnerRecord record;
    const auto ordinal = ParseNumber(fields[2]);
    const auto poolSize = ParseNumber(fields[5]);
    if (!ordinal || !poolSize) return std::nullopt;
    if (fields[6] != kWon && fields[6] != kForfeited) return std::nullopt;
    record.time = std::move(fields[0]);
    record.level = std::move(fields[1]);
    record.ordinal = *ordinal;
    record.name = std::move(fields[3]);
    record.photoFile = std::move(fields[4]);
    record.poolSize = *poolSize;
    record.forfeited = fields[6] == kForfeited;
    return record;
}

}  // namespace

std::string WinnersFileHeader() {
    return std::string(kBom) + "时间,奖项,序号,姓名,照片,抽取时人数,状态\r\n";
}

std::string WinnersFileLine(const WinnerRecord& record) {
    const std::string fields[kFieldCount] = {record.time,
                                             record.level,
                                             std::to_string(record.ordinal),
                                             record.name,
                                             record.photoFile,
                                             std::to_string(record.poolSize),
                                             std::string(record.forfeited ? kForfeited : kWon)};
    std::string line;
    for (size_t i = 0; i < kFieldCount; ++i) {
        if (i > 0) line += ',';
        line += CsvField(GuardFormula(fields[i]));
    }
    return line + "\r\n";
}

std::vector<WinnerRecord> ParseWinnersFile(std::string_view text) {
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    std::vector<WinnerRecord> records;
    size_t pos = 0;
    while (pos < text.size()) {
        if (auto record = ToRecord(ReadCsvLine(text, pos))) records.push_back(std::move(*record));
    }
    return records;
}

}  // namespace ld::exporting
