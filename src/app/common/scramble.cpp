#include "app/common/scramble.h"

#include "services/random.h"

namespace ld {

namespace {

constexpr std::string_view kKey = "fYNBGloEpFKzh7RqeVwyvSAUTi2jXDHa1bQkx9d8LZI4u0gWMntOCJP5mr63sc";
constexpr int kKeyLength = 62;  // the positions computed below rely on exactly 62
static_assert(kKey.size() == kKeyLength);

// 0-based position of a scrambled character in the key. A character that is not in the
// key gives -2 (its 1-based position -1, minus 1); the missing partner of an odd last
// character is the empty text, which is found at the first position.
int KeyIndex(std::string_view character) {
    if (character.empty()) return 0;
    size_t at = kKey.find(character[0]);
    return at == std::string_view::npos ? -2 : static_cast<int>(at);
}

}  // namespace

const std::string_view kScrambleKey = kKey;

Text ScrambleText(std::string_view plain) {
    Text scrambled;
    scrambled.reserve(plain.size() * 2);
    for (unsigned char byte : plain) {
        SeedRandom();
        int r = RandomInt(0, 5);
        int x = byte ^ r;
        scrambled += kKey[x % kKeyLength];
        scrambled += kKey[(x / kKeyLength) * 8 + r];
    }
    return scrambled;
}

Text UnscrambleText(std::string_view scrambled) {
    Text plain;
    for (size_t i = 0; i < scrambled.size(); i += 2) {
        int p1 = KeyIndex(scrambled.substr(i, 1));
        int p2 = KeyIndex(i + 1 < scrambled.size() ? scrambled.substr(i + 1, 1) : "");
        int hi = p2 / 8;  // truncates toward zero, as the stored form was made
        int r = p2 - hi * 8;
        auto byte = static_cast<unsigned char>(((hi * kKeyLength + p1) ^ r) & 0xFF);
        if (byte == 0) break;  // the plain text ends at its first zero byte
        plain += static_cast<char>(byte);
    }
    return plain;
}

}  // namespace ld
