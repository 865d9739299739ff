#include "services/random.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>

#include "services/host.h"

namespace ld {

namespace {

// Added to the tick so that two seedings within the same millisecond still differ.
uint32_t g_seedCounter = 0;

uint32_t TickCount() {
    if (host().loop) return static_cast<uint32_t>(host().loop->tickCount());
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

int32_t RandomGenerator::next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFF);
}

RandomGenerator& TheRandomGenerator() {
    static RandomGenerator generator;
    return generator;
}

void SeedRandom(std::optional<uint32_t> seed) {
    if (seed) {
        TheRandomGenerator().seed(*seed);
        return;
    }
    // The tick wraps like a 32-bit millisecond counter; only its low bits matter here.
    uint32_t mixed = TickCount() + g_seedCounter;
    TheRandomGenerator().seed(mixed);
    g_seedCounter += (mixed & 0xFF) + 100;
}

uint32_t RandomSeedCounter() { return g_seedCounter; }
void ResetRandomSeedCounter() { g_seedCounter = 0; }

int32_t RandomInt(std::optional<int32_t> low, std::optional<int32_t> high) {
    int32_t lo = low ? std::max(*low, 0) : 0;
    int32_t hi = high ? std::max(*high, 0) : std::numeric_limits<int32_t>::max();
    if (lo > hi) std::swap(lo, hi);
    if (lo == hi) return lo;
    // Both ends are >= 0, so the difference fits; spans above 32767 reach only the first
    // 32768 values, which is the generator's own limit.
    int32_t span = std::min(hi - lo, 2147483646);
    int32_t r = std::abs(TheRandomGenerator().next());
    return lo + r % (span + 1);
}

}  // namespace ld
