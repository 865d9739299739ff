// Single characters drawn as coverage masks, in the face the name cards use (Noto Sans CJK
// through Qt on Linux, the Chinese GDI face on Windows), for documents that carry their own
// glyphs: the winners PDF puts them into a font of its own, so it looks and reads the same
// from both platforms without a font library.
#pragma once

#include "media/image.h"

namespace ld {

struct DrawnGlyph {
    // Coverage in alpha (colour channels 0), all 0 for a character without ink (a space).
    Image mask;
    int originX = 0, baselineY = 0;  // where the pen stands in `mask`
    double advance = 0;              // to the next character's pen position, in pixels
    double ascent = 0, descent = 0;  // of the face, in pixels (descent positive)
};

// `c` at `emPixels` pixels per em, regular or bold; another installed face stands in for a
// character the face lacks. On Linux it needs the application's font database (a
// QGuiApplication): without one the result is empty with advance 0. Safe on worker threads.
DrawnGlyph DrawGlyph(char32_t c, int emPixels, bool bold);

}  // namespace ld
