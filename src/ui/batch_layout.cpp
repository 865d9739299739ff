#include "ui/batch_layout.h"

#include <algorithm>
#include <cmath>

namespace ld {

namespace {

int Scaled(int width, double factor, int least, int most) {
    return std::clamp(static_cast<int>(std::lround(width * factor)), least, most);
}

// Every spacing grows with the photo, so that 5 tiles and 50 look alike. Names stay at
// 18 px or more: the back of the room must read them.
BatchLayout ForPhotoWidth(int width, int count, int columns, int captionPixels) {
    BatchLayout l;
    l.count = count;
    l.columns = columns;
    l.rows = (count + columns - 1) / columns;
    l.photo = {width, std::max(1, static_cast<int>(std::lround(width * 4.0 / 3)))};
    l.namePixels = Scaled(width, 0.13, 18, 40);
    l.nameHeight = static_cast<int>(std::lround(l.namePixels * 1.4));
    l.nameGap = std::max(2, l.namePixels / 5);
    l.gapX = Scaled(width, 0.07, 6, 28);
    l.gapY = Scaled(width, 0.04, 4, 16);
    l.margin = Scaled(width, 0.08, 10, 28);
    l.captionPixels = captionPixels;
    l.captionHeight = static_cast<int>(std::lround(captionPixels * 1.5));
    const int tileHeight = l.photo.height + l.nameGap + l.nameHeight;
    l.card = {columns * width + (columns - 1) * l.gapX + 2 * l.margin,
              l.rows * tileHeight + (l.rows - 1) * l.gapY + 2 * l.margin + l.captionHeight};
    return l;
}

bool Fits(const BatchLayout& l, BatchSize area) {
    return l.card.width <= area.width && l.card.height <= area.height;
}

}  // namespace

BatchBox BatchLayout::photoCell(int index) const {
    const int row = index / columns, column = index % columns;
    // A short last row is centred under the full ones.
    const int inRow = std::min(columns, count - row * columns);
    const int shift = (columns - inRow) * (photo.width + gapX) / 2;
    const int tileHeight = photo.height + nameGap + nameHeight;
    return {margin + shift + column * (photo.width + gapX), margin + row * (tileHeight + gapY),
            photo.width, photo.height};
}

BatchBox BatchLayout::nameLine(int index) const {
    const BatchBox cell = photoCell(index);
    return {cell.left, cell.bottom() + nameGap, cell.width, nameHeight};
}

BatchBox BatchLayout::captionLine() const {
    return {margin, card.height - margin - captionHeight, card.width - 2 * margin, captionHeight};
}

BatchLayout LayOutBatch(BatchSize area, int count) {
    count = std::max(1, count);
    // The congratulation line goes with the stage, not with the tiles: the same size for
    // 5 winners and for 50.
    const int caption = Scaled(area.height, 0.045, 22, 44);
    const auto forWidth = [&](int width, int columns) {
        return ForPhotoWidth(width, count, columns, caption);
    };
    BatchLayout best = forWidth(1, count);
    for (int columns = 1; columns <= count; ++columns) {
        // Every size grows with the photo width: the largest that fits, by bisection.
        int low = 1, high = std::max(1, area.width);
        if (!Fits(forWidth(low, columns), area)) continue;
        while (low < high) {
            const int mid = (low + high + 1) / 2;
            if (Fits(forWidth(mid, columns), area))
                low = mid;
            else
                high = mid - 1;
        }
        if (low > best.photo.width || !Fits(best, area)) best = forWidth(low, columns);
    }
    return best;
}

}  // namespace ld
