// The random services: a 15-bit linear congruential generator with the step of the Windows C
// library's rand (values 0..32767, seed 1 gives 41, 18467, 6334 ...), seeded from the tick
// count plus a private counter. glibc's rand differs and is not used.
#pragma once

#include <cstdint>
#include <optional>

namespace ld {

class RandomGenerator {
  public:
    void seed(uint32_t seed) { state_ = seed; }
    // state = state * 214013 + 2531011; result = (state / 65536) % 32768
    int32_t next();
    uint32_t state() const { return state_; }

  private:
    uint32_t state_ = 1;
};

RandomGenerator& TheRandomGenerator();

// Seed given: seeds with it. Omitted: seeds with tick + counter, then adds
// ((tick + counter) & 0xFF) + 100 to the counter. The tick comes from the host clock.
void SeedRandom(std::optional<uint32_t> seed = std::nullopt);
// The counter, for tests; it starts at 0 with the program.
uint32_t RandomSeedCounter();
void ResetRandomSeedCounter();

// Exact formula: clamps to >= 0, swaps, low==high returns low without advancing,
// span = min(high-low, 2147483646), result = low + (r mod (span + 1)).
int32_t RandomInt(std::optional<int32_t> low = std::nullopt,
                  std::optional<int32_t> high = std::nullopt);

}  // namespace ld
