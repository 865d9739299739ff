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
    for (auto& field : fields) field = UnguardedCsvField(std::move(field));

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
    return GuardedCsvLine({record.time, record.level, std::to_string(record.ordinal), record.name,
                           record.photoFile, std::to_string(record.poolSize),
                           std::string(record.forfeited ? kForfeited : kWon)});
}

std::vector<WinnerRecord> ParseWinnersFile(std::string_view text) {
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    std::vector<WinnerRecord> records;
    for (std::vector<std::string>& fields : ParseCsv(text))
        if (auto record = ToRecord(std::move(fields))) records.push_back(std::move(*record));
    return records;
}

}  // namespace ld::exporting
