// The start of a roll and its ticks, with the preview service that keeps the ticks cheap.
#include <algorithm>
#include <random>

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_engine.h"
#include "app/draw/draw_engine_parts.h"
#include "app/draw/draw_phase.h"
#include "app/draw/level_rules.h"
#include "app/draw/verified_event.h"
#include "media/photo_preview.h"
#include "services/files.h"
#include "services/host.h"
#include "services/program.h"
#include "services/random.h"

namespace ld::app {

namespace {

// A tick looks for a ready preview among this many names from its random pick on; what is
// not ready yet is asked for, so a tick costs the same in a roll of ten or 100,000.
constexpr size_t kTickCandidates = 64;
// A start warms up the previews of at most this many photos, spread evenly over the roll:
// enough for every tick to find ready ones nearby, and a start of a huge roll stays quick.
constexpr size_t kWarmUpPhotos = 4096;

struct PreviewService {
    std::unique_ptr<PhotoPreviews> previews;
    Text folder;  // the program folder it works for
};

PreviewService& Service() {
    static PreviewService service;
    return service;
}

// The photo path of a roll name; empty for a name that would lead outside the photo folder.
std::string RollPhotoPath(const Text& name) { return PhotoPathOf(name).value_or(Text()); }

void WarmUpRollPhotos(const std::vector<Text>& rollList) {
    const size_t n = rollList.size();
    const size_t count = std::min(n, kWarmUpPhotos);
    if (count == 0) return;
    std::vector<std::string> paths;
    paths.reserve(count);
    // A new offset at every start warms up other photos (the draw's generator is left alone).
    static std::minstd_rand offsets{std::random_device{}()};
    const size_t offset = offsets() % (n / count);
    for (size_t i = 0; i < count; ++i)
        paths.push_back(RollPhotoPath(rollList[offset + i * n / count]));
    RollPreviews().prefetch(paths);
}

// The pool without the designated winners, in one pass: each designated name takes out the
// first line equal to it that is still there, as removing them one by one would. Nothing
// when nobody is designated.
std::optional<Text> PoolWithoutDesignatedWinners(const Text& pool) {
    std::vector<Text> designated = AllDesignatedWinners();
    std::erase_if(designated, [](const Text& name) { return name.empty(); });
    if (designated.empty()) return std::nullopt;
    Text remaining = pool;
    DrawState::RemovePoolLines(remaining, designated);
    return remaining;
}

}  // namespace

PhotoPreviewOptions RollPreviewOptions() {
    PhotoPreviewOptions options;
    options.cacheDirectory =
        ResolveExistingPath(files::InProgramDirectory(files::PreviewCacheFolder()));
    options.resolvePath = [](const std::string& path) { return ResolveExistingPath(path); };
    return options;
}

PhotoPreviews& RollPreviews() {
    PreviewService& service = Service();
    if (!service.previews || service.folder != ProgramDirectory()) {
        service.previews.reset();  // its workers end before the next one starts
        service.previews = std::make_unique<PhotoPreviews>(RollPreviewOptions());
        service.folder = ProgramDirectory();
    }
    return *service.previews;
}

void UseRollPreviews(std::unique_ptr<PhotoPreviews> previews) {
    Service().previews = std::move(previews);
    Service().folder = ProgramDirectory();
}

Bytes LoadPhotoPreview(const Text& photoPath) {
    return ld::LoadPhotoPreview(ResolveExistingPath(photoPath)).picture;
}

Bytes PreviewOf(const Text& name) {
    std::optional<Text> path = PhotoPathOf(name);
    if (!path) return {};
    if (std::optional<ReadyPreview> ready = RollPreviews().ready(*path)) return ready->picture;
    return LoadPhotoPreview(*path);
}

Bytes WholePhotoOf(const Text& name) {
    std::optional<Text> path = PhotoPathOf(name);
    return path ? ReadWholeFile(*path) : Bytes();
}

void SetRollInterval() {
    StageControl("时钟_取随机")
        .setInt(prop::kInterval, ToInt32(StageControl("编辑框_滚动速度").text()));
}

void StopRollTimer() { StageControl("时钟_取随机").setInt(prop::kInterval, 0); }

void StartRoll() {
    DrawState& state = State().draw;
    const bool repeatsAllowed = StageControl("选择框_是否允许重复抽奖").getBool(prop::kChecked);
    // A start that would leave nobody to roll changes nothing.
    std::optional<Text> reduced;
    const VerifiedEvent* verified = OpenVerifiedEvent();
    if (!repeatsAllowed && !verified) reduced = PoolWithoutDesignatedWinners(state.poolText);
    if (reduced && reduced->empty()) {
        ShowNoPhotosMessage();
        return;
    }
    // The level's rules leave nobody to roll: refused as well, with the reason.
    const LevelRule rule = SelectedLevelRule();
    if ((rule.active() &&
         AllowedNames(SplitPool(reduced ? *reduced : state.poolText), rule).empty()) ||
        (verified && VerifiedEligibleCount(*verified, SelectorText()) == 0)) {
        ShowNobodyEligibleMessage();
        return;
    }
    SetRollInterval();
    StageControl("图片框_照片").setVisible(true);
    if (Stage().menuItem(Gbk("启用背景音乐")).checked)
        host().sound->playMusic(-1, {files::InProgramDirectory(files::Music())});
    if (reduced) state.poolText = std::move(*reduced);
    StageControl("超级按钮").setTextValue(StopCaption());
    state.splitPool();
    if (rule.active()) state.rollList = AllowedNames(state.rollList, rule);
    // Who checked in after the seal waits for the next one: not even in the roll.
    if (verified && CheckedInAfterSeal(*verified, state.poolText) > 0)
        state.rollList = SealedNamesOnly(*verified, state.rollList);
    WarmUpRollPhotos(state.rollList);
    StartBatchRoll();
    SetRollInterval();
    NotifyDrawPhase(DrawPhase::Rolling);
}

void RollTick() {
    DrawState& state = State().draw;
    const auto n = static_cast<int32_t>(state.rollList.size());
    if (n == 0 || RollBatchTiles()) return;
    state.currentIndex = RandomInt(1, n);
    // Never waits for a photo: the first ready preview from the pick on, or the picture
    // that is on screen stays until one is ready.
    const auto first = static_cast<size_t>(state.currentIndex - 1);
    const size_t last = std::min(first + kTickCandidates, state.rollList.size());
    std::vector<std::string> candidates;
    candidates.reserve(last - first);
    for (size_t i = first; i < last; ++i) candidates.push_back(RollPhotoPath(state.rollList[i]));
    if (std::optional<ReadyPreview> ready = RollPreviews().pickReady(candidates, 0))
        StageControl("图片框_照片").setText(prop::kPicture, std::move(ready->picture));
}

}  // namespace ld::app
