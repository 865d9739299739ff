#include "app/draw/batch_draw.h"

#include <algorithm>
#include <charconv>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/draw/draw_engine.h"
#include "app/draw/draw_engine_parts.h"
#include "app/draw/draw_levels.h"
#include "app/draw/draw_phase.h"
#include "app/draw/level_rules.h"
#include "app/handlers.h"
#include "framework/template_library.h"
#include "services/files.h"
#include "services/host.h"
#include "services/random.h"
#include "ui/gui.h"

namespace ld::app {

namespace {

// Each tile looks for a ready preview among this many names from its random pick on (the
// single photo looks further: fifty tiles share the tick's time).
constexpr size_t kTileCandidates = 8;
constexpr int kGap = 12;  // between the grid and what it leaves free

struct Span {
    int first = 0, last = 0;  // [first, last)
    int size() const { return last - first; }
};

constexpr size_t kNobody = static_cast<size_t>(-1);

bool Shows(const Control& control) { return control.visible(); }

// A look at the last character first: a large pool without departments costs next to
// nothing at the start.
bool AnyDepartment(const std::vector<Text>& names) {
    static const Text close = Gbk("）");
    return std::any_of(names.begin(), names.end(), [](const Text& name) {
        return name.ends_with(close) && !GroupOf(name).empty();
    });
}

// Between the titles and the row of the selector and the start button, across the stage,
// leaving out the prize picture with its frame and name when they are shown.
void PlaceGrid(BatchGridView& view) {
    const Window& stage = Stage();
    const int width = stage.self().width(), height = stage.self().height();
    int top = 0;
    for (const char* title : {"透明标签_主标题", "透明标签_副标题"}) {
        const Control& c = StageControl(title);
        if (Shows(c) && c.top() < height / 2) top = std::max(top, c.top() + c.height());
    }
    top += kGap;
    int bottom = height - kGap;
    for (const char* below : {"组合框1", "透明标签_奖项等级", "透明标签_抽取进度", "超级按钮"}) {
        const Control& c = StageControl(below);
        if (Shows(c) && c.top() > height / 2) bottom = std::min(bottom, c.top() - kGap);
    }
    Span across{kGap, width - kGap};
    const Control& prize = StageControl("图片框_奖品");
    const bool prizeInBand = prize.top() < bottom && prize.top() + prize.height() > top;
    if (Shows(prize) && prizeInBand) {
        const Control& name = StageControl("透明标签_奖品名称");
        // The frame bars lie on or one pixel outside the picture's edges.
        const int left = std::min(prize.left() - 2, Shows(name) ? name.left() : prize.left());
        const int right = std::max(prize.left() + prize.width() + 2,
                                   Shows(name) ? name.left() + name.width() : 0);
        const Span before{kGap, left - kGap}, after{right + kGap, width - kGap};
        across = before.size() >= after.size() ? before : after;
    }
    view.left = across.first;
    view.top = top;
    view.width = std::max(across.size(), 1);
    view.height = std::max(bottom - top, 1);
}

void Show(const BatchGridView& grid) {
    if (hasGui()) gui().showBatchGrid(Stage(), grid);
}

}  // namespace

int ParsePerDrawCount(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return 1;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) return kMaxPerDraw;
    return std::clamp(value, 1, kMaxPerDraw);
}

int PerDrawCount(int level) {
    return ParsePerDrawCount(ConfigStore::readText(keys::PerDrawCount(level)));
}

int BatchTiles(const DrawState& state) {
    const std::optional<int> level = SelectedLevel();
    if (!level) return 1;
    const int64_t perDraw = PerDrawCount(*level);
    if (perDraw <= 1) return 1;
    const int64_t left = int64_t{state.levelLimit} - state.nextOrdinal;
    const auto names = static_cast<int64_t>(state.rollList.size());
    return static_cast<int>(std::max<int64_t>(1, std::min({perDraw, left, names})));
}

void StartBatchRoll() {
    const int tiles = BatchTiles(State().draw);
    if (tiles <= 1) {
        HideBatchGrid();
        return;
    }
    BatchGridView& grid = State().batchGrid.emplace();
    PlaceGrid(grid);
    grid.tiles.resize(static_cast<size_t>(tiles));
    grid.departments = AnyDepartment(State().draw.rollList);
    State().batchRollShows.assign(grid.tiles.size(), kNobody);
    StageControl("图片框_照片").setVisible(false);
    Show(grid);
}

