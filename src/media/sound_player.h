// The WAV and MIDI player: plays one sound at a time from memory, on a thread of its own.
// Used from the user-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/sound_stream.h"
#include "media/sound_worker.h"
#include "services/text.h"

namespace ld::media {

class SoundPlayer {
public:
    // `soundFonts`: General MIDI sound fonts to try; with none found MIDI plays as silence.
    explicit SoundPlayer(std::vector<std::string> soundFonts);

    // Starts a PCM WAV or a standard MIDI file, stopping the sound before, and returns the
    // stream to mix. Anything else is refused: nullptr, and the sound before plays on.
    std::shared_ptr<SoundStream> play(const Bytes& data, bool loop);
    void stop();

private:
    std::vector<std::string> soundFonts_;
    std::unique_ptr<SoundWorker> worker_;
};

}  // namespace ld::media
