#include "app/draw/draw_levels.h"

#include <cmath>

#include "app/common/app_state.h"
#include "app/common/draw_recovery.h"
#include "app/common/winners_log.h"
#include "services/host.h"
#include "ui/gui.h"

namespace ld::app {

namespace {

// 编辑框_中奖人 followed by the level digit once, twice or three times.
Text DesignatedField(int level, int rank) {
    return Gbk("编辑框_中奖人") + Text(static_cast<size_t>(rank), static_cast<char>('0' + level));
}

Text FieldText(const Text& gbkName) { return Stage().control(gbkName).text(); }

}  // namespace

Text SelectorText() { return StageControl("组合框1").text(); }

LevelTexts LevelNames() {
    LevelTexts names;
    for (int level = 1; level <= kLevelCount; ++level)
        names[static_cast<size_t>(level - 1)] = FieldText(Gbk("编辑框_奖项") + ToText(level));
    return names;
}

Text LevelCountText(int level) { return FieldText(Gbk("编辑框_奖项人数") + ToText(level)); }

std::optional<int> SelectedLevel() { return LevelOf(SelectorText(), LevelNames()); }

int32_t& LevelField(std::array<int32_t, kLevelCount>& field, int level) {
    return field[static_cast<size_t>(level - 1)];
}

bool LevelFoundComplete(const DrawState& state, int level) {
    const double count = ToNumber(LevelCountText(level));
    return std::fabs(state.doneMark[static_cast<size_t>(level - 1)] - count) < 1e-7;
}

std::optional<int> CompleteLevelNamed(const DrawState& state, std::string_view selector) {
    const LevelTexts names = LevelNames();
    for (int level = 1; level <= kLevelCount; ++level) {
        if (names[static_cast<size_t>(level - 1)] == selector && LevelFoundComplete(state, level))
            return level;
    }
    return std::nullopt;
}

DesignatedWinners DesignatedWinnersOf(std::optional<int> level) {
    if (!level) return {};
    return {FieldText(DesignatedField(*level, 1)), FieldText(DesignatedField(*level, 2)),
            FieldText(DesignatedField(*level, 3))};
}

std::vector<Text> AllDesignatedWinners() {
    std::vector<Text> winners;
    for (int rank = 1; rank <= kDesignatedPerLevel; ++rank) {
        for (int level = 1; level <= kLevelCount; ++level)
            winners.push_back(FieldText(DesignatedField(level, rank)));
    }
    return winners;
}

namespace {

bool WriteRecordWith(std::string_view pendingLine) {
    const DrawState& state = State().draw;
    const bool written =
        WriteRecoveryRecord({SelectorText(), state.savedDrawn, state.poolText,
                             state.resultsText + Text(pendingLine), WinnersLogText()});
    RecordWrites& record = State().record;
    record.unsaved = !written;
    if (written) record.warned = false;
    return written;
}

}  // namespace

ResultsFile::Outcome RecordResultLine(std::string_view line) {
    WriteRecordWith(line);
    return AppendResult(State().draw, *State().results, line);
}

void SaveRecoveryRecord() {
    WriteRecordWith({});
    ReportResultsWrite({});
}

Text UnsavedResultsMarker() { return Gbk("中奖结果未保存"); }

Text RecordWarning() {
    return Gbk("崩溃恢复记录保存失败，请检查磁盘！程序意外退出时，最近的抽奖将无法恢复。");
}

void ReportResultsWrite(const ResultsFile::Outcome& outcome) {
    if (outcome.warningDue) {
        const Warning warning = ResultsWarning();
        host().dialogs->showMessage(warning.text, warning.style, warning.caption);
    }
    // Told once until a write succeeds, and not while the results fail too: their warning
    // says it all.
    RecordWrites& record = State().record;
    const bool resultsUnsaved = State().results->unsaved();
    if (record.unsaved && !record.warned && !resultsUnsaved) {
        record.warned = true;
        host().dialogs->showMessage(RecordWarning(), msg::kIconWarning, Gbk("警告"));
    }
    if (hasGui()) {
        gui().setStageNotice(Stage(),
                             resultsUnsaved || record.unsaved ? UnsavedResultsMarker() : Text());
    }
}

void FocusStartButton() {
    if (hasGui()) gui().setFocus(StageControl("超级按钮"));
}

}  // namespace ld::app
