#include "media/mixer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace ld::media {

namespace {

Sample Clip(int32_t sum) {
    return static_cast<Sample>(std::clamp<int32_t>(sum, std::numeric_limits<Sample>::min(),
                                                   std::numeric_limits<Sample>::max()));
}

}  // namespace

void SoundMixer::attach(Slot slot, std::shared_ptr<SoundStream> stream) {
    std::shared_ptr<SoundStream> previous;
    {
        std::lock_guard lock(mutex_);
        previous = std::exchange(slots_[static_cast<size_t>(slot)], std::move(stream));
    }
    // `previous` is released here, on the caller's thread, never on the device's.
}

void SoundMixer::detach(Slot slot, const SoundStream* stream) {
    std::shared_ptr<SoundStream> previous;
    {
        std::lock_guard lock(mutex_);
        auto& held = slots_[static_cast<size_t>(slot)];
        if (held.get() == stream) previous = std::exchange(held, nullptr);
    }
}

template <typename Read>
size_t SoundMixer::mix(Sample* out, size_t frames, Read read) {
    std::memset(out, 0, frames * kOutputChannels * sizeof(Sample));
    std::lock_guard lock(mutex_);
    size_t delivered = 0;
    for (const auto& source : slots_) {
        if (!source) continue;
        for (size_t done = 0; done < frames;) {
            const size_t want = std::min(kChunkFrames, frames - done);
            const size_t got = read(*source, scratch_.data(), want);
            Sample* target = out + done * kOutputChannels;
            for (size_t i = 0; i < got * kOutputChannels; ++i) {
                target[i] = Clip(int32_t{target[i]} + scratch_[i]);
            }
            done += got;
            delivered = std::max(delivered, done);
            if (got < want) break;  // nothing more ready: the rest stays silent
        }
    }
    return delivered;
}

void SoundMixer::render(Sample* out, size_t frames) {
    mix(out, frames, [](SoundStream& s, Sample* buf, size_t n) { return s.read(buf, n); });
}

size_t SoundMixer::renderWaiting(Sample* out, size_t frames) {
    return mix(out, frames,
               [](SoundStream& s, Sample* buf, size_t n) { return s.readWaiting(buf, n); });
}

bool SoundMixer::active() const {
    std::lock_guard lock(mutex_);
    return std::any_of(slots_.begin(), slots_.end(),
                       [](const auto& s) { return s && !s->drained(); });
}

}  // namespace ld::media
