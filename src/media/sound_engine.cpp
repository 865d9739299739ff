#include "media/sound_engine.h"

#include <utility>

#include "services/files.h"

namespace ld::media {

using Slot = SoundMixer::Slot;

SoundEngine::SoundEngine(SoundOptions options)
    : toFileName_(options.toFileName ? std::move(options.toFileName)
                                     : [](const Text& name) { return ResolveExistingPath(name); }),
      effects_(std::move(options.soundFonts)) {}

SoundEngine::~SoundEngine() { stopSound(); }

bool SoundEngine::playSound(const Bytes& data, bool loop) {
    auto stream = effects_.play(data, loop);
    if (!stream) return false;
    mixer_.attach(Slot::kEffect, std::move(stream));
    return true;
}

void SoundEngine::stopSound() {
    removeMusic();
    mixer_.attach(Slot::kEffect, nullptr);
    effects_.stop();
}

void SoundEngine::playMusic(int count, const std::vector<Text>& files) {
    removeMusic();
    if (count == 0) return;
    std::vector<std::string> paths;
    for (const auto& name : files) {
        if (!name.empty()) paths.push_back(toFileName_(name));
    }
    if (paths.empty()) return;
    // The player counts 0 as forever; PlayMusic says so with -1 or below.
    music_ = std::make_unique<Mp3Player>(std::move(paths), count < 0 ? 0 : count);
    music_->start(0);
    mixer_.attach(Slot::kMusic, music_->stream());
}

void SoundEngine::removeMusic() {
    if (!music_) return;
    mixer_.detach(Slot::kMusic, music_->stream().get());
    music_.reset();
}

}  // namespace ld::media
