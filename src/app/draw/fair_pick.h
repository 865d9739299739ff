// The winner's pick at a stop: uniform over every name of the roll, however many there are.
// The 15-bit generator of the random services reaches only the first 32,768 names and
// favours the low ones through its modulo, so the stop draws from its own generator, seeded
// by the operating system's entropy.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "services/text.h"

namespace ld::app {

class FairPicker {
public:
    FairPicker();  // seeded from the operating system's entropy
    explicit FairPicker(uint64_t seed);

    // Uniform over 1..n; 0 when n < 1.
    int32_t pick(int32_t n);
    // Uniform over 0..bound-1 (bound >= 1), without modulo bias (Lemire's method).
    uint64_t below(uint64_t bound);

private:
    std::mt19937_64 engine_;
};

// Up to `count` indexes into `names`, picked one after another uniformly among the lines
// whose name is neither empty, nor in `excluded`, nor picked already: a batch of distinct
// names, in random order. Fewer when fewer names qualify.
std::vector<size_t> PickDistinctNames(FairPicker& picker, const std::vector<Text>& names,
                                      size_t count, const std::vector<Text>& excluded);

}  // namespace ld::app
