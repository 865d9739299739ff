// Mixes the two sources the program plays at once, the background music and the sound
// effect (winner sound), into output frames, clipping the sum. render() runs on the audio
// device's thread; sources are attached and detached from the user-interface thread.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <mutex>

#include "media/sound_format.h"
#include "media/sound_stream.h"

namespace ld::media {

class SoundMixer {
public:
    enum class Slot { kMusic = 0, kEffect = 1 };

    // Replaces the slot's source; nullptr empties it.
    void attach(Slot slot, std::shared_ptr<SoundStream> stream);
    // Empties the slot if it still holds `stream`.
    void detach(Slot slot, const SoundStream* stream);

    // The device callback: never blocks; a source that has nothing ready adds silence.
    void render(Sample* out, size_t frames);
    // Offline rendering (tests, file output): waits for each source's frames. Returns how
    // many frames any source delivered, so a caller sees where all sources ended.
    size_t renderWaiting(Sample* out, size_t frames);

    // Some source has frames left to play.
    bool active() const;

private:
    static constexpr size_t kChunkFrames = 1024;

    template <typename Read>
    size_t mix(Sample* out, size_t frames, Read read);

    mutable std::mutex mutex_;
    std::array<std::shared_ptr<SoundStream>, 2> slots_;
    std::array<Sample, kChunkFrames * kOutputChannels> scratch_{};
};

}  // namespace ld::media
