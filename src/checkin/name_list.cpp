#include "checkin/name_list.h"

#include "checkin/checkin_desk.h"
#include "services/csv.h"
#include "services/encoding.h"

namespace ld::checkin {

namespace {

constexpr size_t kReasonsShown = 5;

std::string AsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return GbkToUtf8(bytes);
}

}  // namespace

std::vector<ListEntry> ReadNameList(std::string_view bytes) {
    std::vector<ListEntry> entries;
    bool first = true;
    for (std::vector<std::string>& row : ParseCsv(AsUtf8(bytes))) {
        if (row.size() == 1 && row[0].find('\t') != std::string::npos) {
            const std::string line = row[0];
            const size_t tab = line.find('\t');
            row = {line.substr(0, tab), line.substr(tab + 1)};
        }
        const bool header = first && TrimName(row[0]) == "姓名";
        first = false;
        if (header || TrimName(row[0]).empty()) continue;
        entries.push_back({row[0], row.size() > 1 ? row[1] : std::string()});
    }
    return entries;
}

ImportReport ImportNameList(Desk& desk, const std::vector<ListEntry>& entries,
                            const std::atomic<bool>* stop,
                            const std::function<void(int done, int total)>& progress) {
    ImportReport report;
    const auto total = static_cast<int>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        // Every tenth name: a name card takes a few milliseconds, the note a UI-thread post.
        if (progress && i % 10 == 0) progress(static_cast<int>(i), total);
        if (stop && *stop) {
            report.notReached = static_cast<int>(entries.size() - i);
            break;
        }
        const ListEntry& entry = entries[i];
        const Outcome outcome = desk.addFromList(entry.name, entry.department);
        switch (outcome.status) {
            case Outcome::Status::Joined:
            case Outcome::Status::Replaced:
                ++report.added;
                break;
            case Outcome::Status::Exists:
                ++report.existing;
                break;
            case Outcome::Status::Refused:
                ++report.refused;
                if (report.reasons.size() < kReasonsShown)
                    report.reasons.push_back(entry.name + "：" + outcome.message);
                break;
        }
    }
    if (progress) progress(total - report.notReached, total);
    return report;
}

std::string ImportSummary(const ImportReport& report) {
    std::string text = std::string(report.notReached ? "名单导入已停止" : "名单导入完成") +
                       "：新增 " + std::to_string(report.added) + " 人，已有照片跳过 " +
                       std::to_string(report.existing) + " 人，无法导入 " +
                       std::to_string(report.refused) + " 人。";
    if (report.notReached) {
        text += "名单中还有 " + std::to_string(report.notReached) +
                " 人没有导入，下次再导入这份名单即可补上（已导入的人会自动跳过）。";
    }
    for (const std::string& reason : report.reasons) text += "\r\n" + reason;
    if (report.refused > static_cast<int>(report.reasons.size())) text += "\r\n……";
    return text;
}

}  // namespace ld::checkin
