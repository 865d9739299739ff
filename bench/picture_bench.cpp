// What the photo box costs on the UI thread, each path against the naive baseline of the
// same run (read the whole photo, decode it at full size, scale it to the box):
//  - a roll tick on a photo with an embedded preview (preview bytes, decode, scale),
//  - the stop's full photo in a 500 x 400 box (read, decode at the DCT scale, scale),
//  - roll ticks over 2,000 photos without a preview, previews made on workers (roll_bench).
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench_photos.h"
#include "media/file_bytes.h"
#include "media/image_scale.h"
#include "media/photo_preview.h"
#include "media/picture.h"
#include "peak_memory.h"
#include "ratio_reporter.h"

namespace ld::bench {
namespace {

constexpr Size kBox{500, 400};

// The drawn size of a picture fitted to the box, enlarged when smaller: the most a tick
// has to scale.
Size Fitted(Size natural) {
    const double s = std::min(static_cast<double>(kBox.width) / natural.width,
                              static_cast<double>(kBox.height) / natural.height);
    return {static_cast<int>(natural.width * s + 0.5), static_cast<int>(natural.height * s + 0.5)};
}

void ReportPeak(benchmark::State& state, int64_t peak) {
    if (HeapCountingAvailable()) state.counters["peak_bytes"] = static_cast<double>(peak);
}

void Baseline(benchmark::State& state) {
    const std::string& path = Photos().withPreview;
    int64_t peak = 0;
    for (auto _ : state) {
        ResetHeapPeak();
        const std::string bytes = ReadFileBytes(path);
        const Image full = DecodePicture(bytes);
        const Image shown = ScaleImage(full, Fitted(full.size()));
        benchmark::DoNotOptimize(shown.rgba.data());
        peak = std::max(peak, HeapPeakSinceReset());
    }
    ReportPeak(state, peak);
}

void RollTick(benchmark::State& state) {
    const std::string& path = Photos().withPreview;
    for (auto _ : state) {
        const PhotoPreview preview = LoadPhotoPreview(path);
        const Image decoded = DecodePicture(preview.picture);
        const Image shown = ScaleImage(decoded, Fitted(decoded.size()));
        benchmark::DoNotOptimize(shown.rgba.data());
    }
}

void StopFullPhoto(benchmark::State& state) {
    const std::string& path = Photos().withPreview;
    int64_t peak = 0;
    for (auto _ : state) {
        ResetHeapPeak();
        const PlacedPicture shown =
            DecodePictureForBox(ReadFileBytes(path), kBox, BoxFit::ShrinkToFit);
        benchmark::DoNotOptimize(shown.image.rgba.data());
        peak = std::max(peak, HeapPeakSinceReset());
    }
    ReportPeak(state, peak);
}

// A tick that takes the whole photo as its preview, as the plain algorithm does for a photo
// without an embedded one: what the worker-made previews avoid.
void RollTickWithoutPreviewNaive(benchmark::State& state) {
    const std::string& path = Photos().withoutPreview;
    for (auto _ : state) {
        const PhotoPreview preview = LoadPhotoPreview(path);
        const PlacedPicture shown = DecodePictureForBox(preview.picture, kBox, BoxFit::ShrinkToFit);
        benchmark::DoNotOptimize(shown.image.rgba.data());
    }
}

BENCHMARK(Baseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(RollTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(StopFullPhoto)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(RollTickWithoutPreviewNaive)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace ld::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ld::bench::Photos();  // made before any timing
    ld::bench::RatioReporter reporter({
        {"RollTick", "Baseline", 200, 0},
        {"StopFullPhoto", "Baseline", 2.5, 10},
        {"RollTickWithoutPreviewNaive", "Baseline", 0, 0},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
