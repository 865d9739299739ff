// 中奖名单.csv: the export rows in the winners file's own format.
#pragma once

#include <string>
#include <vector>

#include "export/winner_record.h"

namespace ld::exporting {

// Writes `rows` (see ExportRows) with the winners file's header and lines, atomically.
// False when the file could not be written; an older file at `fsPath` is then kept.
bool WriteWinnersCsv(const std::string& fsPath, const std::vector<WinnerRecord>& rows);

}  // namespace ld::exporting
