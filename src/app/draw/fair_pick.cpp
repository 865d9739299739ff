#include "app/draw/fair_pick.h"

#include <array>
#include <string_view>
#include <unordered_set>

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

std::vector<size_t> PickDistinctNames(FairPicker& picker, const std::vector<Text>& names,
                                      size_t count, const std::vector<Text>& excluded) {
    std::vector<size_t> picked;
    if (names.empty()) return picked;
    std::unordered_set<std::string_view> taken(excluded.begin(), excluded.end());
    taken.insert(std::string_view());
    // Drawing again over a name already taken keeps every pick uniform over the rest; a
    // batch is small against the roll, so this ends within a few draws.
    const size_t attempts = 32 * count + 64;
    for (size_t a = 0; a < attempts && picked.size() < count; ++a) {
        const size_t index = picker.below(names.size());
        if (taken.insert(names[index]).second) picked.push_back(index);
    }
    if (picked.size() == count) return picked;
    // Most names are taken (a batch as large as what is left): draw among the lines left
    // directly, each line as likely as in the draws above.
    std::vector<size_t> rest;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!taken.contains(names[i])) rest.push_back(i);
    }
    while (picked.size() < count && !rest.empty()) {
        const size_t at = picker.below(rest.size());
        const size_t index = rest[at];
        rest[at] = rest.back();
        rest.pop_back();
        if (taken.insert(names[index]).second) picked.push_back(index);
    }
    return picked;
}

}  // namespace ld::app
