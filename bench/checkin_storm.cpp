#include "checkin_storm.h"

#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/time.h>
#include <time.h>
#endif

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>

#include "../tests/checkin/http_client.h"
#include "../tests/media/picture_fixtures.h"
#include "bench_photos.h"
#include "checkin/checkin_desk.h"
#include "checkin/checkin_server.h"
#include "checkin/photo_intake.h"
#include "media/photo_previews.h"
#include "media/picture.h"
#include "ratio_reporter.h"
#include "services/host.h"
#include "stage_model.h"

namespace ld::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The photo with its Exif block swapped for one that declares `orientation`: 6 is a
// portrait taken with the phone upright, stored sideways.
std::string WithOrientation(const std::string& jpeg, int orientation) {
    fixtures::PhotoOptions options;
    options.orientation = orientation;
    const std::string payload = fixtures::ExifPayload(options);
    const size_t length = payload.size() + 2;
    const std::string segment = std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) +
                                static_cast<char>(length & 0xFF) + payload;
    // Walk the segments before the image data and leave out the old APP1.
    std::string out = jpeg.substr(0, 2) + segment;
    size_t at = 2;
    while (at + 4 <= jpeg.size() && static_cast<uint8_t>(jpeg[at + 1]) != 0xDA) {
        const size_t size =
            (static_cast<uint8_t>(jpeg[at + 2]) << 8 | static_cast<uint8_t>(jpeg[at + 3])) + 2;
        if (static_cast<uint8_t>(jpeg[at + 1]) != 0xE1) out += jpeg.substr(at, size);
        at += size;
    }
    return out + jpeg.substr(at);
}

// The answer comes after the queue of photos ahead of this one.
void WaitLongForAnswer(int socket) {
#ifdef _WIN32
    const DWORD patience = 60000;
    ::setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_RCVTIMEO,
                 reinterpret_cast<const char*>(&patience), sizeof patience);
#else
    timeval patience{60, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
#endif
}

double ThreadCpuMs() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
#else
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
#endif
}

struct Ticks {
    std::vector<double> ms;     // wall time of each tick
    std::vector<double> cpuMs;  // the UI thread's own CPU time in it: the rest was waiting
};

// The roll: one tick every 30 ms on this (the UI) thread while `more(tick)`, each timed.
Ticks Roll(RollStage& stage, PhotoPreviews& previews, const std::vector<std::string>& candidates,
           const std::function<bool(int)>& more) {
    Ticks ticks;
    auto due = Clock::now();
    for (int i = 0; more(i); ++i) {
        due += kInterval;
        const auto start = Clock::now();
        const double cpuStart = ThreadCpuMs();
        if (std::optional<ReadyPreview> r = previews.pickReady(candidates, i % candidates.size()))
            stage.show(std::move(r->picture));
        ticks.cpuMs.push_back(ThreadCpuMs() - cpuStart);
        ticks.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        stage.pump();
        std::this_thread::sleep_until(due);
    }
    return ticks;
}

// Stored photos in the folder that the stage would show as they are: upright, at most
// 1600 px on the long side.
int CountStoredPhotos(const fs::path& folder) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".jpg") continue;
        // By the path itself: the names are Chinese, which a narrow string cannot carry on
        // Windows.
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        const Size size = ReadPictureSize(bytes);
        count += size.width > 0 && std::max(size.width, size.height) <= checkin::kStoredLongSide;
    }
    return count;
}

const char* Verdict(bool met) { return met ? "(met)" : "(MISSED)"; }

}  // namespace

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string PercentEncoded(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            out += {'%', kHex[c >> 4], kHex[c & 15]};
        }
    }
    return out;
}

StormFigures Storm(int port, const std::vector<std::string>& uploads) {
    using namespace checkin::testing;
    std::atomic<int> next{0};
    std::mutex mutex;
    StormFigures figures;
    const auto start = Clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        const std::string from = "127.0.0." + std::to_string(2 + c % kSourceAddresses);
        clients.emplace_back([&, from] {
            for (int i = next++; i < kCheckins; i = next++) {
                const std::string target = std::string("/checkin?t=") + kToken +
                                           "&name=" + PercentEncoded("来宾" + std::to_string(i)) +
                                           "&dept=" + PercentEncoded("测试部");
                int status = 0;
                if (const int s = Connect(port, from.c_str()); s >= 0) {
                    WaitLongForAnswer(s);
                    if (SendAll(s, Post(target, uploads[i % uploads.size()])))
                        status = ReadReply(s).status;
                    Close(s);
                }
                std::lock_guard lock(mutex);
                ++figures.statuses[status];
            }
        });
    }
    for (std::thread& t : clients) t.join();
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return figures;
}

