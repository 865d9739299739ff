// An MPEG audio decoder that is fed bytes and gives output frames: any rate and channel count
// comes out as the mixer's stereo 16-bit frames at the output rate. libmpg123 on Linux
// (posix/), the system's MP3 codec through ACM on Windows (win32/).
#pragma once

#include <cstddef>

#include "media/sound_format.h"

namespace ld::media {

class Mp3Decoder {
public:
    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // False when the decoder could not be set up; it then decodes nothing.
    bool ok() const { return state_ != nullptr; }
    // Appends input bytes. False when the decoder refused them.
    bool feed(const char* data, size_t size);
    // Up to `frames` decoded frames; 0 when it needs more input (or the input is no audio).
    size_t read(Sample* out, size_t frames);

private:
    struct State;  // the platform decoder's
    State* state_ = nullptr;
};

}  // namespace ld::media
