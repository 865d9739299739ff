// The check-in storm while the stage rolls (see checkin_storm.h) on the Qt host. Reported:
// check-ins per second, the tick's p50 and p99 in both cases and their ratio, each against
// its target, and the UI thread's own CPU time in the ticks: what the wall time adds to it
// was spent waiting.
// The same storm runs first under the limits check-in used to have (8 connections and 10
// check-ins a minute per address, 64 connections, 10 s for a whole request), for comparison.
// Last, 20 addresses drip requests a byte a second on 8 connections each, reconnecting at
// once, while one phone after another loads the page and checks in: the share that gets
// through.
//   QT_QPA_PLATFORM=offscreen checkin_bench
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../tests/checkin/http_client.h"
#include "bench_stage.h"
#include "checkin/checkin_desk.h"
#include "checkin/checkin_server.h"
#include "checkin_storm.h"
#include "platform/qt/qt_setup.h"
#include "ratio_reporter.h"

namespace ld::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using checkin::testing::Connect;
using checkin::testing::Post;

constexpr int kDrippers = 20;  // addresses 127.0.0.10 onward
constexpr int kDripsPerAddress = 8;
constexpr int kPhonesAmongDrips = 63;  // one every 200 ms
constexpr double kThroughTarget = 0.95;

// The limits before the crowd was considered; what stayed the same keeps its default.
checkin::ServerLimits FormerLimits() {
    checkin::ServerLimits limits;
    limits.maxConnectionsPerAddress = 8;
    limits.maxConnections = 64;
    limits.checkinsPerMinutePerAddress = 10;
    limits.headerTimeoutSeconds = 10;
    limits.bodyTimeoutSeconds = 10;  // the whole request within 10 s, whatever its pace
    limits.minUploadBytesPerSecond = 0;
    return limits;
}

std::string LoadAverage() {
    std::string line = ReadAll("/proc/loadavg");
    return line.substr(0, line.find(' ', line.find(' ', line.find(' ') + 1) + 1));
}

// A desk and a server of their own in `folder`, for a storm that the stage does not watch.
struct SideServer {
    SideServer(const fs::path& folder, checkin::ServerLimits limits)
        : desk([&] {
              fs::create_directories(folder / "photo");
              checkin::DeskOptions options;
              options.photoFolder = (folder / "photo").string();
              options.logFile = (folder / "checkins.csv").string();
              return options;
          }()),
          server([this](const checkin::Submission& s) { return desk.submit(s); }, kToken, limits) {
        started = server.start("127.0.0.1", 0);
    }
    checkin::Desk desk;
    checkin::CheckinServer server;
    bool started = false;
};

struct DripFigures {
    int pages = 0, checkins = 0;
};

// Requests that never end, a byte a second, from kDrippers addresses with kDripsPerAddress
// connections each, every closed one opened again at once; meanwhile kPhonesAmongDrips
// phones from 127.0.0.2, one every 200 ms, each loading the page and checking in.
DripFigures DripStorm(int port) {
    const std::string endless = std::string("POST /checkin?t=") + kToken +
                                "&name=x HTTP/1.1\r\nX: " + std::string(8000, 'a');
    std::atomic<bool> done{false};
    std::thread drip([&] {
        const size_t n = kDrippers * kDripsPerAddress;
        std::vector<int> sockets(n, -1);
        std::vector<size_t> sent(n, 0);
        std::vector<Clock::time_point> last(n);
        while (!done) {
            for (size_t i = 0; i < n; ++i) {
                if (sockets[i] >= 0 && checkin::testing::IsClosedByPeer(sockets[i]))
                    ::close(std::exchange(sockets[i], -1));
                if (sockets[i] < 0) {
                    const std::string from = "127.0.0." + std::to_string(10 + i % kDrippers);
                    sockets[i] = Connect(port, from.c_str());
                    sent[i] = 0;
                    last[i] = Clock::time_point();
                }
                if (sockets[i] >= 0 && Clock::now() - last[i] >= std::chrono::seconds(1) &&
                    checkin::testing::SendSome(sockets[i], &endless[sent[i] % endless.size()], 1) >
                        0) {
                    ++sent[i];
                    last[i] = Clock::now();
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        for (int s : sockets)
            if (s >= 0) ::close(s);
    });
    std::this_thread::sleep_for(std::chrono::seconds(2));  // every place taken
    DripFigures figures;
    for (int i = 0; i < kPhonesAmongDrips; ++i) {
        using checkin::testing::Exchange;
        using checkin::testing::Get;
        figures.pages +=
            Exchange(port, Get(std::string("/?t=") + kToken), "127.0.0.2").status == 200;
        const std::string target = std::string("/checkin?t=") + kToken +
                                   "&name=" + PercentEncoded("滴" + std::to_string(i));
        figures.checkins += Exchange(port, Post(target, ""), "127.0.0.2").status == 200;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    done = true;
    drip.join();
    return figures;
}

class QtRollStage : public RollStage {
public:
    void show(Bytes picture) override { stage_.show(std::move(picture)); }
    void pump() override { QApplication::processEvents(); }
    bool showsPicture() override { return stage_.showsPicture(); }

private:
    BenchStage stage_;
};

int Run() {
    const fs::path sides =
        fs::temp_directory_path() / ("ld_checkin_bench_sides_" + std::to_string(::getpid()));
    QtRollStage stage;
    StormRun run;
    std::string loadBefore;
    StormFigures former;
    // The same storm under the former limits, before the baseline.
    const bool ran = RunStorm(stage, run, [&] {
        loadBefore = LoadAverage();
        SideServer side(sides / "former", FormerLimits());
        if (side.started) former = Storm(side.server.port(), run.uploads);
    });
    const std::string loadAfter = LoadAverage();
    if (!ran) return 1;
    DripFigures drip;
    {
        SideServer side(sides / "drip", checkin::ServerLimits());
        if (side.started) drip = DripStorm(side.server.port());
    }
    std::error_code ec;
    fs::remove_all(sides, ec);

    PrintStorm(run);
    std::printf("  the same storm under the former limits: %d answered 200 in %.1f s",
                former.statuses[200], former.seconds);
    for (const auto& [status, count] : former.statuses) {
        if (status != 200) std::printf(", %d answered %d", count, status);
    }
    std::printf("\n");
    std::printf(
        "%d phones among %d addresses dripping requests on %d connections each: %d pages "
        "(%.0f %%), %d check-ins (%.0f %%)  target >= %.0f %%  %s\n",
        kPhonesAmongDrips, kDrippers, kDripsPerAddress, drip.pages,
        100.0 * drip.pages / kPhonesAmongDrips, drip.checkins,
        100.0 * drip.checkins / kPhonesAmongDrips, 100 * kThroughTarget,
        drip.pages >= kThroughTarget * kPhonesAmongDrips &&
                drip.checkins >= kThroughTarget * kPhonesAmongDrips
            ? "(met)"
            : "(MISSED)");
    PrintRoll(run);
    std::printf("load average (1, 5, 15 min): %s before, %s after\n", loadBefore.c_str(),
                loadAfter.c_str());
    return 0;
}

}  // namespace
}  // namespace ld::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ld::qt::InstallFontSubstitutes();
    return ld::bench::Run();
}
