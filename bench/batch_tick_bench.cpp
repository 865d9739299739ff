// The UI-thread cost of one roll tick of a batch draw with the real widgets: the grid of 50
// tiles on a 1920 x 1080 stage (area 1900 x 800) is handed 50 new ready previews (160 x 120
// JPEGs, the size cameras embed) and painted at once, against the single photo box given
// one ready preview and painted, in the same run. The previews come from a set of 400
// distinct ones, picked at random, so no cache can hide the decoding.
// Each case: p50 and p99 over the ticks; the grid's figures also as a ratio to the box's.
//   QT_QPA_PLATFORM=offscreen batch_tick_bench [ticks]
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "../tests/media/picture_fixtures.h"
#include "bench_stage.h"
#include "framework/window_manager.h"
#include "platform/qt/batch_grid.h"
#include "platform/qt/qt_setup.h"
#include "platform/qt/stage_window.h"
#include "services/text.h"
#include "ui/gui.h"

namespace ld::bench {
namespace {

using Clock = std::chrono::steady_clock;
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

// The centre of the first photo cell is no longer the empty cell's backing.
bool GridShowsPictures(qt::BatchGrid& grid) {
    const QImage drawn = grid.grab().toImage();
    const QRect cell = qt::ToQRect(grid.layout().photoCell(0));
    const QColor centre = drawn.pixelColor(cell.center() * drawn.devicePixelRatio());
    return centre.alpha() == 255 && centre != QColor(0x4A, 0x06, 0x0C);
}

int Run(int ticks) {
    const std::vector<Bytes> previews = Previews();
    BenchStage stage;
    Window& window = *windows().find("MainWindow");
    window.self().setWidth(1920);
    window.self().setHeight(1080);
    QApplication::processEvents();

    std::mt19937 random(12345);
    std::uniform_int_distribution<size_t> pick(0, previews.size() - 1);

    const Figures single = TimeTicks(ticks, [&](int) { stage.show(previews[pick(random)]); });
    const bool singleShown = stage.showsPicture();

    BatchGridView view;
    view.left = 10;
    view.top = 140;
    view.width = 1900;
    view.height = 800;
    view.tiles.resize(kTiles);
    qt::StageWindow* stageWindow = dynamic_cast<qt::StageWindow*>(stage.widget()->window());
    const Figures batch = TimeTicks(ticks, [&](int) {
        for (BatchTile& tile : view.tiles) tile.picture = previews[pick(random)];
        gui().showBatchGrid(window, view);
        // Paints what the tick invalidated, as the event loop would right after it.
        QCoreApplication::sendPostedEvents(stageWindow, QEvent::UpdateRequest);
    });
    const bool batchShown = GridShowsPictures(*stageWindow->batchGrid());

    if (!singleShown || !batchShown) {
        std::fprintf(stderr, "a tick showed no picture: the figures are void\n");
        return 1;
    }
    const BatchLayout& layout = stageWindow->batchGrid()->layout();
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
    return 0;
}

}  // namespace
}  // namespace ld::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ld::qt::InstallFontSubstitutes();
    const int ticks = argc > 1 ? std::max(20, std::atoi(argv[1])) : 300;
    return ld::bench::Run(ticks);
}
