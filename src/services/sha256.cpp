#include "services/sha256.h"

#include <algorithm>
#include <cstring>

namespace ld {

namespace {

constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
    0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
    0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
    0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
    0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
    0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
    0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
    0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
    0xc67178f2};

constexpr uint32_t Rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab,
             0x5be0cd19} {}

void Sha256::block(const uint8_t* p) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t{p[4 * i]} << 24 | uint32_t{p[4 * i + 1]} << 16 |
               uint32_t{p[4 * i + 2]} << 8 | uint32_t{p[4 * i + 3]};
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 =
            h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const uint32_t add[8] = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i) state_[i] += add[i];
}

void Sha256::update(std::string_view bytes) {
    length_ += bytes.size();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t n = bytes.size();
    while (n > 0) {
        const size_t take = std::min(n, buffer_.size() - buffered_);
        std::memcpy(buffer_.data() + buffered_, p, take);
        buffered_ += take;
        p += take;
        n -= take;
        if (buffered_ == buffer_.size()) {
            block(buffer_.data());
            buffered_ = 0;
        }
    }
}

Digest Sha256::finish() {
    const uint64_t bits = length_ * 8;
    update(std::string_view("\x80", 1));
    while (buffered_ != 56) update(std::string_view("\0", 1));
    char tail[8];
    for (int i = 0; i < 8; ++i) tail[i] = static_cast<char>(bits >> (56 - 8 * i));
    update(std::string_view(tail, 8));
    Digest out;
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 4; ++k) out[4 * i + k] = static_cast<uint8_t>(state_[i] >> (24 - 8 * k));
    return out;
}

Digest Sha256Of(std::string_view bytes) {
    Sha256 hash;
    hash.update(bytes);
    return hash.finish();
}

Digest HmacSha256(std::string_view key, std::string_view message) {
    std::string block(64, '\0');
    if (key.size() > block.size()) {
        const Digest short_key = Sha256Of(key);
        std::memcpy(block.data(), short_key.data(), short_key.size());
    } else {
        std::memcpy(block.data(), key.data(), key.size());
    }
    std::string inner = block, outer = block;
    for (char& c : inner) c = static_cast<char>(c ^ 0x36);
    for (char& c : outer) c = static_cast<char>(c ^ 0x5c);
    Sha256 first;
    first.update(inner);
    first.update(message);
    const Digest innerDigest = first.finish();
    Sha256 second;
    second.update(outer);
    second.update(std::string_view(reinterpret_cast<const char*>(innerDigest.data()), 32));
    return second.finish();
}

std::string Hex(const Digest& digest) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (uint8_t b : digest) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::optional<Digest> DigestFromHex(std::string_view hex) {
    if (hex.size() != 64) return std::nullopt;
    Digest out{};
    for (size_t i = 0; i < 64; ++i) {
        const char c = hex[i];
        const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (v < 0) return std::nullopt;
        out[i / 2] = static_cast<uint8_t>(out[i / 2] << 4 | v);
    }
    return out;
}

Digest Sha256OfDigest(const Digest& digest) {
    return Sha256Of(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

}  // namespace ld
