#include "platform/qt/qt_host.h"

#include "media/sound_sdl.h"

namespace ld::qt {

QtHost::QtHost(std::unique_ptr<SoundOutput> soundOutput) : sound(std::move(soundOutput)) {
    if (!sound) sound = std::make_unique<media::SdlSoundOutput>();
    // Sound plays on its own threads: stop it before the process ends under them.
    shell.setBeforeExit([this] {
        if (sound) sound->stopSound();
    });
    setHost(Host{&dialogs, &shell, sound.get(), &screen, &loop});
    setGui(&gui);
}

QtHost::~QtHost() {
    setGui(nullptr);
    setHost(Host{});
}

}  // namespace ld::qt
