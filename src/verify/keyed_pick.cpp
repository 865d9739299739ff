#include "verify/keyed_pick.h"

#include <string>

namespace ld::verify {

Digest EventSeed(const Digest& secret, std::string_view digits, const Digest& fingerprint) {
    return Sha256Of("luckydraw seed v1\n" + Hex(secret) + "\n" + std::string(digits) + "\n" +
                    Hex(fingerprint));
}

size_t KeyedPick(const Digest& seed, std::string_view level, uint64_t k, size_t n) {
    const std::string key(reinterpret_cast<const char*>(seed.data()), seed.size());
    const uint64_t count = n;
    // The largest multiple of n that fits: values at or above it would favour the low picks.
    const uint64_t limit = count == 0 ? 0 : UINT64_MAX - (UINT64_MAX % count + 1) % count;
    for (uint64_t counter = 0;; ++counter) {
        const Digest d = HmacSha256(key, "pick\n" + std::string(level) + "\n" +
                                             std::to_string(k) + "\n" + std::to_string(counter));
        uint64_t x = 0;
        for (int i = 0; i < 8; ++i) x = x << 8 | d[static_cast<size_t>(i)];
        if (count <= 1) return 0;
        if (x <= limit) return static_cast<size_t>(x % count);
    }
}

}  // namespace ld::verify
