// Turns the samples of a PCM WAV file into output frames: 8-bit samples widened, mono
// doubled to both channels, and other rates resampled by linear interpolation (plenty
// for short effect sounds, and exact when the rates already agree).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/sound_format.h"
#include "media/wav_parser.h"

namespace ld::media {

class WavRenderer {
public:
    // `file` is the whole WAV file; it must outlive the renderer.
    WavRenderer(std::string_view file, const WavFormat& format);

    // Up to `frames` output frames; fewer only at the end of the sound.
    size_t render(Sample* out, size_t frames);
    void rewind() { position_ = 0; }
    // Output frames of the whole sound.
    size_t totalFrames() const;

private:
    int32_t sample(size_t frame, int channel) const;

    std::string_view samples_;
    WavFormat format_;
    size_t frames_;
    uint64_t position_ = 0;  // in source frames, 32.32 fixed point
    uint64_t step_;          // source frames per output frame, 32.32 fixed point
};

}  // namespace ld::media
