// A start and a stop of the draw with 100,000 participants, through the real draw screen
// (templates, routines, the test host's virtual clock), against a baseline in the same run
// that does only the pool work the naive way: the pool split by the generic text splitter
// at the start, and rebuilt line by line without the winner at the stop.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/draw/draw_engine.h"
#include "app/draw/verified_event.h"
#include "app/common/draw_files.h"
#include "app/handlers.h"
#include "app/common/data_files.h"
#include "app/tools/checkin_link.h"
#include "services/files.h"
#include "framework/builtin_templates.h"
#include "framework/template_library.h"
#include "services/profile.h"
#include "services/program.h"
#include "support/test_host.h"

namespace ld::bench {
namespace {

constexpr int kNames = 100000;

Text Pool() {
    static const Text pool = [] {
        Text text;
        for (int i = 1; i <= kNames; ++i) text += Gbk("参加者") + std::to_string(i) + "\r\n";
        return text;
    }();
    return pool;
}

// The draw screen under the test host in a temporary program folder, with level 1 named
// and a count that never runs out.
class Stage {
public:
    Stage() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ld-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data())) root_ = pattern;
        SetProgramLocationForTest(root_, "luckydraw");
        app::RegisterHandlers(routines_);
        library_.load(BuiltInTemplateBlock(), BuiltInHandlerNames(), routines_);
        setTemplates(&library_);
        setWindowManager(&manager_);
        app::InitialiseApplication();
        manager_.loadWindow(app::kMainWindow);
        host_.loop.runPosted();
        app::StageControl("编辑框_奖项1").setTextValue(Gbk("特等奖"));
        app::StageControl("编辑框_奖项人数1").setTextValue("1000000000");
        app::StageControl("选择框_禁用特效").setBool(prop::kChecked, true);
        Control& selector = app::StageControl("组合框1");
        selector.clearItems();
        selector.addItem(Gbk("特等奖"));
        selector.chooseItem(0);
        selector.raise(ev::kItemChosen);
    }
    ~Stage() {
        app::RollPreviews().waitIdle();
        for (const auto& w : library_.windows()) manager_.destroyWindow(w.name);
        setWindowManager(nullptr);
        setTemplates(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    void trigger() {
        app::StageControl("超级按钮").raise(ev::kClicked);
        host_.loop.runPosted();
    }
    void pause() { host_.loop.advance(200); }

private:
    std::string root_;
    test::TestHost host_;
    HandlerTable routines_;
    TemplateLibrary library_;
    WindowManager manager_{library_.factory()};
};

void EngineStartStop(benchmark::State& run) {
    Stage stage;
    DrawState& draw = app::State().draw;
    using Clock = std::chrono::steady_clock;
    double startMs = 0, stopMs = 0;
    for (auto _ : run) {
        run.PauseTiming();
        draw.poolText = Pool();
        draw.resultsText.clear();
        run.ResumeTiming();
        const auto t0 = Clock::now();
        stage.trigger();  // start
        const auto t1 = Clock::now();
        stage.trigger();  // stop
        const auto t2 = Clock::now();
        startMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        stopMs += std::chrono::duration<double, std::milli>(t2 - t1).count();
        run.PauseTiming();
        stage.pause();
        run.ResumeTiming();
    }
    run.counters["names"] = static_cast<double>(draw.rollList.size());
    run.counters["start_ms"] = benchmark::Counter(startMs, benchmark::Counter::kAvgIterations);
    run.counters["stop_ms"] = benchmark::Counter(stopMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(EngineStartStop)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The stop alone, of a single winner (1) and of a batch of 50 (the grid's whole photos are
// decoded by the host on its workers; here the test host only records the grid).
// Times the stops of `run`, each after a fresh start of all 100,000 names; `before` runs
// untimed before each start.
void TimeStops(benchmark::State& run, Stage& stage, const std::function<void()>& before = {}) {
    DrawState& draw = app::State().draw;
    for (auto _ : run) {
        run.PauseTiming();
        if (before) before();
        draw.poolText = Pool();
        draw.resultsText.clear();
        draw.pickLogText.clear();
        draw.pickLogList.clear();
        stage.trigger();  // start
        run.ResumeTiming();
        stage.trigger();  // stop
        run.PauseTiming();
        stage.pause();
        run.ResumeTiming();
    }
    run.counters["winners"] = static_cast<double>(SplitPool(draw.resultsText).size());
}

void SetPerDraw(benchmark::State& run) {
    WriteConfigText(ConfigStore::path(), "zbt", Gbk("特等奖每次人数"), ToText(run.range(0)));
}

void EngineStop(benchmark::State& run) {
    Stage stage;
    SetPerDraw(run);
    TimeStops(run, stage);
}
BENCHMARK(EngineStop)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same stops in a verified event: every winner the keyed pick among the 100,000 sealed
// names (HMAC-SHA-256, rejection sampling), and the stop's entry appended to the record.
// Against EngineStop in the same run.
void VerifiedStop(benchmark::State& run) {
    Stage stage;
    SetPerDraw(run);
    app::State().draw.poolText = Pool();
    std::string problem;
    std::optional<app::VerifiedEvent> sealed = app::SealEvent(app::SealCurrentDraw(), 0, problem);
    if (!sealed) return run.SkipWithError(problem.c_str());
    app::SetSeedDigits(*sealed, "314159265358979323");
    TimeStops(run, stage, [&] { app::SetVerifiedEvent(sealed); });
    app::SetVerifiedEvent(std::nullopt);
}
BENCHMARK(VerifiedStop)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One roll tick of a batch of 50 with 100,000 names: the draw's share of it (which people
// the tiles show, their previews asked for), the host's drawing aside. No photo exists, so
// every preview is ready at once and empty: each tile finds its first candidate ready.
void BatchRollTick(benchmark::State& run) {
    Stage stage;
    WriteConfigText(ConfigStore::path(), "zbt", Gbk("特等奖每次人数"), "50");
    DrawState& draw = app::State().draw;
    draw.poolText = Pool();
    draw.resultsText.clear();
    stage.trigger();  // start: the grid rolls
    for (int warm = 0; warm < 200; ++warm) app::RollTick();
    app::RollPreviews().waitIdle();
    for (auto _ : run) app::RollTick();
    run.counters["tiles"] = static_cast<double>(app::State().batchGrid->tiles.size());
    stage.trigger();  // stop
}
BENCHMARK(BatchRollTick)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Names that checked in or were imported during a roll go into the pool after the stop: 10,000
// at once against a single one: the UI thread's time from the stop's settling on (the joins
// wait for it), and how much the recovery record, written once, grew for them.
void JoinsAfterStop(benchmark::State& run) {
    Stage stage;
    const auto joins = static_cast<int>(run.range(0));
    std::vector<Text> names;
    for (int i = 1; i <= joins; ++i) names.push_back(Gbk("签到者") + std::to_string(i));
    DrawState& draw = app::State().draw;
    const std::string record = files::InProgramDirectory(files::RecoveryRecord());
    double recordBytes = 0;
    for (auto _ : run) {
        run.PauseTiming();
        draw.poolText = Gbk("张三\r\n李四\r\n");
        draw.resultsText.clear();
        draw.pickLogText.clear();
        draw.pickLogList.clear();
        stage.trigger();  // start
        for (const Text& name : names) app::JoinPool(name);
        stage.trigger();  // stop
        std::error_code error;
        const auto before = std::filesystem::file_size(record, error);
        run.ResumeTiming();
        stage.pause();  // the stop settles; the waiting joins go in
        run.PauseTiming();
        recordBytes = static_cast<double>(std::filesystem::file_size(record, error) - before);
        run.ResumeTiming();
    }
    run.counters["joins"] = joins;
    run.counters["record_growth"] = recordBytes;  // the joins' share of the record
}
BENCHMARK(JoinsAfterStop)->Arg(1)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same pool work done naively: the generic splitter, then a fresh pool text built line
// by line without the winner.
void NaiveStartStop(benchmark::State& run) {
    uint64_t pick = 12345;
    for (auto _ : run) {
        const Text pool = Pool();
        std::vector<Text> roll = SplitText(pool, "\r\n");
        pick = (pick * 6364136223846793005u + 1442695040888963407u) >> 1;
        const Text& winner = roll[pick % roll.size()];
        Text rebuilt;
        bool removed = false;
        for (const Text& line : SplitText(pool, "\r\n")) {
            if (!removed && line == winner) {
                removed = true;
                continue;
            }
            rebuilt += line + "\r\n";
        }
        benchmark::DoNotOptimize(rebuilt.data());
    }
}
BENCHMARK(NaiveStartStop)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints, after the table, the engine against the baseline: wall time (which on a busy
// machine or a slow disk includes the wait for the results file to reach the disk) and the
// UI thread's CPU time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            seen_[run.run_name.function_name +
                  (run.run_name.args.empty() ? "" : "/" + run.run_name.args)] = {run.GetAdjustedRealTime() / unit,
                                                 run.GetAdjustedCPUTime() / unit};
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto single = seen_.find("EngineStop/1"), batch = seen_.find("EngineStop/50");
        if (single != seen_.end() && batch != seen_.end()) {
            std::printf(
                "\nA stop with %d names: one winner %.2f ms (UI thread CPU %.2f ms), a batch of "
                "50 %.2f ms (CPU %.2f ms): %.2f x the single stop (CPU: %.2f x).\n",
                kNames, single->second.wall * 1e3, single->second.cpu * 1e3,
                batch->second.wall * 1e3, batch->second.cpu * 1e3,
                batch->second.wall / single->second.wall, batch->second.cpu / single->second.cpu);
        }
        const auto one = seen_.find("JoinsAfterStop/1"), many = seen_.find("JoinsAfterStop/10000");
        if (one != seen_.end() && many != seen_.end()) {
            std::printf(
                "\nJoins after a stop: 10000 names %.2f ms (UI thread CPU %.2f ms), one name "
                "%.2f ms (CPU %.2f ms): %.2f x (CPU: %.2f x); one recovery record write each.\n",
                many->second.wall * 1e3, many->second.cpu * 1e3, one->second.wall * 1e3,
                one->second.cpu * 1e3, many->second.wall / one->second.wall,
                many->second.cpu / one->second.cpu);
        }
        const auto engine = seen_.find("EngineStartStop"), naive = seen_.find("NaiveStartStop");
        if (engine == seen_.end() || naive == seen_.end()) return;
        const Times e = engine->second, b = naive->second;
        std::printf(
            "\nA start and a stop with %d names: %.2f ms (UI thread CPU %.2f ms).\n"
            "The naive pool work alone: %.2f ms (CPU %.2f ms), %.2f x the engine's time "
            "(CPU: %.2f x).\n",
            kNames, e.wall * 1e3, e.cpu * 1e3, b.wall * 1e3, b.cpu * 1e3, b.wall / e.wall,
            b.cpu / e.cpu);
    }

private:
    struct Times {
        double wall = 0, cpu = 0;
    };
    std::map<std::string, Times> seen_;
};

}  // namespace
}  // namespace ld::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ld::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
