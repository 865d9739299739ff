#include "ui/stage_seal_layout.h"

#include <algorithm>

namespace ld {

std::vector<Text> StageSealLines(const Text& text) {
    std::vector<Text> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == Text::npos) end = text.size();
        Text line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(' ') != Text::npos) lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

StageSealLayout LayOutStageSeal(BatchSize stage, const std::vector<Text>& lines,
                                const MeasureLine& width) {
    StageSealLayout l;
    // Read from the back of the hall: 2.2 % of the stage's height a line, never below the
    // smallest letters of the stage's names.
    l.textPixels = std::max(kSmallestNamePixels, (std::max(0, stage.height) * 22 + 500) / 1000);
    // Tight lines: the band covers as little of the stage as it can.
    l.lineHeight = l.textPixels * 13 / 10;
    l.padding = l.textPixels / 3;
    int widest = 0;
    for (const Text& line : lines) widest = std::max(widest, width(line, l.textPixels));
    // No wider than its lines need, in the top right corner: the titles start at the left,
    // and the start button and the level selector at the bottom stay whole.
    const int w = std::min(std::max(0, stage.width), widest + 2 * l.textPixels);
    const int h = std::max<int>(1, static_cast<int>(lines.size())) * l.lineHeight + 2 * l.padding;
    l.band = {stage.width - w, 0, w, h};
    return l;
}

}  // namespace ld
