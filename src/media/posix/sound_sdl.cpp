#include "media/sound_sdl.h"

#include <SDL.h>

#include <utility>

namespace ld::media {

namespace {

constexpr Uint16 kDeviceBufferFrames = 1024;  // about 23 ms

void MixInto(void* mixer, Uint8* stream, int bytes) {
    const auto frames = static_cast<size_t>(bytes) / (kOutputChannels * sizeof(Sample));
    static_cast<SoundMixer*>(mixer)->render(reinterpret_cast<Sample*>(stream), frames);
}

}  // namespace

SdlSoundOutput::SdlSoundOutput(SoundOptions options) : engine_(std::move(options)) {}

SdlSoundOutput::~SdlSoundOutput() {
    // Closing waits for a running callback, so the mixer is not read any more afterwards.
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (audioInitialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSoundOutput::openDevice() {
    if (triedDevice_) return;
    triedDevice_ = true;
    // The toolkit owns the signals; SDL's audio needs none of them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "luckydraw");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    audioInitialised_ = true;
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = kDeviceBufferFrames;
    wanted.callback = &MixInto;
    wanted.userdata = &engine_.mixer();
    // No changes allowed: SDL converts our format to whatever the hardware wants.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

bool SdlSoundOutput::playSound(const Bytes& data, bool loop) {
    openDevice();
    return engine_.playSound(data, loop);
}

void SdlSoundOutput::stopSound() { engine_.stopSound(); }

void SdlSoundOutput::playMusic(int count, const std::vector<Text>& files) {
    openDevice();
    engine_.playMusic(count, files);
}

}  // namespace ld::media
