// The one PCM format that everything is mixed in: the sound device is opened with it and
// every decoder converts to it, so the mixer only ever adds samples.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ld::media {

constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;

// Output frames are interleaved signed 16-bit stereo samples.
using Sample = int16_t;

}  // namespace ld::media
