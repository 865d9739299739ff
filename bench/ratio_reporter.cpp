#include "ratio_reporter.h"

#include <algorithm>

#include <cstdio>

namespace ld::bench {

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration) continue;
        Seen& s = seen_[run.run_name.function_name];
        s.seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        s.cpuSeconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        const auto peak = run.counters.find("peak_bytes");
        if (peak != run.counters.end()) s.peakBytes = peak->second.value;
    }
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::printf("\nAgainst the baseline of the same run:\n");
    for (const Comparison& c : comparisons_) {
        const auto m = seen_.find(c.measured), b = seen_.find(c.baseline);
        if (m == seen_.end() || b == seen_.end() || m->second.seconds <= 0) continue;
        const double time = b->second.seconds / m->second.seconds;
        const double cpu =
            m->second.cpuSeconds > 0 ? b->second.cpuSeconds / m->second.cpuSeconds : 0;
        const char* verdict = c.requiredTimeRatio <= 0      ? ""
                              : time >= c.requiredTimeRatio ? "  (ok)"
                                                            : "  (TOO SLOW)";
        std::printf("  %-28s %8.1f x faster than %s (CPU time: %.1f x)%s\n", c.measured.c_str(),
                    time, c.baseline.c_str(), cpu, verdict);
        if (c.requiredMemoryRatio > 0 && m->second.peakBytes > 0 && b->second.peakBytes > 0) {
            const double memory = b->second.peakBytes / m->second.peakBytes;
            std::printf("  %-28s %8.1f x less peak heap (%.1f MB against %.1f MB)%s\n", "", memory,
                        m->second.peakBytes / 1e6, b->second.peakBytes / 1e6,
                        memory >= c.requiredMemoryRatio ? "  (ok)" : "  (TOO MUCH)");
        }
    }
}

}  // namespace ld::bench
