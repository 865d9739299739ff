#include "media/mp3_file.h"

#include <algorithm>

namespace ld::media {

namespace {

constexpr size_t kId3HeaderSize = 10;
constexpr size_t kId3FooterSize = 10;
constexpr size_t kTrailingTagSize = 128;
// Some taggers stack tags; more than this many is not a tag but a broken file.
constexpr int kMaxStackedTags = 8;

}  // namespace

uint64_t Id3v2TagSize(std::string_view header) {
    if (header.size() < kId3HeaderSize || header.substr(0, 3) != "ID3") return 0;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(header[i]); };
    const int major = byte(3);
    if (major < 2 || major > 4) return 0;
    // The size is 7 bits a byte; a stray top bit is ignored, as other players do, rather
    // than decoding the tag's bytes as audio.
    uint64_t size = 0;
    for (size_t i = 6; i < 10; ++i) size = size << 7 | (byte(i) & 0x7F);
    const bool footer = major == 4 && (byte(5) & 0x10);
    return kId3HeaderSize + size + (footer ? kId3FooterSize : 0);
}

AudioRange FindAudioRange(uint64_t length, const ReadAt& readAt) {
    AudioRange range{0, length};
    if (length >= kTrailingTagSize && readAt(length - kTrailingTagSize, 3) == "TAG") {
        range.end -= kTrailingTagSize;
    }
    for (int i = 0; i < kMaxStackedTags && range.begin + kId3HeaderSize <= range.end; ++i) {
        const uint64_t tag = Id3v2TagSize(readAt(range.begin, kId3HeaderSize));
        if (tag == 0) break;
        range.begin += tag;
    }
    // A tag that claims more than the file holds leaves nothing to play, rather than
    // letting its bytes through as audio.
    range.begin = std::min(range.begin, range.end);
    return range;
}

}  // namespace ld::media
