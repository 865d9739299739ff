// The verified draw's band in the stage's top right corner: its lines and where they go. Plain
// numbers, so that both hosts draw the same band.
#pragma once

#include <vector>

#include "services/text.h"
#include "ui/batch_layout.h"

namespace ld {

struct StageSealLayout {
    BatchBox band;  // in the stage's top right corner, as wide as its widest line
    int textPixels = 0, lineHeight = 0;
    int padding = 0;  // above the first line and below the last
    // The box of line `index`, counted from the top of the band; the text is centred in it.
    BatchBox line(int index) const {
        return {band.left + textPixels / 2, band.top + padding + index * lineHeight,
                band.width - textPixels, lineHeight};
    }
};

// The band's lines: the text split at its line ends (CR LF, or a bare LF), blank lines left out.
std::vector<Text> StageSealLines(const Text& text);
// `lines` on a stage of `stage` pixels; `width` measures a line in the band's font.
StageSealLayout LayOutStageSeal(BatchSize stage, const std::vector<Text>& lines,
                                const MeasureLine& width);

}  // namespace ld
