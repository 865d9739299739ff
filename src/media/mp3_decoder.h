// An MPEG audio decoder (libmpg123) that is fed bytes and gives output frames: any rate
// and channel count comes out as the mixer's stereo 16-bit frames at the output rate.
#pragma once

#include <cstddef>

#include "media/sound_format.h"

struct mpg123_handle_struct;

namespace ld::media {

class Mp3Decoder {
public:
    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // False when the decoder could not be set up; it then decodes nothing.
    bool ok() const { return handle_ != nullptr; }
    // Appends input bytes. False when the decoder refused them.
    bool feed(const char* data, size_t size);
    // Up to `frames` decoded frames; 0 when it needs more input (or the input is no audio).
    size_t read(Sample* out, size_t frames);

private:
    mpg123_handle_struct* handle_ = nullptr;
};

}  // namespace ld::media
