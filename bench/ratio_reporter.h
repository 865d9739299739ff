// Prints, after the usual table, how each measured path compares with its baseline from
// the same run: time ratios and, where counted, peak heap ratios.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace ld::bench {

// The value below which a share `p` (0.5, 0.99) of the samples lie.
double Percentile(std::vector<double> samples, double p);

struct Comparison {
    std::string measured;
    std::string baseline;
    double requiredTimeRatio = 0;    // 0: none
    double requiredMemoryRatio = 0;  // 0: none
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<Comparison> comparisons)
        : comparisons_(std::move(comparisons)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Seen {
        double seconds = 0;
        double cpuSeconds = 0;
        double peakBytes = -1;
    };
    std::vector<Comparison> comparisons_;
    std::map<std::string, Seen> seen_;
};

}  // namespace ld::bench