bool RunStorm(RollStage& stage, StormRun& run, const std::function<void()>& beforeQuiet) {
    const BenchPhotos& photos = Photos();
    for (size_t i = 0; i < photos.originals.size(); ++i)
        run.uploads.push_back(WithOrientation(ReadAll(photos.originals[i]), i % 2 ? 1 : 6));

    const fs::path event =
        fs::temp_directory_path() /
        ("ld_checkin_bench_" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(event / "photo");
    std::atomic<int> joinsHeard{0};
    checkin::DeskOptions options;
    options.photoFolder = (event / "photo").string();
    options.logFile = (event / "checkins.csv").string();
    // From the desk's workers to the UI thread, as the program hears a join.
    options.onJoined = [&](const Text&) { host().loop->post([&] { ++joinsHeard; }); };
    checkin::Desk desk(options);
    checkin::CheckinServer server([&](const checkin::Submission& s) { return desk.submit(s); },
                                  kToken);
    if (!server.start("127.0.0.1", 0)) {
        std::fprintf(stderr, "the check-in server did not start\n");
        return false;
    }

    PhotoPreviews previews;
    const std::vector<std::string> candidates = photos.originals;
    previews.prefetch(candidates);
    previews.waitIdle();
    Roll(stage, previews, candidates, [](int i) { return i < 3; });  // fills the caches
    if (beforeQuiet) beforeQuiet();

    Ticks quiet = Roll(stage, previews, candidates, [](int i) { return i < kQuietTicks; });
    std::atomic<bool> stormDone{false};
    std::thread stormThread([&] {
        run.storm = Storm(server.port(), run.uploads);
        stormDone = true;
    });
    const Ticks busy = Roll(stage, previews, candidates, [&](int) { return !stormDone; });
    stormThread.join();
    const Ticks after = Roll(stage, previews, candidates, [](int i) { return i < kQuietTicks; });
    const bool shown = stage.showsPicture();
    server.stop();
    stage.pump();

    run.quietMs = quiet.ms;
    run.quietMs.insert(run.quietMs.end(), after.ms.begin(), after.ms.end());
    run.quietCpuMs = quiet.cpuMs;
    run.quietCpuMs.insert(run.quietCpuMs.end(), after.cpuMs.begin(), after.cpuMs.end());
    run.busyMs = busy.ms;
    run.busyCpuMs = busy.cpuMs;
    run.stored = CountStoredPhotos(event / "photo");
    run.joinsHeard = joinsHeard.load();
    std::error_code ec;
    fs::remove_all(event, ec);
    if (!shown) std::fprintf(stderr, "the photo box showed no picture: the figures are void\n");
    return shown;
}

void PrintStorm(const StormRun& run) {
    std::map<int, int> statuses = run.storm.statuses;
    const int answered = statuses[200];
    const double rate = answered / run.storm.seconds;
    std::printf(
        "%d check-ins of 4000 x 3000 phone photos (%zu distinct, %.1f MB each) from %d "
        "clients on %d address(es) from 127.0.0.2, default limits\n",
        kCheckins, run.uploads.size(), run.uploads[0].size() / 1e6, kClients, kSourceAddresses);
    std::printf("  landed      %d answered 200, %d photos in photo/, %d joins heard  %s\n",
                answered, run.stored, run.joinsHeard,
                Verdict(answered == kCheckins && run.stored == kCheckins));
    for (const auto& [status, count] : statuses) {
        if (status != 200) std::printf("  answered %d: %d\n", status, count);
    }
    std::printf("  rate        %.1f check-ins/s (%.1f s)  target >= %.0f  %s\n", rate,
                run.storm.seconds, kRateTarget, Verdict(rate >= kRateTarget));
}

void PrintRoll(const StormRun& run) {
    const double quietP50 = Percentile(run.quietMs, 0.5), quietP99 = Percentile(run.quietMs, 0.99);
    const double busyP50 = Percentile(run.busyMs, 0.5), busyP99 = Percentile(run.busyMs, 0.99);
    std::printf("roll tick on the UI thread every 30 ms (ready preview, photo box %d x %d)\n",
                kBoxWidth, kBoxHeight);
    std::printf("  baseline: no check-ins  %5zu ticks  p50 %6.3f ms  p99 %6.3f ms\n",
                run.quietMs.size(), quietP50, quietP99);
    std::printf(
        "  during the check-ins    %5zu ticks  p50 %6.3f ms  p99 %6.3f ms  target p99 < "
        "%.0f ms  %s\n",
        run.busyMs.size(), busyP50, busyP99, kTickP99TargetMs, Verdict(busyP99 < kTickP99TargetMs));
    std::printf("  during / baseline       p50 %.2f x  p99 %.2f x\n", busyP50 / quietP50,
                busyP99 / quietP99);
    std::printf("  UI thread's CPU time    p99 %.3f ms without, %.3f ms during the check-ins\n",
                Percentile(run.quietCpuMs, 0.99), Percentile(run.busyCpuMs, 0.99));
    std::fflush(stdout);
}

}  // namespace ld::bench
