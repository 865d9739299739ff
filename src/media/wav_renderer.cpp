#include "media/wav_renderer.h"

namespace ld::media {

WavRenderer::WavRenderer(std::string_view file, const WavFormat& format)
    : samples_(file.substr(format.dataOffset, format.dataSize)),
      format_(format),
      frames_(format.frameCount()),
      step_((static_cast<uint64_t>(format.sampleRate) << 32) / kOutputRate) {}

size_t WavRenderer::totalFrames() const {
    const uint64_t span = static_cast<uint64_t>(frames_) << 32;
    return static_cast<size_t>((span + step_ - 1) / step_);
}

int32_t WavRenderer::sample(size_t frame, int channel) const {
    const int c = format_.channels == 2 ? channel : 0;
    const size_t at =
        frame * format_.frameBytes() + static_cast<size_t>(c) * (format_.bitsPerSample / 8);
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(samples_[i]); };
    if (format_.bitsPerSample == 8) return (int32_t{byte(at)} - 128) * 256;
    return static_cast<int16_t>(byte(at) | byte(at + 1) << 8);
}

size_t WavRenderer::render(Sample* out, size_t frames) {
    size_t done = 0;
    for (; done < frames; ++done) {
        const size_t index = static_cast<size_t>(position_ >> 32);
        if (index >= frames_) break;
        const int64_t fraction = static_cast<int64_t>(position_ & 0xFFFFFFFFu);
        const size_t next = index + 1 < frames_ ? index + 1 : index;
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            const int64_t a = sample(index, ch);
            const int64_t b = sample(next, ch);
            out[done * kOutputChannels + ch] =
                static_cast<Sample>(a + (((b - a) * fraction) >> 32));
        }
        position_ += step_;
    }
    return done;
}

}  // namespace ld::media
