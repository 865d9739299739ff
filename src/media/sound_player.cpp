#include "media/sound_player.h"

#include <utility>

#include "media/midi_renderer.h"
#include "media/wav_parser.h"
#include "media/wav_renderer.h"

namespace ld::media {

namespace {

constexpr size_t kBlockFrames = 2048;
using Block = std::vector<Sample>;

void PlayWav(const std::shared_ptr<const Bytes>& file, const WavFormat& format, bool loop,
             SoundStream& out) {
    WavRenderer wav(*file, format);
    if (wav.totalFrames() == 0) return;
    Block block(kBlockFrames * kOutputChannels);
    for (;;) {
        const size_t got = wav.render(block.data(), kBlockFrames);
        if (got > 0 && !out.write(block.data(), got)) return;
        if (got < kBlockFrames) {
            if (!loop) return;
            wav.rewind();
        }
    }
}

void PlayMidi(const std::shared_ptr<const Bytes>& file, const std::string& soundFont, bool loop,
              SoundStream& out) {
    const auto midi = MidiRenderer::create(*file, soundFont, loop);
    if (!midi) return;  // no synthesizer: the sound is silent
    Block block(kBlockFrames * kOutputChannels);
    for (;;) {
        const size_t got = midi->render(block.data(), kBlockFrames);
        if (got > 0 && !out.write(block.data(), got)) return;
        if (got < kBlockFrames) return;
    }
}

}  // namespace

SoundPlayer::SoundPlayer(std::vector<std::string> soundFonts)
    : soundFonts_(std::move(soundFonts)) {}

std::shared_ptr<SoundStream> SoundPlayer::play(const Bytes& data, bool loop) {
    SoundWorker::Producer produce;
    if (HasWavSignature(data)) {
        const auto format = ParseWav(data);
        if (!format) return nullptr;
        produce = [file = std::make_shared<const Bytes>(data), format = *format,
                   loop](SoundStream& out) { PlayWav(file, format, loop, out); };
    } else if (HasMidiSignature(data)) {
        produce = [file = std::make_shared<const Bytes>(data), font = FindSoundFont(soundFonts_),
                   loop](SoundStream& out) { PlayMidi(file, font, loop, out); };
    } else {
        return nullptr;
    }
    stop();
    worker_ = std::make_unique<SoundWorker>(std::make_shared<SoundStream>(), std::move(produce));
    return worker_->stream();
}

void SoundPlayer::stop() { worker_.reset(); }

}  // namespace ld::media
