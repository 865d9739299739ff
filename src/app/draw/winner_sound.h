// The sound played when a winner is shown: a PCM WAVE (2 channels, 44,100 Hz, 16 bits,
// 285,184 bytes of samples), synthesised at build time by tools/winner_sound and embedded
// in the program.
#pragma once

#include <string_view>

#include "services/text.h"

namespace ld::app {

// The whole WAVE file, header included (generated source).
std::string_view EmbeddedWinnerSound();

// The same bytes, in the form the sound output takes them.
const Bytes& WinnerSound();

}  // namespace ld::app
