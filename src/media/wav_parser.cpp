#include "media/wav_parser.h"

#include <cstdint>

namespace ld::media {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxSampleRate = 768000;

uint16_t Le16(std::string_view d, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(d[at]) | static_cast<uint8_t>(d[at + 1])
                                                                   << 8);
}

uint32_t Le32(std::string_view d, size_t at) {
    return static_cast<uint32_t>(Le16(d, at)) | static_cast<uint32_t>(Le16(d, at + 2)) << 16;
}

// Fills the sample format from a "fmt " chunk body; false for anything but plain PCM.
bool ReadFormatChunk(std::string_view body, WavFormat& format) {
    if (body.size() < 16) return false;
    uint16_t tag = Le16(body, 0);
    // The extensible header carries the real format in its sub-format GUID.
    if (tag == kFormatExtensible && body.size() >= 26) tag = Le16(body, 24);
    format.channels = Le16(body, 2);
    const uint32_t rate = Le32(body, 4);
    format.bitsPerSample = Le16(body, 14);
    if (tag != kFormatPcm || rate == 0 || rate > kMaxSampleRate) return false;
    format.sampleRate = static_cast<int>(rate);
    return (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16);
}

}  // namespace

bool HasWavSignature(std::string_view data) {
    return data.size() >= 36 && data.substr(0, 4) == "RIFF" && data.substr(8, 4) == "WAVE";
}

bool HasMidiSignature(std::string_view data) { return data.substr(0, 4) == "MThd"; }

std::optional<WavFormat> ParseWav(std::string_view data) {
    if (!HasWavSignature(data)) return std::nullopt;
    WavFormat format;
    bool haveFormat = false, haveData = false;
    // 64-bit offsets: a chunk size near 4 GiB must not wrap around.
    uint64_t at = 12;
    while (at + 8 <= data.size() && !(haveFormat && haveData)) {
        const std::string_view id = data.substr(at, 4);
        const uint64_t size = Le32(data, at + 4);
        const uint64_t bodyStart = at + 8;
        const uint64_t available = data.size() - bodyStart;
        const std::string_view body = data.substr(bodyStart, size < available ? size : available);
        if (id == "fmt " && !haveFormat) {
            if (size > available || !ReadFormatChunk(body, format)) return std::nullopt;
            haveFormat = true;
        } else if (id == "data" && !haveData) {
            format.dataOffset = bodyStart;
            format.dataSize = body.size();
            haveData = true;
        }
        at = bodyStart + size + (size & 1);  // chunks are padded to an even length
    }
    if (!haveFormat || !haveData) return std::nullopt;
    format.dataSize -= format.dataSize % format.frameBytes();
    return format;
}

}  // namespace ld::media
