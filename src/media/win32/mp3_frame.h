// The header of an MPEG audio layer III frame: what the system's codec must be told before
// it decodes, and where the next frame starts.
#pragma once

#include <cstddef>
#include <string_view>

namespace ld::media {

struct Mp3FrameHeader {
    int sampleRate = 0;
    int channels = 0;
    int bitrate = 0;        // bits a second
    size_t frameBytes = 0;  // the whole frame, header included
    bool mpeg1 = false;
};

// The header of the frame at the start of `bytes` (at least 4 bytes); false when they start
// no layer III frame.
bool ParseMp3Frame(std::string_view bytes, Mp3FrameHeader& header);

}  // namespace ld::media
