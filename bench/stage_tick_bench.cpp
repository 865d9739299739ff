// The UI-thread cost of one roll tick with the real widgets: the photo box of a realised
// stage window (Qt host, offscreen) is given a tick's picture bytes and painted at once.
// 12-megapixel photos (4000 x 3000) with and without an embedded Exif preview:
//   embedded preview   the file's first 56000 bytes read, the 160 x 120 preview cut out,
//                      set and painted (decoded at the box's size);
//   ready preview      the photo has none: the preview service made a small one on its
//                      workers beforehand, the tick takes it, sets it and paints it;
//   whole file         the photo has none and no preview was made: the tick reads the
//                      whole file and the box decodes it at a reduced DCT scale;
//   naive decode       the baseline: read the whole file, decode it at full size, scale it
//                      into the box and paint that.
// Each case: p50 and p99 over the ticks, and their ratio to the 30 ms default interval.
//   QT_QPA_PLATFORM=offscreen stage_tick_bench [ticks]
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "bench_photos.h"
#include "bench_stage.h"
#include "media/photo_preview.h"
#include "media/photo_previews.h"
#include "media/picture.h"
#include "platform/qt/qt_setup.h"
#include "services/text.h"

namespace ld::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr double kIntervalMs = 30;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Report(const char* name, Figures f, Figures naive) {
    std::printf(
        "%-37s p50 %8.3f ms (%6.2f%% of 30 ms)  p99 %8.3f ms (%6.2f%% of 30 ms)"
        "  p50 vs naive 1/%.0f\n",
        name, f.p50, 100 * f.p50 / kIntervalMs, f.p99, 100 * f.p99 / kIntervalMs,
        naive.p50 / f.p50);
}

// Full-size decode, then scaled into the box with the aspect ratio kept, and painted.
void NaiveTick(BenchStage& stage, const std::string& path) {
    const QImage full = QImage::fromData(QByteArray::fromStdString(ReadAll(path)), "JPG");
    const QImage fitted =
        full.scaled(kBoxWidth, kBoxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage surface(stage.widget()->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&surface);
    painter.drawImage(0, 0, fitted);
}

int Run(int ticks) {
    const BenchPhotos& photos = Photos();
    BenchStage stage;

    const Figures naive =
        TimeTicks(std::max(ticks / 10, 20), [&](int) { NaiveTick(stage, photos.withoutPreview); });

    const Figures embedded = TimeTicks(ticks, [&](int) {
        PhotoPreview preview = LoadPhotoPreview(photos.withPreview);
        stage.show(std::move(preview.picture));
    });
    const bool embeddedShown = stage.showsPicture();
    stage.show({});

    PhotoPreviews previews;
    const std::vector<std::string> candidates(photos.originals.begin(), photos.originals.end());
    previews.prefetch(candidates);
    previews.waitIdle();
    const Figures ready = TimeTicks(ticks, [&](int i) {
        const size_t preferred = static_cast<size_t>(i) % candidates.size();
        if (std::optional<ReadyPreview> r = previews.pickReady(candidates, preferred))
            stage.show(std::move(r->picture));
    });
    const bool readyShown = stage.showsPicture();
    stage.show({});

    const Figures whole = TimeTicks(std::max(ticks / 10, 20), [&](int) {
        PhotoPreview preview = LoadPhotoPreview(photos.withoutPreview);
        stage.show(std::move(preview.picture));
    });
    const bool wholeShown = stage.showsPicture();

    if (!embeddedShown || !readyShown || !wholeShown) {
        std::fprintf(stderr, "the photo box showed no picture: the figures are void\n");
        return 1;
    }
    std::printf("one roll tick on the UI thread, photo box %d x %d, 4000 x 3000 photos\n",
                kBoxWidth, kBoxHeight);
    Report("with embedded preview", embedded, naive);
    Report("without: ready preview (service)", ready, naive);
    Report("without: whole file, reduced decode", whole, naive);
    Report("baseline: naive full decode", naive, naive);
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
