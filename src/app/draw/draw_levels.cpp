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

ResultsFile::Outcome RecordResultLine(std::string_view line) {
    DrawState& state = State().draw;
    WriteRecoveryRecord({SelectorText(), state.savedDrawn, state.poolText,
                         state.resultsText + Text(line), WinnersLogText()});
    return AppendResult(state, *State().results, line);
}

Text UnsavedResultsMarker() { return Gbk("中奖结果未保存"); }

void ReportResultsWrite(const ResultsFile::Outcome& outcome) {
    if (outcome.warningDue) {
        const Warning warning = ResultsWarning();
        host().dialogs->showMessage(warning.text, warning.style, warning.caption);
    }
    if (hasGui())
        gui().setStageNotice(Stage(), State().results->unsaved() ? UnsavedResultsMarker() : Text());
}

void FocusStartButton() {
    if (hasGui()) gui().setFocus(StageControl("超级按钮"));
}

}  // namespace ld::app
