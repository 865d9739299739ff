// The part of Google Benchmark's interface that picture_bench and sound_bench use, for the
// Windows build: Debian has no MinGW build of the library. The runner chooses iteration
// counts as Google Benchmark does (grow until a run lasts the minimum time, then report that
// run) and prints the same console table, so the two platforms' outputs compare line by line.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace benchmark {

using IterationCount = int64_t;

enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond, kSecond };
double GetTimeUnitMultiplier(TimeUnit unit);

class Counter {
public:
    enum Flags { kDefaults = 0, kIsRate = 1 };
    Counter(double v = 0, Flags f = kDefaults) : value(v), flags(f) {}  // NOLINT: as upstream
    double value;
    Flags flags;
};
using UserCounters = std::map<std::string, Counter>;

class Runner;

template <class T>
inline __attribute__((always_inline)) void DoNotOptimize(T const& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}
template <class T>
inline __attribute__((always_inline)) void DoNotOptimize(T& value) {
    asm volatile("" : "+r,m"(value) : : "memory");
}

class State {
public:
    struct __attribute__((unused)) Value {};
    class Iterator {
    public:
        Iterator() = default;
        explicit Iterator(State* s) : state_(s), left_(s->maxIterations_) {}
        Value operator*() const { return {}; }
        Iterator& operator++() {
            --left_;
            return *this;
        }
        bool operator!=(const Iterator&) {
            if (left_ > 0) return true;
            state_->finishTiming();
            return false;
        }

    private:
        State* state_ = nullptr;
        IterationCount left_ = 0;
    };

    Iterator begin();
    Iterator end() { return {}; }

    int64_t range(size_t pos = 0) const { return args_.at(pos); }
    IterationCount iterations() const { return finished_ ? maxIterations_ : 0; }
    void SkipWithError(const char* message);

    UserCounters counters;

private:
    friend class Runner;
    State(IterationCount iterations, std::vector<int64_t> args)
        : args_(std::move(args)), maxIterations_(iterations) {}
    void finishTiming();

    std::vector<int64_t> args_;
    IterationCount maxIterations_;
    bool started_ = false, finished_ = false, failed_ = false;
    std::string error_;
    double realStart_ = 0, cpuStart_ = 0, realSeconds_ = 0, cpuSeconds_ = 0;
};

namespace internal {

using Function = void (*)(State&);

class Benchmark {
public:
    Benchmark(const char* name, Function f) : name_(name), function_(f) {}
    Benchmark* Arg(int64_t x) {
        args_.push_back(x);
        return this;
    }
    Benchmark* Unit(TimeUnit unit) {
        unit_ = unit;
        return this;
    }
    Benchmark* MinTime(double seconds) {
        minTime_ = seconds;
        return this;
    }
    Benchmark* UseRealTime() {
        realTime_ = true;
        return this;
    }

private:
    friend class benchmark::Runner;
    std::string name_;
    Function function_;
    std::vector<int64_t> args_;  // one run per argument; none: one run without
    TimeUnit unit_ = kNanosecond;
    double minTime_ = 0;  // 0: the command line's or the default
    bool realTime_ = false;
};

Benchmark* RegisterBenchmarkInternal(Benchmark* b);

}  // namespace internal

class BenchmarkReporter {
public:
    struct Run {
        enum RunType { RT_Iteration, RT_Aggregate };
        struct Name {
            std::string function_name;
            std::string args;  // "/44100" or empty
            std::string str() const { return function_name + args; }
        };
        std::string benchmark_name() const { return run_name.str(); }
        double GetAdjustedRealTime() const;
        double GetAdjustedCPUTime() const;

        Name run_name;
        RunType run_type = RT_Iteration;
        bool error_occurred = false;
        std::string error_message;
        IterationCount iterations = 1;
        TimeUnit time_unit = kNanosecond;
        double real_accumulated_time = 0;  // seconds
        double cpu_accumulated_time = 0;
        UserCounters counters;
    };
    virtual ~BenchmarkReporter() = default;
    virtual void ReportHeader(size_t nameWidth) = 0;
    virtual void ReportRuns(const std::vector<Run>& runs) = 0;
    virtual void Finalize() {}
};

class ConsoleReporter : public BenchmarkReporter {
public:
    void ReportHeader(size_t nameWidth) override;
    void ReportRuns(const std::vector<Run>& runs) override;

private:
    size_t nameWidth_ = 10;
};

// Reads --benchmark_filter=<regex> and --benchmark_min_time=<seconds> and removes them.
void Initialize(int* argc, char** argv);
size_t RunSpecifiedBenchmarks();
size_t RunSpecifiedBenchmarks(BenchmarkReporter* reporter);
inline void Shutdown() {}

}  // namespace benchmark

#define BENCHMARK_CAT_(a, b) a##b
#define BENCHMARK_NAME_(line) BENCHMARK_CAT_(benchmark_registered_, line)
#define BENCHMARK(fn)                                                                     \
    [[maybe_unused]] static ::benchmark::internal::Benchmark* BENCHMARK_NAME_(__LINE__) = \
        ::benchmark::internal::RegisterBenchmarkInternal(                                 \
            new ::benchmark::internal::Benchmark(#fn, fn))

#define BENCHMARK_MAIN()                       \
    int main(int argc, char** argv) {          \
        ::benchmark::Initialize(&argc, argv);  \
        ::benchmark::RunSpecifiedBenchmarks(); \
        ::benchmark::Shutdown();               \
        return 0;                              \
    }                                          \
    int main(int, char**)
