// The runner behind mini_benchmark's benchmark.h: Google Benchmark's iteration policy and
// console table, nothing more.
#include "benchmark/benchmark.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

namespace benchmark {
namespace {

constexpr IterationCount kMaxIterations = 1000000000;
std::string filter = ".";
double defaultMinTime = 0.5;
std::string programName;

std::vector<internal::Benchmark*>& Registry() {
    static std::vector<internal::Benchmark*> all;
    return all;
}

double RealNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The calling thread's CPU time, as Google Benchmark measures it by default.
double ThreadCpuNow() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto ticks = [](FILETIME t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 1e-7;
#else
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
#endif
}

const char* UnitName(TimeUnit unit) {
    switch (unit) {
        case kSecond:
            return "s";
        case kMillisecond:
            return "ms";
        case kMicrosecond:
            return "us";
        default:
            return "ns";
    }
}

std::string FormatTime(double time) {
    char text[32];
    const char* format = time < 1.0     ? "%10.3f"
                         : time < 10.0  ? "%10.2f"
                         : time < 100.0 ? "%10.1f"
                                        : "%10.0f";
    std::snprintf(text, sizeof text, format, time);
    return text;
}

std::string HumanReadable(double v) {
    const char* suffix = "";
    for (const char* s : {"k", "M", "G", "T"}) {
        if (std::abs(v) < 1000) break;
        v /= 1000;
        suffix = s;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.6g%s", v, suffix);
    return text;
}

}  // namespace

double GetTimeUnitMultiplier(TimeUnit unit) {
    switch (unit) {
        case kSecond:
            return 1;
        case kMillisecond:
            return 1e3;
        case kMicrosecond:
            return 1e6;
        default:
            return 1e9;
    }
}

State::Iterator State::begin() {
    started_ = true;
    if (failed_) maxIterations_ = 0;
    realStart_ = RealNow();
    cpuStart_ = ThreadCpuNow();
    return Iterator(this);
}

void State::finishTiming() {
    cpuSeconds_ = ThreadCpuNow() - cpuStart_;
    realSeconds_ = RealNow() - realStart_;
    finished_ = true;
}

void State::SkipWithError(const char* message) {
    failed_ = true;
    error_ = message;
    maxIterations_ = 0;
}

double BenchmarkReporter::Run::GetAdjustedRealTime() const {
    return real_accumulated_time * GetTimeUnitMultiplier(time_unit) /
           static_cast<double>(std::max<IterationCount>(iterations, 1));
}

double BenchmarkReporter::Run::GetAdjustedCPUTime() const {
    return cpu_accumulated_time * GetTimeUnitMultiplier(time_unit) /
           static_cast<double>(std::max<IterationCount>(iterations, 1));
}

void ConsoleReporter::ReportHeader(size_t nameWidth) {
    nameWidth_ = nameWidth;
    char line[256];
    std::snprintf(line, sizeof line, "%-*s %13s %15s %12s", static_cast<int>(nameWidth),
                  "Benchmark", "Time", "CPU", "Iterations");
    const std::string header = std::string(line) + " UserCounters...";
    const std::string rule(header.size(), '-');
    std::printf("%s\n%s\n%s\n", rule.c_str(), header.c_str(), rule.c_str());
}

void ConsoleReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        std::printf("%-*s ", static_cast<int>(nameWidth_), run.benchmark_name().c_str());
        if (run.error_occurred) {
            std::printf("ERROR OCCURRED: '%s'\n", run.error_message.c_str());
            continue;
        }
        std::printf("%s %-4s %s %-4s %10lld", FormatTime(run.GetAdjustedRealTime()).c_str(),
                    UnitName(run.time_unit), FormatTime(run.GetAdjustedCPUTime()).c_str(),
                    UnitName(run.time_unit), static_cast<long long>(run.iterations));
        for (const auto& [name, counter] : run.counters) {
            std::printf(" %s=%s%s", name.c_str(), HumanReadable(counter.value).c_str(),
                        counter.flags & Counter::kIsRate ? "/s" : "");
        }
        std::printf("\n");
    }
    std::fflush(stdout);
}

namespace internal {
Benchmark* RegisterBenchmarkInternal(Benchmark* b) {
    Registry().push_back(b);
    return b;
}
}  // namespace internal

