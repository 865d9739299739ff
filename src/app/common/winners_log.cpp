#include "app/common/winners_log.h"

#include <ctime>
#include <map>

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "export/winners_file.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

Text LogPath() { return files::InProgramDirectory(WinnersLogName()); }

std::string Stamp(const char* format) {
    const std::tm now = ResultsFile::LocalTime();
    char text[32];
    std::strftime(text, sizeof text, format, &now);
    return text;
}

// The photo's file name as it stands in the folder (its extension may be .JPG).
std::string PhotoFileName(const Text& name) {
    const std::optional<Text> path = PhotoPathOf(name);
    if (!path) return {};
    const std::string found = ResolveExistingPath(*path);
    return found.substr(found.rfind('/') + 1);
}

}  // namespace

std::optional<Text> KeepWinnersLogInHistory() {
    const std::optional<Bytes> old = TryReadWholeFile(LogPath());
    if (!old && FileExists(LogPath())) return std::nullopt;  // there, but cannot be kept
    if (!old || old->empty()) return Text();
    CreateFolder(files::InProgramDirectory(files::HistoryFolder()));  // may exist already
    const Text path = FreeHistoryPath(ResultsFile::LocalTime(), Gbk("中奖记录-"), ".csv");
    if (!CopyFileTo(LogPath(), path)) return std::nullopt;
    return path;
}

namespace {

void Append(const std::vector<exporting::WinnerRecord>& records) {
    WinnersLogState& log = State().winnersLog;
    if (!log.text) {
        // A fresh run: the earlier run's file goes to history/ before the first write.
        log.text = exporting::WinnersFileHeader();
        log.keepEarlier = true;
    }
    for (const exporting::WinnerRecord& r : records) *log.text += exporting::WinnersFileLine(r);
}

}  // namespace

Text WinnersLogName() { return Gbk("中奖记录.csv"); }

std::vector<size_t> LogWinners(const std::vector<Text>& names, const Text& level,
                               const std::vector<int32_t>& ordinals, size_t rollSize) {
    const std::string time = Stamp("%Y-%m-%dT%H:%M:%S");
    WinnersLogState& log = State().winnersLog;
    const size_t stop = log.stopOf.empty() ? 0 : log.stopOf.back() + 1;
    std::vector<exporting::WinnerRecord> records;
    std::vector<size_t> entries;
    for (size_t i = 0; i < names.size(); ++i) {
        exporting::WinnerRecord r;
        r.time = time;
        r.level = GbkToUtf8(level);
        r.ordinal = i < ordinals.size() ? ordinals[i] : 0;
        r.name = GbkToUtf8(names[i]);
        r.photoFile = PhotoFileName(names[i]);
        r.poolSize = static_cast<int>(rollSize);
        ConsoleWinner entry;
        entry.time = Text(time.substr(11));
        entry.level = level;
        entry.name = names[i];
        entry.ordinal = r.ordinal;
        records.push_back(std::move(r));
        entries.push_back(log.run.size());
        log.run.push_back(std::move(entry));
        log.stopOf.push_back(stop);
    }
    Append(records);
    return entries;
}

void LogForfeit(const Text& level, int32_t ordinal, const Text& name,
                std::optional<size_t> runEntry) {
    exporting::WinnerRecord r;
    r.time = Stamp("%Y-%m-%dT%H:%M:%S");
    r.level = GbkToUtf8(level);
    r.ordinal = ordinal;
    r.name = GbkToUtf8(name);
    r.photoFile = PhotoFileName(name);
    r.forfeited = true;
    if (runEntry && *runEntry < State().winnersLog.run.size())
        State().winnersLog.run[*runEntry].forfeited = true;
    Append({r});
}

std::optional<size_t> LatestRunEntry(const Text& level, const Text& name) {
    const std::vector<ConsoleWinner>& run = State().winnersLog.run;
    for (size_t i = run.size(); i-- > 0;) {
        if (!run[i].forfeited && run[i].level == level && run[i].name == name) return i;
    }
    return std::nullopt;
}

void ContinueWinnersLog() {
    const std::optional<Bytes> old = TryReadWholeFile(LogPath());
    State().winnersLog.text = old && !old->empty() ? *old : exporting::WinnersFileHeader();
}

void RecoverWinnersLog(const Bytes& text) {
    if (text.empty()) return ContinueWinnersLog();  // a record from before the file existed
    WinnersLogState& log = State().winnersLog;
    log.text = text;
    const std::optional<Bytes> onDisk = TryReadWholeFile(LogPath());
    if (onDisk == text) return;
    // A file that continues the record has winners the record missed (its write failed):
    // the file is the later truth.
    if (onDisk && std::string_view(*onDisk).starts_with(text)) {
        log.text = *onDisk;
        return;
    }
    // A file that the record does not continue is an earlier run's (the crash came before
    // this run's first write had kept it): into history/ first, as a fresh run does.
    log.keepEarlier = !(onDisk && std::string_view(text).starts_with(*onDisk));
    SaveWinnersLog();
}

void SaveWinnersLog() {
    WinnersLogState& log = State().winnersLog;
    if (!log.text) return;
    if (log.keepEarlier && KeepWinnersLogInHistory()) log.keepEarlier = false;
    const bool written = !log.keepEarlier && WriteWholeFile(LogPath(), *log.text);
    log.unsaved = !written;
    // The records stay in memory and reach the file with the next write that succeeds. Told
    // once until then, and not while the results file fails too: its warning says it all.
    if (written) {
        log.warned = false;
    } else if (!log.warned && !State().results->unsaved()) {
        log.warned = true;
        host().dialogs->showMessage(Gbk("中奖记录.csv 保存失败，请检查磁盘！"), 48, Gbk("警告"));
    }
}

bool WinnersLogUnsaved() { return State().winnersLog.unsaved; }

void RestoreFreedPlaces(const LevelTexts& levels) {
    std::array<std::vector<int32_t>, kLevelCount>& freed = State().freedOrdinals;
    for (std::vector<int32_t>& places : freed) places.clear();
    const std::optional<Bytes>& text = State().winnersLog.text;
    if (!text) return;
    // A place is free when its latest row is a forfeit: a later winner fills it again.
    std::map<std::pair<int, int>, bool> givenUp;
    for (const exporting::WinnerRecord& r : exporting::ParseWinnersFile(*text)) {
        const std::optional<std::string> gbk = Utf8ToGbk(r.level);
        const std::optional<int> level = gbk ? LevelOf(*gbk, levels) : std::nullopt;
        if (level && r.ordinal > 0) givenUp[{*level, r.ordinal}] = r.forfeited;
    }
    for (const auto& [place, free] : givenUp)
        if (free) freed[static_cast<size_t>(place.first - 1)].push_back(place.second);
}

Bytes WinnersLogText() { return State().winnersLog.text.value_or(Bytes()); }

const ConsoleWinner& RunEntry(size_t entry) { return State().winnersLog.run.at(entry); }

std::vector<size_t> RunEntriesNewestFirst() {
    const WinnersLogState& log = State().winnersLog;
    std::vector<size_t> entries;
    // Stops newest first, the winners of a batch in tile order.
    size_t end = log.run.size();
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && log.stopOf[begin - 1] == log.stopOf[end - 1]) --begin;
        for (size_t i = begin; i < end; ++i) entries.push_back(i);
        end = begin;
    }
    return entries;
}

}  // namespace ld::app
