// The check-in storm while the stage rolls, the same on every host: 300 check-ins of
// 12-megapixel phone photos (about 2.2 MB each, half of them stored sideways) come from 20
// concurrent loopback clients on one source address (127.0.0.2: a hall behind one router),
// through the real server and desk into a temporary event folder, while the UI thread runs
// the roll tick every 30 ms: take a ready preview, set it into the photo box, paint. The
// baseline is the same tick with no check-ins, half before the storm and half after it.
// Each host's program only says how the box is painted and how its events are handled.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "services/text.h"

namespace ld::bench {

constexpr int kCheckins = 300;
constexpr int kClients = 20;
constexpr int kSourceAddresses = 1;  // 127.0.0.2: every client behind one router
constexpr int kQuietTicks = 200;     // before the storm, and as many after it
constexpr auto kInterval = std::chrono::milliseconds(30);
constexpr double kTickP99TargetMs = 3;
constexpr double kRateTarget = 10;
constexpr char kToken[] = "0123456789abcdef0123456789abcdef";

// The photo box the roll paints, on the host's stage.
class RollStage {
public:
    virtual ~RollStage() = default;
    // The tick after it has its bytes: set the picture and paint the box now.
    virtual void show(Bytes picture) = 0;
    // The host's events handled, as between two timer ticks.
    virtual void pump() = 0;
    virtual bool showsPicture() = 0;
};

std::string ReadAll(const std::string& path);
std::string PercentEncoded(std::string_view utf8);

struct StormFigures {
    std::map<int, int> statuses;  // HTTP status -> count; 0: no answer
    double seconds = 0;
};
// kCheckins check-ins from kClients threads, each on its own connection, every one with a
// name of its own; returns when every one has its answer (or its socket timed out).
StormFigures Storm(int port, const std::vector<std::string>& uploads);

struct StormRun {
    std::vector<std::string> uploads;
    StormFigures storm;
    int stored = 0;      // photos in photo/ as the stage would show them
    int joinsHeard = 0;  // on the UI thread, as the stage hears them
    std::vector<double> quietMs, quietCpuMs, busyMs, busyCpuMs;
};
// The whole run in a temporary event folder; `beforeQuiet` runs after the caches are
// filled, before the baseline. False when the server did not start or the box showed no
// picture (said on stderr).
bool RunStorm(RollStage& stage, StormRun& run, const std::function<void()>& beforeQuiet = {});

// The report's lines on the storm itself (count, answers, rate) and on the roll tick.
void PrintStorm(const StormRun& run);
void PrintRoll(const StormRun& run);

}  // namespace ld::bench
