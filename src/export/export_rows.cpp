#include "export/export_rows.h"

#include <algorithm>

namespace ld::exporting {

std::vector<WinnerRecord> ExportRows(const std::vector<WinnerRecord>& log) {
    std::vector<WinnerRecord> rows;
    rows.reserve(log.size());
    for (const auto& entry : log) {
        if (entry.forfeited) {
            auto won = std::find_if(rows.rbegin(), rows.rend(), [&](const WinnerRecord& row) {
                return !row.forfeited && row.level == entry.level && row.ordinal == entry.ordinal &&
                       row.name == entry.name;
            });
            if (won != rows.rend()) {
                won->forfeited = true;
                continue;
            }
        }
        rows.push_back(entry);
    }
    return rows;
}

std::vector<std::string> LevelsInOrder(const std::vector<WinnerRecord>& rows,
                                       const std::vector<std::string>& levelOrder) {
    std::vector<std::string> inRows;  // in the order of their first rows
    for (const auto& row : rows)
        if (std::find(inRows.begin(), inRows.end(), row.level) == inRows.end())
            inRows.push_back(row.level);
    std::vector<std::string> levels;
    for (const auto& level : levelOrder) {
        const bool listed = std::find(levels.begin(), levels.end(), level) != levels.end();
        if (!listed && std::find(inRows.begin(), inRows.end(), level) != inRows.end())
            levels.push_back(level);
    }
    for (const auto& level : inRows)
        if (std::find(levels.begin(), levels.end(), level) == levels.end()) levels.push_back(level);
    return levels;
}

std::vector<WinnerRecord> RowsOfLevel(const std::vector<WinnerRecord>& rows,
                                      const std::string& level) {
    std::vector<WinnerRecord> ofLevel;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(ofLevel),
                 [&](const WinnerRecord& row) { return row.level == level; });
    return ofLevel;
}

}  // namespace ld::exporting
