#include "app/draw/winner_sound.h"

namespace ld::app {

const Bytes& WinnerSound() {
    static const Bytes sound(EmbeddedWinnerSound());
    return sound;
}

}  // namespace ld::app
