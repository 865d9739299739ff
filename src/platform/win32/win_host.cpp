#include "platform/win32/win_host.h"

#include "media/win32/sound_waveout.h"

namespace ld::win {

WinHost::WinHost(std::unique_ptr<SoundOutput> soundOutput) : sound(std::move(soundOutput)) {
    if (!sound) sound = std::make_unique<media::WaveOutSoundOutput>();
    // Sound plays on its own threads: stop it before the process ends under them.
    shell.setBeforeExit([this] {
        if (sound) sound->stopSound();
    });
    setHost(Host{&dialogs, &shell, sound.get(), &screen, &loop});
    setGui(&gui);
}

WinHost::~WinHost() {
    setGui(nullptr);
    setHost(Host{});
}

}  // namespace ld::win
