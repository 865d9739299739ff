// `luckydraw --verify <record>`: the verifier as a command. The sealed list (公证名单.txt) and
// the results file (抽奖结果.txt, checked when present) are read from the record's folder.
#pragma once

#include <string>

#include "services/text.h"

namespace ld::verify {

inline constexpr const char* kRecordFile = "公证记录.jsonl";      // UTF-8 names; Gbk() for paths
inline constexpr const char* kSealedListFile = "公证名单.txt";

struct VerifyOutcome {
    std::string report;  // UTF-8, LF line ends: the files, the winners per level, the verdict
    int exitCode = 1;    // 0 for 复核通过
};

// `recordPath` is GBK, as the files services take it.
VerifyOutcome VerifyRecordFile(const Text& recordPath);

}  // namespace ld::verify
