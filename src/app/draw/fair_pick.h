// The winner's pick at a stop: uniform over every name of the roll, however many there are.
// The 15-bit generator of the random services reaches only the first 32,768 names and
// favours the low ones through its modulo, so the stop draws from its own generator, seeded
// by the operating system's entropy.
#pragma once

#include <cstdint>
#include <random>

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

}  // namespace ld::app
