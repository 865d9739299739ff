// Where the tiles of a batch draw's grid go: the rows and columns that give the largest
// photos (3:4 upright, as portraits and selfies are; a name line under each) in the area, and the card that holds them with a
// band for the congratulation line under the tiles.
#pragma once

#include <QRect>
#include <QSize>

namespace ld::qt {

struct BatchLayout {
    int count = 0, columns = 0, rows = 0;
    QSize card;      // the frame around the tiles; centred in the area
    QSize photo;     // each photo cell, 3:4
    int margin = 0;  // between the card's edge and the tiles
    int gapX = 0, gapY = 0;
    int nameGap = 0;  // between a photo and its name
    int nameHeight = 0, namePixels = 0;
    int captionHeight = 0, captionPixels = 0;

    // Relative to the card, for tile 0 .. count-1 in reading order.
    QRect photoCell(int index) const;
    QRect nameLine(int index) const;
    QRect tile(int index) const { return photoCell(index).united(nameLine(index)); }
    QRect captionLine() const;
};

// `count` tiles (at least 1) in `area`; an area too small even for tiny tiles gives tiles
// of at least one pixel, which may then overhang it.
BatchLayout LayOutBatch(QSize area, int count);

}  // namespace ld::qt
