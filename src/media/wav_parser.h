// Recognition of the sound data that PlaySound accepts: a PCM WAV file or a standard
// MIDI file, held in memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace ld::media {

struct WavFormat {
    int channels = 0;       // 1 or 2
    int sampleRate = 0;     // frames per second
    int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)
    size_t dataOffset = 0;  // first sample byte
    size_t dataSize = 0;    // whole frames only, never past the end of the data

    size_t frameBytes() const { return static_cast<size_t>(channels) * (bitsPerSample / 8); }
    size_t frameCount() const { return frameBytes() ? dataSize / frameBytes() : 0; }
};

// At least 36 bytes, "RIFF" at 0 and "WAVE" at 8.
bool HasWavSignature(std::string_view data);
// Starts with "MThd".
bool HasMidiSignature(std::string_view data);

// Locates the "fmt " and "data" chunks in any order. Refused (nullopt): no WAV signature,
// either chunk missing, a format chunk cut short, or a format other than PCM with 8 or
// 16 bits and one or two channels. A data chunk whose size runs past the end of the
// buffer is cut at the end (writers that never came back to fix the size do that).
std::optional<WavFormat> ParseWav(std::string_view data);

}  // namespace ld::media
