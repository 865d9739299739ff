// The program's sounds without a device: the WAV/MIDI player and the MP3 player feeding one
// mixer, with the semantics of PlaySound, StopSound and PlayMusic. The device (or a test)
// pulls the mixed frames from mixer(). Called from the user-interface thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/midi_renderer.h"
#include "media/mixer.h"
#include "media/mp3_player.h"
#include "media/sound_player.h"
#include "services/host.h"

namespace ld::media {

struct SoundOptions {
    std::vector<std::string> soundFonts = DefaultSoundFonts();
    // Turns a music file name (GBK) into a file-system path; empty: the program's resolver.
    std::function<std::string(const Text&)> toFileName;
};

class SoundEngine final : public SoundOutput {
public:
    explicit SoundEngine(SoundOptions options = {});
    ~SoundEngine() override;

    bool playSound(const Bytes& data, bool loop) override;
    void stopSound() override;
    void playMusic(int count, const std::vector<Text>& files) override;

    SoundMixer& mixer() { return mixer_; }
    // The player of the current playlist, nullptr when none.
    const Mp3Player* music() const { return music_.get(); }
    // Something is still playing.
    bool active() const { return mixer_.active(); }

private:
    void removeMusic();

    std::function<std::string(const Text&)> toFileName_;
    SoundMixer mixer_;  // first: outlives the players that feed it
    SoundPlayer effects_;
    std::unique_ptr<Mp3Player> music_;
};

}  // namespace ld::media