// The tiles show distinct people when the roll has enough: a tile's candidates leave out
// whoever the tiles before it show, and a tile whose candidates are not ready yet keeps its
// person only when nobody took them meanwhile.
bool RollBatchTiles() {
    if (!State().batchGrid) return false;
    BatchGridView& grid = *State().batchGrid;
    DrawState& state = State().draw;
    const size_t n = state.rollList.size();
    if (n == 0) return true;
    std::vector<size_t>& shows = State().batchRollShows;
    shows.resize(grid.tiles.size(), kNobody);
    std::vector<size_t> taken;  // a few dozen at most: a scan beats a set
    taken.reserve(grid.tiles.size());
    const auto isTaken = [&taken](size_t entry) {
        return std::find(taken.begin(), taken.end(), entry) != taken.end();
    };
    std::vector<std::string> candidates;
    std::vector<size_t> entries;
    for (size_t t = 0; t < grid.tiles.size(); ++t) {
        state.currentIndex = RandomInt(1, static_cast<int32_t>(n));
        candidates.clear();
        entries.clear();
        for (size_t i = static_cast<size_t>(state.currentIndex - 1), seen = 0;
             seen < n && entries.size() < kTileCandidates; ++seen, i = (i + 1) % n) {
            if (isTaken(i)) continue;
            entries.push_back(i);
            candidates.push_back(PhotoPathOf(state.rollList[i]).value_or(Text()));
        }
        BatchTile& tile = grid.tiles[t];
        if (std::optional<ReadyPreview> ready = RollPreviews().pickReady(candidates, 0)) {
            tile.picture = std::move(ready->picture);
            shows[t] = entries[ready->index];
        } else if (shows[t] != kNobody && (shows[t] >= n || isTaken(shows[t]))) {
            tile.picture.clear();
            shows[t] = kNobody;
        }
        if (shows[t] != kNobody) taken.push_back(shows[t]);
    }
    Show(grid);
    return true;
}

void ShowBatchWinners(const std::vector<Text>& winners, const Text& congratulation) {
    std::optional<BatchGridView>& shown = State().batchGrid;
    if (!shown) PlaceGrid(shown.emplace());  // the level or its count changed in the roll
    BatchGridView& grid = *shown;
    grid.tiles.clear();
    for (const Text& name : winners) {
        BatchTile tile;
        tile.picture = PreviewOf(name);
        tile.name = name;
        tile.department = GroupOf(name);
        grid.departments = grid.departments || !tile.department.empty();
        if (std::optional<Text> path = PhotoPathOf(name)) tile.photoFile = ResolveExistingPath(*path);
        grid.tiles.push_back(std::move(tile));
    }
    grid.caption = congratulation;
    StageControl("图片框_照片").setVisible(false);
    Show(grid);
}

bool BatchGridShown() { return State().batchGrid.has_value(); }

void HideBatchGrid() {
    if (!State().batchGrid) return;
    State().batchGrid.reset();
    if (hasGui() && IsWindowLoaded(kMainWindow)) gui().hideBatchGrid(Stage());
    // The check-in panel stepped aside for the winners.
    if (DrawIsIdle()) NotifyDrawPhase(DrawPhase::Idle);
}

void EditPerDrawCounts() {
    const Text caption = Gbk("每次抽取人数");
    const LevelTexts names = LevelNames();
    std::vector<int> levels;
    std::vector<Dialogs::NumberField> fields;
    for (int level = 1; level <= kLevelCount; ++level) {
        const Text& name = names[static_cast<size_t>(level - 1)];
        if (name.empty()) continue;
        levels.push_back(level);
        fields.push_back({name, PerDrawCount(level)});
    }
    if (fields.empty()) {
        host().dialogs->showMessage(Gbk("还没有设置奖项名称，请先在奖项设置中填写奖项。"),
                                    msg::kOk, caption);
        return;
    }
    if (!host().dialogs->numberForm(caption, Gbk("每次抽 %1 人 (1–50)"), 1, kMaxPerDraw, fields))
        return;
    bool written = true;
    for (size_t i = 0; i < fields.size(); ++i) {
        const int value = std::clamp(fields[i].value, 1, kMaxPerDraw);
        // Only what changed is written: a level left at 1 adds no key to the file.
        if (value != PerDrawCount(levels[i]))
            written = ConfigStore::writeInt(keys::PerDrawCount(levels[i]), value) && written;
    }
    if (!written) {
        host().dialogs->showMessage(
            Gbk("每次抽取人数没有保存：无法写入配置文件\r\n") + ConfigStore::path(),
            msg::kIconStop, caption);
    }
}

}  // namespace ld::app
