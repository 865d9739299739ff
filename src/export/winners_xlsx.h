// 中奖名单.xlsx: every winner on the sheet 全部中奖人 in the order drawn, and a sheet per level.
#pragma once

#include <string>
#include <vector>

#include "export/winner_record.h"

namespace ld::exporting {

// Writes `rows` (see ExportRows) to a workbook: 全部中奖人 first, then one sheet per level
// that has rows, those in `levelOrder` first (see LevelsInOrder). Every sheet has the
// winners file's columns under a bold, frozen header row; a forfeited winner's row is struck
// through. Written under a temporary name and renamed, so a failure leaves no half file;
// false when it could not be written. `verifiedLines` (UTF-8, from a verified draw) make one
// more sheet, 公证信息, after the others; without them the workbook is as it always was.
bool WriteWinnersXlsx(const std::string& fsPath, const std::vector<WinnerRecord>& rows,
                      const std::vector<std::string>& levelOrder,
                      const std::vector<std::string>& verifiedLines = {});

}  // namespace ld::exporting
