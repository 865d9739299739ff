// The little CSV that the check-in log, the name lists and the winners file need: fields separated by commas,
// quoted when they hold a comma, a quote or a line end, quotes doubled inside quotes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ld {

std::string CsvField(std::string_view value);
std::string CsvLine(const std::vector<std::string>& fields);  // ended by CR LF

// The lines of a CSV text, each split into its fields. A quoted field may span lines.
std::vector<std::vector<std::string>> ParseCsv(std::string_view text);

}  // namespace ld
