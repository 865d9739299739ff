// The verifier: the whole event replayed from its record and its sealed list, the chain and
// the commitment checked, every pick computed again and set against the recorded winner, and
// each winner's line found in the results file. Anyone can run it (luckydraw --verify) and a
// short script does the same with a standard library.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ld::verify {

struct Replay {
    std::vector<std::string> levels;  // "特等奖：张三、李四", the computed winners per level
    std::string verdict;              // 复核通过, or 复核未通过：<where it differs>
    bool passed() const { return verdict == "复核通过"; }
};

// `results`: 抽奖结果.txt as UTF-8 (CR LF lines), or nothing to leave it unchecked.
Replay ReplayEvent(std::string_view record, std::string_view sealedList,
                   std::optional<std::string_view> results);

// Who may win a level, by the sealed rule: the group is the text in the full-width brackets
// that end the name (张三（销售部）), trimmed of spaces; an excluded entry matches the whole
// name or the name without its group.
bool Allowed(std::string_view participant, const std::vector<std::string>& groups,
             const std::vector<std::string>& excluded);

}  // namespace ld::verify
