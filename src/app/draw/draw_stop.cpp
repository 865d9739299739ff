// The stop: the winner is picked, shown, designated in the last draws of a level, recorded.
#include <algorithm>

#include "app/common/app_state.h"
#include "app/common/winners_log.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_engine.h"
#include "app/draw/draw_engine_parts.h"
#include "app/draw/draw_phase.h"
#include "app/draw/verified_event.h"
#include "app/draw/winner_sound.h"
#include "services/host.h"
#include "services/random.h"

namespace ld::app {

namespace {

std::unique_ptr<FairPicker>& PickerSlot() {
    static std::unique_ptr<FairPicker> picker;
    return picker;
}

void ShowWinner(const Text& name) {
    StageControl("透明标签_中奖人").setTextValue(name);
    StageControl("图片框_照片").setText(prop::kPicture, WholePhotoOf(name));
}

// The ordinals of the next `n` winners of the selected level: places freed by a winner who
// gave up first, lowest first, then new ones. Without a forfeit, nextOrdinal onwards.
std::vector<int32_t> StopOrdinals(const DrawState& state, size_t n) {
    std::vector<int32_t> freed;
    if (const std::optional<int> level = SelectedLevel())
        freed = State().freedOrdinals[static_cast<size_t>(*level - 1)];
    std::sort(freed.begin(), freed.end());
    std::vector<int32_t> ordinals;
    int32_t next = state.nextOrdinal + static_cast<int32_t>(freed.size());
    for (size_t i = 0; i < n; ++i) ordinals.push_back(i < freed.size() ? freed[i] : next++);
    return ordinals;
}

// The freed places that a stop of `n` winners filled are no longer free.
void FillFreedPlaces(size_t n) {
    const std::optional<int> level = SelectedLevel();
    if (!level) return;
    std::vector<int32_t>& freed = State().freedOrdinals[static_cast<size_t>(*level - 1)];
    std::sort(freed.begin(), freed.end());
    freed.erase(freed.begin(), freed.begin() + static_cast<long>(std::min(n, freed.size())));
}

// The designated winner of an ordinal, if any: in the last three draws of a level its
// designated winners, third to first, take the place of the random pick on screen and in
// the results; the pick itself stays logged.
const Text* DesignatedFor(const DrawState& state, const DesignatedWinners& designated,
                          int64_t ordinal) {
    const int64_t count = int64_t{state.levelLimit} - 1;
    if (ordinal == count && !designated.first.empty()) return &designated.first;
    if (ordinal == count - 1 && !designated.second.empty()) return &designated.second;
    if (ordinal == count - 2 && !designated.third.empty()) return &designated.third;
    return nullptr;
}

void ShowProgress(const Text& selector, int32_t ordinal) {
    Control& progress = StageControl("透明标签_抽取进度");
    const Text text = ProgressText(selector, ordinal);
    progress.setTextValue(text);
    progress.setWidth(ProgressWidth(text));
    progress.setInt(prop::kTextColor, StageControl("透明标签_副标题").getInt(prop::kTextColor));
}

// Records the winners shown at a stop, in order: one results line each, in one write.
void Record(DrawState& state, const std::vector<Text>& shown, const Text& congratulation) {
    const Text selector = SelectorText();
    const int firstLine = ResultsLineCount(state.resultsText) + 1;
    const std::vector<int32_t> ordinals = StopOrdinals(state, shown.size());
    const auto last = static_cast<int32_t>(state.nextOrdinal + std::ssize(shown) - 1);
    if (std::optional<int> level = SelectedLevel()) LevelField(state.savedDrawn, *level) = last;
    StageControl("透明标签_恭喜").setTextValue(congratulation);
    host().sound->playSound(WinnerSound(), false);
    const std::vector<size_t> entries =
        LogWinners(shown, selector, ordinals, state.rollList.size());
    FillFreedPlaces(shown.size());
    if (shown.size() > 1) {
        State().lastBatch = LastBatch{selector, entries};
    } else {
        State().lastBatch.reset();
    }
    Text lines;
    // Results edited by hand may end without a line end: a verified winner's line must be
    // his own, where the record says it is.
    if (OpenVerifiedEvent() && !state.resultsText.empty() && !state.resultsText.ends_with("\r\n"))
        lines = "\r\n";
    for (const Text& name : shown) lines += WinnerLine(name, selector);
    const ResultsFile::Outcome written = RecordResultLine(lines);
    // After the results: they are the ledger, and a recovery finds a stop whose entry the
    // record lost.
    if (VerifiedEvent* event = OpenVerifiedEvent())
        RecordVerifiedStop(*event, selector, shown, firstLine);
    ShowProgress(selector, last);
    state.nextOrdinal = last + 1;
    // Told only now: the warning's message box runs a nested loop, and the draw is
    // complete by this point.
    ReportResultsWrite(written);
    SaveWinnersLog();
    if (!StageControl("选择框_禁用特效").getBool(prop::kChecked)) Celebrate();
}

bool RepeatsAllowed() { return StageControl("选择框_是否允许重复抽奖").getBool(prop::kChecked); }

// The 1-based place of a name in the roll list; 0 when it is not there.
int32_t RollIndexOf(const DrawState& state, const Text& name) {
    const auto it = std::find(state.rollList.begin(), state.rollList.end(), name);
    return it == state.rollList.end() ? 0 : static_cast<int32_t>(it - state.rollList.begin() + 1);
}

}  // namespace

FairPicker& WinnerPicker() {
    std::unique_ptr<FairPicker>& picker = PickerSlot();
    if (!picker) picker = std::make_unique<FairPicker>();
    return *picker;
}

void SeedWinnerPickerForTest(uint64_t seed) { PickerSlot() = std::make_unique<FairPicker>(seed); }

void StopRoll(const DesignatedWinners& designated) {
    DrawState& state = State().draw;
    SeedRandom();  // the roll ticks and the celebration go on from a fresh sequence
    const auto n = static_cast<int32_t>(state.rollList.size());
    if (n == 0) {  // no start has filled the roll list: back to idle
        StopRollTimer();
        StageControl("超级按钮").setTextValue(StartCaption());
        ShowNoPhotosMessage();
        NotifyDrawPhase(DrawPhase::Idle);
        return;
    }
    if (BatchGridShown()) {  // the level's count changed during the roll
        HideBatchGrid();
        StageControl("图片框_照片").setVisible(true);
    }
    // A verified event's winner is its next keyed pick; the roll was only the show.
    std::optional<Text> verified;
    if (VerifiedEvent* event = OpenVerifiedEvent()) {
        verified = NextVerifiedPick(*event, SelectorText());
        if (!verified) {
            StopRollTimer();
            StageControl("超级按钮").setTextValue(StartCaption());
            ShowNoPhotosMessage();
            NotifyDrawPhase(DrawPhase::Idle);
            return;
        }
    }
    state.currentIndex = verified ? RollIndexOf(state, *verified) : WinnerPicker().pick(n);
    const Text picked = verified ? *verified : state.rollName(state.currentIndex);

    Control& photo = StageControl("图片框_照片");
    photo.setText(prop::kPicture, PreviewOf(picked));
    StopRollTimer();
    host().sound->stopSound();
    // A verified winner wins once, whatever the box says now (the seal wanted it off).
    if (!RepeatsAllowed() || verified) state.removePoolLine(picked);
    state.pickedName = picked;
    LogPick(state, picked);
    photo.setText(prop::kPicture, WholePhotoOf(picked));
    StageControl("时钟_开始").setInt(prop::kInterval, 200);
    StageControl("透明标签_中奖人").setTextValue(picked);
    Control& congratulation = StageControl("透明标签_恭喜");
    const FontValue font = congratulation.getFont(prop::kTransFont);
    congratulation.setHeight(SaturateToInt32(2 * font.sizePoints()));
    congratulation.setVisible(true);
    StageControl("超级按钮").setDisabled(true);

    if (const Text* name = DesignatedFor(state, designated, StopOrdinals(state, 1)[0]))
        ShowWinner(*name);
    const Text shown = StageControl("透明标签_中奖人").text();
    Record(state, {shown}, Gbk("恭喜您： ") + shown + "  " + SelectorText());
}

void StopBatch(const DesignatedWinners& designated, int tiles) {
    DrawState& state = State().draw;
    SeedRandom();
    // With repeats allowed the level's designated winners are still in the roll; a random
    // tile must not show one of them a second time.
    std::vector<Text> excluded;
    if (RepeatsAllowed()) {
        for (const Text* name : {&designated.first, &designated.second, &designated.third})
            if (!name->empty()) excluded.push_back(*name);
    }
    std::vector<Text> winners;
    int32_t lastIndex = 0;  // the last winner's place in the roll list
    if (VerifiedEvent* event = OpenVerifiedEvent()) {
        // The caller left no more tiles than the level has sealed names to draw.
        for (int i = 0; i < tiles; ++i)
            if (std::optional<Text> pick = NextVerifiedPick(*event, SelectorText()))
                winners.push_back(*pick);
        if (winners.empty()) return StopRoll(designated);  // tells that nobody is left
        lastIndex = RollIndexOf(state, winners.back());
    } else {
        const std::vector<size_t> picks = PickDistinctNames(
            WinnerPicker(), state.rollList, static_cast<size_t>(tiles), excluded);
        if (picks.size() <= 1) {  // not two distinct names left to draw: a single stop
            StopRoll(designated);
            return;
        }
        for (size_t index : picks) winners.push_back(state.rollList[index]);
        lastIndex = static_cast<int32_t>(picks.back() + 1);
    }
    if (!RepeatsAllowed() || OpenVerifiedEvent())
        DrawState::RemovePoolLines(state.poolText, winners);
    for (const Text& name : winners) state.logPick(name);
    WritePickLog(state.pickLogText);
    state.currentIndex = lastIndex;
    state.pickedName = winners.back();

    // Designated winners keep their ordinals: the tile that draws that ordinal shows them.
    const std::vector<int32_t> ordinals = StopOrdinals(state, winners.size());
    for (size_t i = 0; i < winners.size(); ++i) {
        if (const Text* name = DesignatedFor(state, designated, ordinals[i])) winners[i] = *name;
    }
    const Text congratulation = Gbk("恭喜以下 ") + ToText(static_cast<int64_t>(winners.size())) +
                                Gbk(" 位获得 ") + SelectorText();
    StopRollTimer();
    host().sound->stopSound();
    StageControl("图片框_照片").setText(prop::kPicture, PreviewOf(winners.back()));
    StageControl("时钟_开始").setInt(prop::kInterval, 200);
    StageControl("透明标签_中奖人").setTextValue(winners.back());
    StageControl("超级按钮").setDisabled(true);
    // The grid carries the line; the label would lie under it.
    StageControl("透明标签_恭喜").setVisible(false);
    ShowBatchWinners(winners, congratulation);
    Record(state, winners, congratulation);
}

}  // namespace ld::app
