#include "app/common/draw_recovery.h"

#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "app/common/record_fields.h"
#include "services/files.h"

namespace ld {

namespace {

constexpr std::string_view kRecordHeader = "luckydraw recovery 1\n";
constexpr std::string_view kJournalHeader = "luckydraw save 1\n";

Text RecordPath() { return files::InProgramDirectory(files::RecoveryRecord()); }
Text JournalPath() { return files::InProgramDirectory(files::SaveJournal()); }
Text ProgressPath() { return files::InProgramDirectory(files::Progress()); }

struct Journal {
    std::array<int32_t, kLevelCount> savedDrawn{};
    Text poolText;
};

std::optional<Journal> DecodeJournal(std::string_view bytes) {
    FieldReader in(bytes);
    if (!in.header(kJournalHeader)) return std::nullopt;
    auto counters = in.counters();
    auto pool = in.text("pool");
    if (!counters || !pool || !in.atEnd()) return std::nullopt;
    return Journal{*counters, std::move(*pool)};
}

}  // namespace

Bytes EncodeRecoveryRecord(const RecoveryRecord& record) {
    Bytes out(kRecordHeader);
    PutText(out, "level", record.level);
    PutCounters(out, record.savedDrawn);
    PutText(out, "pool", record.poolText);
    PutText(out, "results", record.resultsText);
    PutText(out, "winners", record.winnersLog);
    return out;
}

std::optional<RecoveryRecord> DecodeRecoveryRecord(std::string_view bytes) {
    FieldReader in(bytes);
    if (!in.header(kRecordHeader)) return std::nullopt;
    auto level = in.text("level");
    auto counters = in.counters();
    auto pool = in.text("pool");
    auto results = in.text("results");
    if (!level || !counters || !pool || !results) return std::nullopt;
    RecoveryRecord record{std::move(*level), *counters, std::move(*pool), std::move(*results), {}};
    // Records written before the winners file existed end here.
    if (!in.atEnd()) {
        auto winners = in.text("winners");
        if (!winners || !in.atEnd()) return std::nullopt;
        record.winnersLog = std::move(*winners);
    }
    return record;
}

bool WriteRecoveryRecord(const RecoveryRecord& record) {
    return WriteWholeFile(RecordPath(), EncodeRecoveryRecord(record));
}

bool RecoveryRecordExists() { return FileExists(RecordPath()); }

std::optional<RecoveryRecord> ReadRecoveryRecord() {
    std::optional<Bytes> bytes = TryReadWholeFile(RecordPath());
    if (!bytes || bytes->empty()) return std::nullopt;
    return DecodeRecoveryRecord(*bytes);
}

std::optional<Text> KeepRecoveryRecordAside() {
    CreateFolder(files::InProgramDirectory(files::HistoryFolder()));  // may exist already
    const Text path = FreeHistoryPath(ResultsFile::LocalTime(), Gbk("恢复记录-"), ".dat");
    if (!MoveFileTo(RecordPath(), path)) return std::nullopt;
    return path;
}

bool DeleteRecoveryRecord() {
    DeleteFileAt(RecordPath());  // a missing record is no error
    return !FileExists(RecordPath());
}

std::optional<Text> SaveDrawForResume(const std::array<int32_t, kLevelCount>& savedDrawn,
                                      std::string_view poolText) {
    const Journal journal{savedDrawn, Text(poolText)};
    Bytes encoded(kJournalHeader);
    PutCounters(encoded, journal.savedDrawn);
    PutText(encoded, "pool", journal.poolText);
    // The configuration as it was, to put back when the save cannot be completed. 进度.txt
    // is written last and in one step, so a failed save never changed it.
    const std::optional<Bytes> oldConfig = TryReadWholeFile(ConfigStore::path());
    // The operator knows the two files, not the journal: the first of them is named.
    if (!oldConfig || !WriteWholeFile(JournalPath(), encoded)) return ConfigStore::path();
    std::optional<Text> failed;
    if (!WriteCounters(journal.savedDrawn)) {
        failed = ConfigStore::path();
    } else if (!WriteProgress(journal.poolText)) {
        failed = ProgressPath();
    }
    if (failed) {
        // When even that fails, the journal stays and the next start finishes the save.
        const bool unchanged = TryReadWholeFile(ConfigStore::path()) == oldConfig;
        if (unchanged || WriteWholeFile(ConfigStore::path(), *oldConfig))
            DeleteFileAt(JournalPath());
        return failed;
    }
    // A journal left behind would redo this save over a later one.
    if (!DeleteFileAt(JournalPath())) return JournalPath();
    return std::nullopt;
}

void FinishInterruptedSave() {
    std::optional<Bytes> bytes = TryReadWholeFile(JournalPath());
    if (!bytes || bytes->empty()) return;
    std::optional<Journal> journal = DecodeJournal(*bytes);
    // A journal that is not whole was never committed: the files are still the old ones.
    if (!journal || (WriteCounters(journal->savedDrawn) && WriteProgress(journal->poolText)))
        DeleteFileAt(JournalPath());
}

}  // namespace ld
