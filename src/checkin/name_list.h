// A list of participants brought by the operator (导入名单): .txt or .csv, UTF-8 or GBK,
// one person a line, the name first and an optional department second. Everyone without a
// photo gets a name card and joins the draw.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ld::checkin {

class Desk;

struct ListEntry {
    std::string name, department;  // UTF-8, as written
};

// The entries of a list file's bytes: the encoding detected (a UTF-8 BOM or valid UTF-8,
// else GBK), CSV quotes handled, a first line whose first cell reads 姓名 taken as a
// header, empty lines skipped. A line without a comma may separate its columns by a tab.
std::vector<ListEntry> ReadNameList(std::string_view bytes);

struct ImportReport {
    int added = 0, existing = 0, refused = 0;
    int notReached = 0;                // left when the import was stopped
    std::vector<std::string> reasons;  // the first few refusals: "name: why" (UTF-8)
};

// Stops between two entries once `stop` is set (the program is ending). `progress`, when
// given, hears how many entries are done out of how many, now and then and at the end.
ImportReport ImportNameList(Desk& desk, const std::vector<ListEntry>& entries,
                            const std::atomic<bool>* stop = nullptr,
                            const std::function<void(int done, int total)>& progress = {});

// The operator's summary, in Chinese (UTF-8).
std::string ImportSummary(const ImportReport& report);

}  // namespace ld::checkin
