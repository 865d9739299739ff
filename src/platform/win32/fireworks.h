// The celebration: three firework animations drawn with GDI, double-buffered, over a dimmed
// picture of what lay beneath, a frame every 16 ms, stopped the moment the window goes.
#pragma once

#include <windows.h>

namespace ld::win {

// Animation 1 bursts of coloured shells, 2 golden fountains and willows, 3 rings, hearts
// and glitter. Anything else plays animation 1. A child window over the whole parent.
HWND CreateFireworks(HWND parent, int animation);
void StopFireworks(HWND fireworks);

}  // namespace ld::win
