// Fuzzes what sound data from outside goes through before any decoder sees it: the WAV
// chunk walk and sample conversion, and the ID3v2 / trailing TAG search of MP3 files.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/mp3_file.h"
#include "media/wav_parser.h"
#include "media/wav_renderer.h"

namespace {

using namespace ld::media;

// Enough output to cross the ends of small inputs without crawling on slow rates.
constexpr size_t kMaxFrames = 1 << 16;

void RenderWav(std::string_view bytes) {
    const auto format = ParseWav(bytes);
    if (!format) return;
    if (format->dataOffset + format->dataSize > bytes.size()) __builtin_trap();
    WavRenderer wav(bytes, *format);
    std::array<Sample, 1024 * kOutputChannels> out;
    size_t total = 0;
    while (total < kMaxFrames) {
        const size_t got = wav.render(out.data(), 1024);
        total += got;
        if (got < 1024) break;
    }
}

void FindTags(std::string_view bytes) {
    const AudioRange range = FindAudioRange(bytes.size(), [&](uint64_t at, size_t n) {
        return at < bytes.size() ? std::string(bytes.substr(at, n)) : std::string();
    });
    if (range.begin > range.end || range.end > bytes.size()) __builtin_trap();
    Id3v2TagSize(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RenderWav(bytes);
    FindTags(bytes);
    return 0;
}
