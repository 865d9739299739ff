// Timing of a roll tick on the UI thread, the same on every host: the host only says how
// its events are handled between two ticks.
#pragma once

#include <functional>

namespace ld::bench {

// p50 and p99 of a tick, in milliseconds.
struct Figures {
    double p50 = 0, p99 = 0;
};
// Times `tick` `ticks` times, after a few untimed ones that fill the caches, calling `pump`
// between two, as the event loop runs between two timer ticks.
Figures TimeTicks(int ticks, const std::function<void(int)>& tick,
                  const std::function<void()>& pump);

}  // namespace ld::bench
