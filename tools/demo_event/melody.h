// The demo's background music: a short cheerful tune synthesised here and encoded to MP3
// by the lame encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ld::demo {

constexpr int kMelodyRate = 44100;

// Mono 16-bit samples: a plucked melody over a soft bass, twice through, about 16 s.
std::vector<int16_t> SynthesiseMelody();

// A RIFF WAVE file of mono 16-bit samples.
std::string WaveFile(const std::vector<int16_t>& samples, int rate);

// Runs `lame` on a WAVE file; false (with lame's own message on stderr) when it fails.
bool EncodeMp3(const std::string& lame, const std::string& wavePath, const std::string& mp3Path);

}  // namespace ld::demo
