// The files that carry the draw state, in their exact formats (GBK, CR LF): the results
// file 抽奖结果.txt, the pick log zj.txt, the start-up copy title.txt, the saved draw
// 进度.txt and the per-level counters in section jindu of peizhi.a.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string_view>

#include "app/common/draw_state.h"
#include "services/text.h"

namespace ld {

// The results file. It is rewritten whole after every stop and forfeit. Results of an
// earlier run are never lost silently: before the first write of a run replaces content
// that the new text does not begin with (a fresh run over an old file), the old file is
// copied to history/抽奖结果-YYYYMMDD-HHMMSS.txt; if that copy fails, the file is left alone
// and the write counts as failed. A failed write is reported once, until one succeeds.
class ResultsFile {
public:
    using Clock = std::function<std::tm()>;  // local time of the history stamp

    struct Outcome {
        bool written = false;
        bool warningDue = false;  // the operator is to be told now (ResultsWarning)
    };

    explicit ResultsFile(Clock clock = LocalTime);

    Outcome write(std::string_view resultsText);
    bool hasWritten() const { return hasWritten_; }
    // True from a failed write until one succeeds: winners are missing from the file.
    bool unsaved() const { return warned_; }
    // The history copy made by this run, if any (GBK path).
    const std::optional<Text>& historyCopy() const { return historyCopy_; }

    static std::tm LocalTime();

private:
    bool keepEarlierResults(std::string_view resultsText);

    Clock clock_;
    bool hasWritten_ = false;
    bool warned_ = false;
    std::optional<Text> historyCopy_;
};

struct Warning {
    Text text;
    int style = 0;
    Text caption;
};
// history/抽奖结果-YYYYMMDD-HHMMSS.txt for a copy made at `time`; a second copy within the
// same second gets a suffix rather than replacing the first.
Text FreeHistoryPath(const std::tm& time);
// The same for any file kept in history/: stem (GBK) + stamp + extension.
Text FreeHistoryPath(const std::tm& time, const Text& stem, std::string_view extension);

// "抽奖结果保存失败，请检查磁盘！", style 48, caption "警告".
Warning ResultsWarning();

// The whole results text; empty when the file is missing or unreadable.
Text ReadResults();

// Writes the PickLog text to zj.txt, only when that file already exists, replacing all of
// its content. False when the file is missing or the write failed.
bool WritePickLog(std::string_view pickLogText);
// title.txt, created or truncated.
bool WriteStartupCopy(std::string_view poolText);

bool ProgressFileExists();
// The text of 进度.txt up to its first zero byte; empty when missing or unreadable.
Text ReadProgress();
bool WriteProgress(std::string_view poolText);  // replaces the file atomically

// 计数1 … 计数8 of section jindu, truncated; absent keys read 0.
std::array<int32_t, kLevelCount> ReadCounters();
// Writes the counters in key order; false when any write failed (all are attempted).
bool WriteCounters(const std::array<int32_t, kLevelCount>& savedDrawn);

// The shared operations that change the state and write its file at once.
ResultsFile::Outcome AppendResult(DrawState& state, ResultsFile& results, std::string_view line);
bool LogPick(DrawState& state, std::string_view name);

// The photo of a participant: program directory + photo/<name>.jpg. A name that could lead
// outside the photo folder (it holds a '/' or '\' character or is "..") gives nullopt and
// is shown as an empty picture.
std::optional<Text> PhotoPathOf(std::string_view name);

}  // namespace ld
