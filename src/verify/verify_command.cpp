#include "verify/verify_command.h"

#include <optional>

#include "services/encoding.h"
#include "services/files.h"
#include "verify/audit_record.h"
#include "verify/replay.h"

namespace ld::verify {

namespace {

// Paths come with '/' only (the Windows host turns '\\' into '/' while the path is still
// UTF-16): a GBK character's second byte may be '\\', never '/'.
Text FolderOf(const Text& path) {
    const size_t slash = path.rfind('/');
    return slash == Text::npos ? Text() : path.substr(0, slash + 1);
}

}  // namespace

VerifyOutcome VerifyRecordFile(const Text& recordPath) {
    VerifyOutcome out;
    const Text folder = FolderOf(recordPath);
    const Text listPath = folder + Gbk(kSealedListFile), resultsPath = folder + Gbk("抽奖结果.txt");
    out.report = "公证记录：" + GbkToUtf8(recordPath) + "\n";
    const std::optional<Bytes> record = TryReadWholeFile(recordPath);
    const std::optional<Bytes> list = TryReadWholeFile(listPath);
    if (!record || record->empty()) {
        out.report += "复核未通过：读不到公证记录\n";
        return out;
    }
    if (!list || list->empty()) {
        out.report += "复核未通过：读不到封存的名单 " + GbkToUtf8(listPath) + "\n";
        return out;
    }
    out.report += "封存的名单：" + GbkToUtf8(listPath) + "\n";
    std::optional<std::string> results;
    if (FileExists(resultsPath)) {
        // The results file is GBK; the record names the winners in UTF-8.
        results = GbkToUtf8(ReadWholeFile(resultsPath));
        out.report += "抽奖结果：" + GbkToUtf8(resultsPath) + "\n";
    } else {
        out.report += "抽奖结果：没有找到，不核对\n";
    }
    const Replay replay = ReplayEvent(*record, *list, results);
    if (replay.passed()) {
        // What the hall saw on the stage, to compare with the report.
        const ReadRecord read = ReadAuditRecord(*record);
        std::string digits;
        for (const AuditEntry& e : read.entries)
            if (e.type == "seed") digits = e.fields.at("digits");
        out.report += "记录：" + std::to_string(read.entries.size()) + " 条，前后相接\n" +
                      "名单指纹：" + read.entries[0].fields.at("fingerprint") + "\n" +
                      "承诺：" + read.entries[0].fields.at("commitment") + "（与公布的密钥相符）\n" +
                      "现场数字：" + digits + "\n";
    }
    for (const std::string& line : replay.levels) out.report += line + "\n";
    out.report += replay.verdict + "\n";
    out.exitCode = replay.passed() ? 0 : 1;
    return out;
}

}  // namespace ld::verify
