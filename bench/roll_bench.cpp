// A roll over 2,000 photos without an embedded preview, from the first tick of a cold start
// (no previews made yet) and again at a second start (previews in the cache folder). Every
// 30 ms tick runs what the UI thread runs: ask the preview service for a ready preview of a
// random participant (or the next ready one) and scale it to the box. The service makes the
// previews on worker threads meanwhile.
//
// The 2,000 names are hard links to eight distinct 4000 x 3000 photos: each name is its own
// photo to the service (its own decode, its own cache file), while the disk holds eight.
// File reads are therefore served from the page cache.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <random>
#include <thread>

#include "bench_photos.h"
#include "ratio_reporter.h"
#include "media/image_scale.h"
#include "media/photo_previews.h"
#include "media/picture.h"

namespace ld::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPhotos = 2000;
constexpr auto kInterval = std::chrono::milliseconds(30);
constexpr int kTicks = 200;  // six seconds of rolling
constexpr Size kBox{500, 400};

const std::vector<std::string>& RollSet() {
    static const std::vector<std::string> names = MakeRollSet(Photos().folder + "/roll", kPhotos);
    return names;
}

std::string CacheFolder() { return Photos().folder + "/roll/.cache"; }

// Fitted to the box with the aspect ratio kept, enlarged when smaller: the most a tick
// has to scale.
Size Fitted(Size natural) {
    const double s = std::min(static_cast<double>(kBox.width) / natural.width,
                              static_cast<double>(kBox.height) / natural.height);
    return {static_cast<int>(natural.width * s + 0.5), static_cast<int>(natural.height * s + 0.5)};
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct TickResult {
    double ms = 0;     // wall clock, including any time the system gave to other processes
    double cpuMs = 0;  // what the UI thread itself spent
    bool shown = false;
};

TickResult Tick(PhotoPreviews& previews, const std::vector<std::string>& names, size_t index) {
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuMs();
    TickResult r;
    if (std::optional<ReadyPreview> ready = previews.pickReady(names, index)) {
        if (ready->image) {
            const Image shown = ScaleImage(*ready->image, Fitted(ready->image->size()));
            benchmark::DoNotOptimize(shown.rgba.data());
            r.shown = true;
        }
    }
    r.cpuMs = ThreadCpuMs() - cpuStart;
    r.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return r;
}

void Roll(benchmark::State& state, bool secondStart) {
    const std::vector<std::string>& names = RollSet();
    if (!secondStart) std::filesystem::remove_all(CacheFolder());
    for (auto _ : state) {
        PhotoPreviewOptions options;
        options.cacheDirectory = CacheFolder();
        PhotoPreviews previews(options);
        std::minstd_rand pick(12345);
        const auto start = Clock::now();
        previews.prefetch(names);  // the roll's start
        const double prefetchMs =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::vector<double> costs, cpuCosts;
        int blank = 0, firstShown = -1, readyAfterOneSecond = 0;
        for (int tick = 0; tick < kTicks; ++tick) {
            std::this_thread::sleep_until(start + tick * kInterval);
            const TickResult r = Tick(previews, names, pick() % names.size());
            costs.push_back(r.ms);
            cpuCosts.push_back(r.cpuMs);
            if (!r.shown) ++blank;
            if (r.shown && firstShown < 0) firstShown = tick;
            if (tick == 1000 / 30) {
                const PhotoPreviewStats s = previews.stats();
                readyAfterOneSecond = s.made + s.fromDisk + s.embedded + s.missing;
            }
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["prefetch_ms"] = prefetchMs;
        state.counters["tick_p50_ms"] = Percentile(costs, 0.50);
        state.counters["tick_p99_ms"] = Percentile(costs, 0.99);
        state.counters["tick_max_ms"] = Percentile(costs, 1.0);
        state.counters["tick_cpu_p50_ms"] = Percentile(cpuCosts, 0.50);
        state.counters["tick_cpu_p99_ms"] = Percentile(cpuCosts, 0.99);
        state.counters["p99_of_interval_%"] = 100 * Percentile(costs, 0.99) / kInterval.count();
        state.counters["ticks_without_preview"] = blank;
        state.counters["first_shown_tick"] = firstShown;
        state.counters["ready_after_1s"] = readyAfterOneSecond;
        state.counters["workers"] = previews.workerThreads();
        if (!secondStart) {
            const auto warm = Clock::now();
            previews.waitIdle();  // every preview made, so the second start finds them all
            state.counters["all_made_s"] =
                std::chrono::duration<double>(Clock::now() - start).count();
            benchmark::DoNotOptimize(warm);
        }
    }
}

void RollColdStart(benchmark::State& state) { Roll(state, false); }
void RollSecondStart(benchmark::State& state) { Roll(state, true); }

BENCHMARK(RollColdStart)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(RollSecondStart)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace ld::bench

BENCHMARK_MAIN();
