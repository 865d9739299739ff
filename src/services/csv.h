// The little CSV that the check-in log, the name lists and the winners file need: fields separated
// by commas, quoted when they hold a comma, a quote or a line end, quotes doubled inside quotes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ld {

std::string CsvField(std::string_view value);
std::string CsvLine(const std::vector<std::string>& fields);  // ended by CR LF

// The writer for every CSV the program writes: names come from phones, so a field that a
// spreadsheet would run as a formula (one starting with = + - @, a tab or a CR) gets a
// leading apostrophe. To keep the round trip exact, a field that starts with apostrophes
// followed by one of those characters gets one apostrophe more; UnguardedCsvField takes
// exactly one away from such a field and leaves every other field as it is.
std::string GuardedCsvLine(const std::vector<std::string>& fields);  // ended by CR LF
std::string UnguardedCsvField(std::string value);

// The lines of a CSV text, each split into its fields; empty lines are skipped. A quoted
// field may span lines. Files made by hand are read leniently, so that one stray quote
// cannot swallow the rest of a file: a quote opens a quoted field only at the field's start
// and only when it closes right before a comma or a line end; any other quote is taken as
// it stands, and its line ends at its line end.
std::vector<std::vector<std::string>> ParseCsv(std::string_view text);

}  // namespace ld
