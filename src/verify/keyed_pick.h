// Every pick of a verified draw is a function of the seed, so that anyone can replay it:
//   seed  = SHA-256("luckydraw seed v1\n" + hex(secret) + "\n" + digits + "\n" + hex(fingerprint))
//   pick k of the event, among n eligible names sorted by their UTF-8 bytes:
//     for counter = 0, 1, ...:
//       d = HMAC-SHA-256(key = seed, message = "pick\n" + level + "\n" + k + "\n" + counter)
//       x = the first 8 bytes of d as a big-endian number
//       if x < 2^64 - (2^64 mod n): the pick is x mod n
// Rejection sampling keeps every name equally likely; the moment of the stop changes nothing
// but the animation. k counts from 1 over the whole event, in the order the picks are made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "services/sha256.h"

namespace ld::verify {

Digest EventSeed(const Digest& secret, std::string_view digits, const Digest& fingerprint);

// Index in [0, n) of pick `k` of `level` (UTF-8 name); n must be at least 1.
size_t KeyedPick(const Digest& seed, std::string_view level, uint64_t k, size_t n);

}  // namespace ld::verify
