// Where the tiles of a batch draw's grid go: the rows and columns that give the largest
// photos (3:4 upright, as portraits and selfies are; the name under each, and the
// department on a smaller line of its own when names carry one) in the area, and the card
// that holds them with a band for the congratulation line under the tiles. Plain numbers,
// so that both hosts draw the same grid.
#pragma once

#include <functional>
#include <string_view>

#include "services/text.h"

namespace ld {

struct BatchSize {
    int width = 0, height = 0;
};
struct BatchBox {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }  // one past the last column
    int bottom() const { return top + height; }
};

// The smallest letters of a tile: a name is read from the back of the room, its
// department is a hint beside it.
constexpr int kSmallestNamePixels = 16;
constexpr int kSmallestDepartmentPixels = 14;
// A column is never narrower than this many characters of a name at the smallest size:
// four-character names and departments stay whole in the largest grids.
constexpr int kWholeNameCharacters = 4;

struct BatchLayout {
    int count = 0, columns = 0, rows = 0;
    BatchSize card;   // the frame around the tiles; centred in the area
    BatchSize photo;  // each photo cell, 3:4, centred in its column
    int column = 0;   // a column's width: the photo's, or more when a name needs the room
    int margin = 0;   // between the card's edge and the tiles
    int gapX = 0, gapY = 0;
    int nameGap = 0;  // between a photo and its name
    int nameHeight = 0, namePixels = 0;
    int departmentHeight = 0, departmentPixels = 0;  // 0: names go on one line only
    int captionHeight = 0, captionPixels = 0;

    // Relative to the card, for tile 0 .. count-1 in reading order.
    BatchBox photoCell(int index) const;
    BatchBox nameLine(int index) const;
    BatchBox departmentLine(int index) const;  // under the name line; empty on one line
    BatchBox captionLine() const;
};

// `count` tiles (at least 1) in `area`, with a department line under each name when
// `departments`; an area too small even for tiny tiles gives tiles of at least one pixel,
// which may then overhang it.
BatchLayout LayOutBatch(BatchSize area, int count, bool departments = false);

// How a tile's name is drawn: one line when the whole name fits at the layout's size; else
// the name without its department, then the department smaller on the line under it. Each
// line gets smaller down to its floor; what is still too wide there the host elides.
struct TileLine {
    Text text;
    int pixels = 0;
};
struct TileName {
    TileLine name, department;  // department empty: one line
};
// The width of `text` (GBK) in the card's font at `pixels`, in logical pixels.
using MeasureLine = std::function<int(std::string_view text, int pixels)>;
TileName FitTileName(const BatchLayout& layout, std::string_view name,
                     std::string_view department, const MeasureLine& width);
// The widest a line may be drawn in `box`.
inline int LineRoom(const BatchBox& box) { return box.width - 4; }

}  // namespace ld
