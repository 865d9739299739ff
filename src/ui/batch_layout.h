// Where the tiles of a batch draw's grid go: the rows and columns that give the largest
// photos (3:4 upright, as portraits and selfies are; a name line under each) in the area, and
// the card that holds them with a band for the congratulation line under the tiles. Plain
// numbers, so that both hosts draw the same grid.
#pragma once

namespace ld {

struct BatchSize {
    int width = 0, height = 0;
};
struct BatchBox {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }  // one past the last column
    int bottom() const { return top + height; }
};

struct BatchLayout {
    int count = 0, columns = 0, rows = 0;
    BatchSize card;   // the frame around the tiles; centred in the area
    BatchSize photo;  // each photo cell, 3:4
    int margin = 0;   // between the card's edge and the tiles
    int gapX = 0, gapY = 0;
    int nameGap = 0;  // between a photo and its name
    int nameHeight = 0, namePixels = 0;
    int captionHeight = 0, captionPixels = 0;

    // Relative to the card, for tile 0 .. count-1 in reading order.
    BatchBox photoCell(int index) const;
    BatchBox nameLine(int index) const;
    BatchBox captionLine() const;
};

// `count` tiles (at least 1) in `area`; an area too small even for tiny tiles gives tiles
// of at least one pixel, which may then overhang it.
BatchLayout LayOutBatch(BatchSize area, int count);

}  // namespace ld
