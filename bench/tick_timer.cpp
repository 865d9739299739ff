#include "tick_timer.h"

#include <chrono>
#include <vector>

#include "ratio_reporter.h"

namespace ld::bench {

Figures TimeTicks(int ticks, const std::function<void(int)>& tick,
                  const std::function<void()>& pump) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 3; ++i) tick(i);
    std::vector<double> ms;
    for (int i = 0; i < ticks; ++i) {
        const auto start = Clock::now();
        tick(i);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        pump();
    }
    return {Percentile(ms, 0.50), Percentile(ms, 0.99)};
}

}  // namespace ld::bench
