// The program's sound output: the sound engine played through an SDL2 audio device.
// The device is opened at the first sound. Without a usable device (a server, CI) every
// call still succeeds and plays into silence: no error, no hang. The drivers "disk"
// (SDL_AUDIODRIVER=disk, SDL_DISKAUDIOFILE=path) and "dummy" make it testable.
#pragma once

#include <cstdint>

#include "media/sound_engine.h"

namespace ld::media {

class SdlSoundOutput final : public SoundOutput {
public:
    explicit SdlSoundOutput(SoundOptions options = {});
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    bool playSound(const Bytes& data, bool loop) override;
    void stopSound() override;
    void playMusic(int count, const std::vector<Text>& files) override;

    // A device is open (false before the first sound and when none could be opened).
    bool hasDevice() const { return device_ != 0; }
    // Something is still playing.
    bool active() const { return engine_.active(); }
    const SoundEngine& engine() const { return engine_; }

private:
    void openDevice();

    SoundEngine engine_;  // outlives the device, whose callback reads its mixer
    uint32_t device_ = 0;
    bool triedDevice_ = false;
    bool audioInitialised_ = false;
};

}  // namespace ld::media
