#include "ui/batch_layout.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace ld {

namespace {

int Scaled(int width, double factor, int least, int most) {
    return std::clamp(static_cast<int>(std::lround(width * factor)), least, most);
}

int Rounded(double value) { return static_cast<int>(std::lround(value)); }

// Every spacing grows with the photo, so that 5 tiles and 50 look alike. A column is at
// least `leastColumn` wide, for the names under small photos.
BatchLayout ForPhotoWidth(int width, int count, int columns, int captionPixels,
                          bool departments, int leastColumn) {
    BatchLayout l;
    l.count = count;
    l.columns = columns;
    l.rows = (count + columns - 1) / columns;
    l.photo = {width, std::max(1, Rounded(width * 4.0 / 3))};
    l.column = std::max(width, leastColumn);
    // 18 px or more, shrunk further for a long name; in a column only as wide as a short
    // name needs, the size that name has there.
    l.namePixels = std::max(kSmallestNamePixels, std::min(Scaled(width, 0.13, 18, 40),
                                                          (l.column - 4) / kWholeNameCharacters));
    l.nameHeight = Rounded(l.namePixels * 1.4);
    if (departments) {
        // Two lines close together, read as one name.
        l.departmentPixels = std::max(kSmallestDepartmentPixels, Rounded(l.namePixels * 0.75));
        l.nameHeight = Rounded(l.namePixels * 1.2);
        l.departmentHeight = Rounded(l.departmentPixels * 1.2);
    }
    l.nameGap = std::max(2, l.namePixels / 5);
    l.gapX = Scaled(width, 0.07, 6, 28);
    l.gapY = Scaled(width, 0.04, 4, 16);
    l.margin = Scaled(width, 0.08, 10, 28);
    l.captionPixels = captionPixels;
    l.captionHeight = Rounded(captionPixels * 1.5);
    const int tileHeight = l.photo.height + l.nameGap + l.nameHeight + l.departmentHeight;
    l.card = {columns * l.column + (columns - 1) * l.gapX + 2 * l.margin,
              l.rows * tileHeight + (l.rows - 1) * l.gapY + 2 * l.margin + l.captionHeight};
    return l;
}

bool Fits(const BatchLayout& l, BatchSize area) {
    return l.card.width <= area.width && l.card.height <= area.height;
}

// The largest photos that fit, over every number of columns; none when not even one pixel
// wide photos do.
std::optional<BatchLayout> Largest(BatchSize area, int count, int caption, bool departments,
                                   int leastColumn) {
    const auto forWidth = [&](int width, int columns) {
        return ForPhotoWidth(width, count, columns, caption, departments, leastColumn);
    };
    std::optional<BatchLayout> best;
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
        if (!best || low > best->photo.width) best = forWidth(low, columns);
    }
    return best;
}

// Smaller down to `least`, as long as the line is too wide for `room`.
int Shrunk(std::string_view text, int pixels, int least, int room, const MeasureLine& width) {
    const int natural = width(text, pixels);
    if (natural <= room || pixels <= least) return pixels;
    int fitted = std::max(least, pixels * room / std::max(1, natural));
    // Glyph widths do not scale quite linearly with the size (hinting).
    while (fitted > least && width(text, fitted) > room) --fitted;
    return fitted;
}

}  // namespace

BatchBox BatchLayout::photoCell(int index) const {
    const BatchBox line = nameLine(index);
    return {line.left + (column - photo.width) / 2, line.top - nameGap - photo.height,
            photo.width, photo.height};
}

BatchBox BatchLayout::nameLine(int index) const {
    const int row = index / columns, place = index % columns;
    // A short last row is centred under the full ones.
    const int inRow = std::min(columns, count - row * columns);
    const int shift = (columns - inRow) * (column + gapX) / 2;
    const int tileHeight = photo.height + nameGap + nameHeight + departmentHeight;
    return {margin + shift + place * (column + gapX),
            margin + row * (tileHeight + gapY) + photo.height + nameGap, column, nameHeight};
}

BatchBox BatchLayout::departmentLine(int index) const {
    const BatchBox name = nameLine(index);
    return {name.left, name.bottom(), name.width, departmentHeight};
}

BatchBox BatchLayout::captionLine() const {
    return {margin, card.height - margin - captionHeight, card.width - 2 * margin, captionHeight};
}

BatchLayout LayOutBatch(BatchSize area, int count, bool departments) {
    count = std::max(1, count);
    // The congratulation line goes with the stage, not with the tiles: the same size for
    // 5 winners and for 50.
    const int caption = Scaled(area.height, 0.045, 22, 44);
    // Room for short names whole first; in an area too small for that, the largest photos.
    const int wholeName = kWholeNameCharacters * kSmallestNamePixels + 4;
    if (std::optional<BatchLayout> l = Largest(area, count, caption, departments, wholeName))
        return *l;
    if (std::optional<BatchLayout> l = Largest(area, count, caption, departments, 0)) return *l;
    return ForPhotoWidth(1, count, count, caption, departments, 0);
}

TileName FitTileName(const BatchLayout& layout, std::string_view name,
                     std::string_view department, const MeasureLine& width) {
    const int room = LineRoom(layout.nameLine(0));
    TileName fit;
    const Text inBrackets = Gbk("（") + Text(department) + Gbk("）");
    const int32_t at = department.empty() ? -1 : FindTextLast(name, inBrackets);
    if (layout.departmentHeight == 0 || at <= 1 ||
        width(name, layout.namePixels) <= room) {
        fit.name = {Text(name), Shrunk(name, layout.namePixels, kSmallestNamePixels, room, width)};
        return fit;
    }
    // 张三（销售部） and 张三（销售部）（放弃） lose the department in brackets.
    const Text person = ReplaceSpan(name, at, static_cast<int32_t>(inBrackets.size()));
    fit.name = {person, Shrunk(person, layout.namePixels, kSmallestNamePixels, room, width)};
    fit.department = {Text(department), Shrunk(department, layout.departmentPixels,
                                                kSmallestDepartmentPixels, room, width)};
    return fit;
}

}  // namespace ld