class Runner {
public:
    // Every registered benchmark that the filter selects, in the order of registration.
    static size_t RunAll(BenchmarkReporter* reporter);

    // One benchmark with one argument list: more iterations until a run lasts the minimum
    // time, that run reported.
    static BenchmarkReporter::Run Measure(const internal::Benchmark& b, std::vector<int64_t> args,
                                          const std::string& name) {
        const double minTime = b.minTime_ > 0 ? b.minTime_ : defaultMinTime;
        IterationCount iterations = 1;
        for (;;) {
            State state(iterations, args);
            b.function_(state);
            const double seconds = b.realTime_ ? state.realSeconds_ : state.cpuSeconds_;
            if (state.failed_ || iterations >= kMaxIterations || seconds >= minTime ||
                state.realSeconds_ >= 5 * minTime) {
                return Report(b, state, name, seconds);
            }
            double multiplier = minTime * 1.4 / std::max(seconds, 1e-9);
            if (seconds / minTime <= 0.1) multiplier = 10.0;
            const auto next =
                static_cast<IterationCount>(multiplier * static_cast<double>(iterations));
            iterations = std::min(kMaxIterations, std::max(next, iterations + 1));
        }
    }

private:
    static BenchmarkReporter::Run Report(const internal::Benchmark& b, State& state,
                                         const std::string& name, double seconds) {
        BenchmarkReporter::Run run;
        run.run_name.function_name = b.name_;
        run.run_name.args = name.substr(b.name_.size());
        run.time_unit = b.unit_;
        run.error_occurred = state.failed_;
        run.error_message = state.error_;
        run.iterations = state.maxIterations_;
        run.real_accumulated_time = state.realSeconds_;
        run.cpu_accumulated_time = state.cpuSeconds_;
        for (auto& [key, counter] : state.counters) {
            if ((counter.flags & Counter::kIsRate) && seconds > 0) counter.value /= seconds;
        }
        run.counters = state.counters;
        return run;
    }
};

void Initialize(int* argc, char** argv) {
    if (*argc > 0) programName = argv[0];
    int kept = 1;
    for (int i = 1; i < *argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--benchmark_filter=", 0) == 0) {
            filter = arg.substr(std::strlen("--benchmark_filter="));
        } else if (arg.rfind("--benchmark_min_time=", 0) == 0) {
            defaultMinTime = std::atof(arg.c_str() + std::strlen("--benchmark_min_time="));
        } else {
            argv[kept++] = argv[i];
        }
    }
    *argc = kept;
}

size_t RunSpecifiedBenchmarks() {
    ConsoleReporter console;
    return RunSpecifiedBenchmarks(&console);
}

size_t RunSpecifiedBenchmarks(BenchmarkReporter* reporter) { return Runner::RunAll(reporter); }

size_t Runner::RunAll(BenchmarkReporter* reporter) {
    const std::regex wanted(filter);
    std::vector<std::pair<internal::Benchmark*, std::vector<int64_t>>> runs;
    std::vector<std::string> names;
    for (internal::Benchmark* b : Registry()) {
        std::vector<std::vector<int64_t>> argLists;
        for (int64_t a : b->args_) argLists.push_back({a});
        if (argLists.empty()) argLists.push_back({});
        for (auto& args : argLists) {
            std::string name = b->name_;
            for (int64_t a : args) name += "/" + std::to_string(a);
            if (b->minTime_ > 0) {
                char minTime[32];
                std::snprintf(minTime, sizeof minTime, "/min_time:%0.3f", b->minTime_);
                name += minTime;
            }
            if (b->realTime_) name += "/real_time";
            if (!std::regex_search(name, wanted)) continue;
            runs.emplace_back(b, args);
            names.push_back(name);
        }
    }
    size_t width = 10;
    for (const std::string& n : names) width = std::max(width, n.size());
    std::fprintf(stderr, "Running %s\n", programName.c_str());
    reporter->ReportHeader(width);
    for (size_t i = 0; i < runs.size(); ++i) {
        reporter->ReportRuns({Measure(*runs[i].first, runs[i].second, names[i])});
    }
    reporter->Finalize();
    return runs.size();
}

}  // namespace benchmark
