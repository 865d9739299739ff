#include "app/draw/fair_pick.h"

#include <array>

namespace ld::app {

namespace {

std::mt19937_64 EntropySeeded() {
    std::random_device entropy;
    std::array<uint32_t, 8> words{};
    for (auto& w : words) w = entropy();
    std::seed_seq seed(words.begin(), words.end());
    return std::mt19937_64(seed);
}

}  // namespace

FairPicker::FairPicker() : engine_(EntropySeeded()) {}

FairPicker::FairPicker(uint64_t seed) : engine_(seed) {}

uint64_t FairPicker::below(uint64_t bound) {
    // The high half of a 64 x 64-bit product is uniform once the few low results that
    // would over-represent some values are thrown back.
    unsigned __int128 product = static_cast<unsigned __int128>(engine_()) * bound;
    auto low = static_cast<uint64_t>(product);
    if (low < bound) {
        const uint64_t threshold = (0 - bound) % bound;
        while (low < threshold) {
            product = static_cast<unsigned __int128>(engine_()) * bound;
            low = static_cast<uint64_t>(product);
        }
    }
    return static_cast<uint64_t>(product >> 64);
}

int32_t FairPicker::pick(int32_t n) {
    if (n < 1) return 0;
    return static_cast<int32_t>(below(static_cast<uint64_t>(n))) + 1;
}

}  // namespace ld::app
