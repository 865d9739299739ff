// From the winners file to what the exports show.
#pragma once

#include <string>
#include <vector>

#include "export/winner_record.h"

namespace ld::exporting {

// Each winner once, in the order drawn. The file records a forfeit as an extra 放弃 line
// repeating the winner's level, ordinal and name; it marks the latest earlier row of that
// level, ordinal and name that is not forfeited yet (the ordinal is drawn again after a
// forfeit, so it alone names nobody). A 放弃 line that matches no such row stays as a
// forfeited row of its own, so nothing in the file goes missing from an export.
std::vector<WinnerRecord> ExportRows(const std::vector<WinnerRecord>& log);

// The levels the rows hold, each once: those named in `levelOrder` first, in that order,
// then any other in the order of its first row. A level without rows is left out.
std::vector<std::string> LevelsInOrder(const std::vector<WinnerRecord>& rows,
                                       const std::vector<std::string>& levelOrder);

// The rows of one level, in the order drawn.
std::vector<WinnerRecord> RowsOfLevel(const std::vector<WinnerRecord>& rows,
                                      const std::string& level);

}  // namespace ld::exporting
