// SHA-256 and HMAC-SHA-256 (FIPS 180-4, RFC 2104), portable, for fingerprints, commitments
// and keyed picks that anyone can recompute with a standard tool.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ld {

using Digest = std::array<uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    void update(std::string_view bytes);
    Digest finish();  // the object is spent afterwards

private:
    void block(const uint8_t* data);
    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> buffer_{};
    size_t buffered_ = 0;
    uint64_t length_ = 0;  // bytes
};

Digest Sha256Of(std::string_view bytes);
Digest HmacSha256(std::string_view key, std::string_view message);
std::string Hex(const Digest& digest);  // 64 lower-case hex digits
// The digest that Hex wrote; nothing for any other text.
std::optional<Digest> DigestFromHex(std::string_view hex);
// The digest of a digest's bytes, as a commitment to a secret.
Digest Sha256OfDigest(const Digest& digest);

}  // namespace ld
