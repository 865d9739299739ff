#include "app/common/draw_files.h"

#include <utility>

#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "services/files.h"
#include "services/local_time.h"

namespace ld {

namespace {

Text ResultsPath() { return files::InProgramDirectory(files::Results()); }

// '/' never occurs inside a GBK character, but '\' can be the second byte of one, which is
// part of a name and not a separator.
bool HoldsSeparator(std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        auto byte = static_cast<unsigned char>(name[i]);
        if (byte >= 0x80) {
            ++i;
        } else if (byte == '/' || byte == '\\') {
            return true;
        }
    }
    return false;
}

}  // namespace

Text FreeHistoryPath(const std::tm& time) {
    return FreeHistoryPath(time, Gbk("抽奖结果-"), ".txt");
}

Text FreeHistoryPath(const std::tm& time, const Text& stem, std::string_view extension) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &time);
    const Text base = files::InProgramDirectory(files::HistoryFolder()) + "/" + stem + stamp;
    Text path = base + Text(extension);
    for (int n = 2; FileExists(path); ++n) path = base + "-" + ToText(n) + Text(extension);
    return path;
}

ResultsFile::ResultsFile(Clock clock) : clock_(std::move(clock)) {}

std::tm ResultsFile::LocalTime() {
    return LocalTimeNow();
}

bool ResultsFile::keepEarlierResults(std::string_view resultsText) {
    if (historyCopy_) return true;
    std::optional<Bytes> old = TryReadWholeFile(ResultsPath());
    // A missing file reads as empty: nothing to keep. Content that the new text begins
    // with (a resumed run) is kept by the write itself.
    if (old && resultsText.substr(0, old->size()) == *old) return true;
    CreateFolder(files::InProgramDirectory(files::HistoryFolder()));  // may exist already
    Text copy = FreeHistoryPath(clock_());
    if (!CopyFileTo(ResultsPath(), copy)) return false;
    historyCopy_ = copy;
    return true;
}

ResultsFile::Outcome ResultsFile::write(std::string_view resultsText) {
    Outcome outcome;
    bool mayReplace = hasWritten_ || keepEarlierResults(resultsText);
    outcome.written = mayReplace && WriteWholeFile(ResultsPath(), resultsText);
    if (outcome.written) {
        hasWritten_ = true;
        warned_ = false;
    } else if (!warned_) {
        warned_ = true;
        outcome.warningDue = true;
    }
    return outcome;
}

Warning ResultsWarning() { return Warning{Gbk("抽奖结果保存失败，请检查磁盘！"), 48, Gbk("警告")}; }

Text ReadResults() { return ToTextBytes(ReadWholeFile(ResultsPath())); }

bool WritePickLog(std::string_view pickLogText) {
    Text path = files::InProgramDirectory(files::PickLog());
    // Never created here: the operator asks for the pick log by creating the file.
    if (!FileExists(path)) return false;
    return WriteWholeFile(path, pickLogText);
}

bool WriteStartupCopy(std::string_view poolText) {
    return WriteWholeFile(files::InProgramDirectory(files::StartupCopy()), poolText);
}

bool ProgressFileExists() { return FileExists(files::InProgramDirectory(files::Progress())); }

Text ReadProgress() {
    return ToTextBytes(ReadWholeFile(files::InProgramDirectory(files::Progress())));
}

bool WriteProgress(std::string_view poolText) {
    return WriteWholeFile(files::InProgramDirectory(files::Progress()), poolText);
}

std::array<int32_t, kLevelCount> ReadCounters() {
    std::array<int32_t, kLevelCount> counters{};
    for (int level = 1; level <= kLevelCount; ++level) {
        counters[static_cast<size_t>(level - 1)] = ConfigStore::readInt(keys::Counter(level));
    }
    return counters;
}

bool WriteCounters(const std::array<int32_t, kLevelCount>& savedDrawn) {
    bool allWritten = true;
    for (int level = 1; level <= kLevelCount; ++level) {
        int32_t value = savedDrawn[static_cast<size_t>(level - 1)];
        allWritten = ConfigStore::writeInt(keys::Counter(level), value) && allWritten;
    }
    return allWritten;
}

ResultsFile::Outcome AppendResult(DrawState& state, ResultsFile& results, std::string_view line) {
    state.appendResult(line);
    return results.write(state.resultsText);
}

bool LogPick(DrawState& state, std::string_view name) {
    state.logPick(name);
    return WritePickLog(state.pickLogText);
}

std::optional<Text> PhotoPathOf(std::string_view name) {
    if (name == ".." || HoldsSeparator(name)) return std::nullopt;
    return files::InProgramDirectory(files::PhotoPath(Text(name)));
}

}  // namespace ld
