// Text as a workbook accepts it. Names may come from a hand-edited file, and a workbook with
// a bad byte or a bad sheet name is one that Excel refuses to open at all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ld::exporting {

// Valid UTF-8 (bad bytes, U+FFFE and U+FFFF become U+FFFD), cut to what one cell holds.
std::string CellText(std::string_view text);

// A sheet name for `wanted` that Excel accepts and that differs, ignoring case, from every
// name in `taken` (to which it is added): none of []:*?/\ and control characters, no
// apostrophe at either end, not the reserved "History", at most 31 characters.
std::string UniqueSheetName(std::string_view wanted, std::vector<std::string>& taken);

// Roughly how many digit widths a spreadsheet needs to show the text: Chinese characters
// count two.
int DisplayWidth(std::string_view text);

}  // namespace ld::exporting
