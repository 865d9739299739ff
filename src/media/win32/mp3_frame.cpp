#include "media/win32/mp3_frame.h"

#include <cstdint>

namespace ld::media {

bool ParseMp3Frame(std::string_view b, Mp3FrameHeader& h) {
    if (b.size() < 4) return false;
    const auto at = [&](size_t i) { return static_cast<uint8_t>(b[i]); };
    if (at(0) != 0xFF || (at(1) & 0xE0) != 0xE0) return false;
    const int version = at(1) >> 3 & 3;  // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
    const int layer = at(1) >> 1 & 3;    // 1: layer III
    const int bitrateIndex = at(2) >> 4;
    const int rateIndex = at(2) >> 2 & 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return false;
    }
    static constexpr int kMpeg1Kbps[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                         112, 128, 160, 192, 224, 256, 320};
    static constexpr int kMpeg2Kbps[] = {0,  8,  16, 24,  32,  40,  48, 56,
                                         64, 80, 96, 112, 128, 144, 160};
    static constexpr int kRates[] = {44100, 48000, 32000};
    h.mpeg1 = version == 3;
    h.bitrate = (h.mpeg1 ? kMpeg1Kbps : kMpeg2Kbps)[bitrateIndex] * 1000;
    h.sampleRate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    h.channels = (at(3) >> 6) == 3 ? 1 : 2;
    const int padding = at(2) >> 1 & 1;
    h.frameBytes = static_cast<size_t>((h.mpeg1 ? 144 : 72) * h.bitrate / h.sampleRate + padding);
    return true;
}

}  // namespace ld::media
