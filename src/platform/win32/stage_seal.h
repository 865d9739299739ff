// The verified draw's band in the stage's top right corner (ui/stage_seal_layout): white lines on
// a dark translucent strip, a child of the stage above its controls and cards but below the
// check-in view. Presses go through it to the stage.
#pragma once

#include <windows.h>

#include "services/text.h"

namespace ld::win {

// `text`: GBK lines separated by CR LF; empty text removes the band.
void SetStageSeal(HWND stage, const Text& text);
// A card raised itself (the batch grid, the check-in panel): the band goes over it again and
// the check-in view over both.
void KeepStageSealOnTop(HWND stage);
// The stage's size changed: the band goes to its top right corner again.
void FitStageSeal(HWND stage);

}  // namespace ld::win
