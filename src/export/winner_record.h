// One winner as the winners file and the exports hold it. Texts are UTF-8.
#pragma once

#include <string>

namespace ld::exporting {

struct WinnerRecord {
    std::string time;        // ISO 8601 local time with seconds, e.g. "2026-12-08T20:15:03"
    std::string level;       // the prize level's name, e.g. "一等奖"
    int ordinal = 0;         // the winner's ordinal within the level (1-based)
    std::string name;        // the winner
    std::string photoFile;   // the photo's file name in the photo folder (may be empty)
    int poolSize = 0;        // names in the draw at the stop
    bool forfeited = false;  // 状态: false 中奖, true 放弃

    bool operator==(const WinnerRecord&) const = default;
};

}  // namespace ld::exporting
