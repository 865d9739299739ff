#include "batch_tick.h"

#include <cstdio>
#include <random>
#include <vector>

#include "../tests/media/picture_fixtures.h"
#include "tick_timer.h"

namespace ld::bench {
namespace {

constexpr int kTiles = 50;
constexpr int kDistinctPreviews = 400;
constexpr double kTargetMs = 10;

std::vector<Bytes> Previews() {
    std::vector<Bytes> previews;
    for (int i = 0; i < kDistinctPreviews; ++i)
        previews.push_back(
            fixtures::PlainJpeg(fixtures::PhotoLike(160, 120, static_cast<uint32_t>(i + 1)), 80));
    return previews;
}

}  // namespace

int RunBatchTick(BatchTickStage& stage, int ticks) {
    const std::vector<Bytes> previews = Previews();
    std::mt19937 random(12345);
    std::uniform_int_distribution<size_t> pick(0, previews.size() - 1);
    auto pump = [&stage] { stage.pump(); };

    const Figures single =
        TimeTicks(ticks, [&](int) { stage.showInBox(previews[pick(random)]); }, pump);
    const bool singleShown = stage.boxShowsPicture();

    BatchGridView view;
    view.left = 10;
    view.top = 140;
    view.width = 1900;
    view.height = 800;
    view.tiles.resize(kTiles);
    const Figures batch = TimeTicks(
        ticks,
        [&](int) {
            for (BatchTile& tile : view.tiles) tile.picture = previews[pick(random)];
            stage.showGrid(view);
        },
        pump);
    const bool batchShown = stage.gridShowsPicture();

    if (!singleShown || !batchShown) {
        std::fprintf(stderr, "a tick showed no picture: the figures are void\n");
        return 1;
    }
    const BatchLayout& layout = stage.gridLayout();
    std::printf("one roll tick on the UI thread, %d distinct 160 x 120 previews\n",
                kDistinctPreviews);
    std::printf("single photo box %d x %d       p50 %7.3f ms  p99 %7.3f ms\n", kBoxWidth,
                kBoxHeight, single.p50, single.p99);
    std::printf(
        "batch grid, %d tiles of %d x %d  p50 %7.3f ms  p99 %7.3f ms"
        "  (%.0f%% of the %.0f ms target)\n",
        kTiles, layout.photo.width, layout.photo.height, batch.p50, batch.p99,
        100 * batch.p99 / kTargetMs, kTargetMs);
    std::printf("grid vs single box: p50 x%.1f, p99 x%.1f\n", batch.p50 / single.p50,
                batch.p99 / single.p99);
    std::fflush(stdout);
    return 0;
}

}  // namespace ld::bench
