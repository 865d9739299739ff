// The winners file (中奖记录.csv): one CSV line per recorded winner, appended as the draw goes,
// and read back for the exports. UTF-8 with a BOM and CR LF line ends, so a spreadsheet
// program opens it with the Chinese intact.
//
// Names come from phones, so a field that a spreadsheet would run as a formula (one starting
// with = + - @, a tab or a CR) is written with a leading apostrophe. To keep the round trip
// exact, a field that starts with apostrophes followed by one of those characters gets one
// apostrophe more, and reading takes exactly one away from such a field; every other field
// is left as it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/winner_record.h"

namespace ld::exporting {

// The BOM and the header line 时间,奖项,序号,姓名,照片,抽取时人数,状态 (CR LF ended).
std::string WinnersFileHeader();

// One line for one winner (CR LF ended); 状态 is 中奖, or 放弃 for a forfeit.
std::string WinnersFileLine(const WinnerRecord& record);

// The records of a winners file in file order. Accepts what a hand edit leaves: no BOM, no
// header, LF line ends. A line that does not make a whole record (wrong field count, a number
// that is none, another 状态) is skipped; a last line cut short by a crash never has a whole
// 状态, so it is left out the same way.
std::vector<WinnerRecord> ParseWinnersFile(std::string_view text);

}  // namespace ld::exporting
