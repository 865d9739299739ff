// Scaling and placing a decoded picture in a box.
#pragma once

#include "media/image.h"

namespace ld {

// How a picture fills its box. The first three are the picture box's display modes (their
// numbers are the mode values); Cover is the window background: the whole area covered,
// aspect kept, the excess cut off.
enum class BoxFit { Natural = 0, Stretch = 1, ShrinkToFit = 2, Cover = 3 };

struct Placement {
    int x = 0, y = 0;  // offset inside the box; negative when the picture overhangs (Cover)
    int width = 0, height = 0;
};

// Where and how large a picture of `natural` size is drawn in `box`. Shrinking keeps the
// aspect ratio; sizes never drop below one pixel.
Placement PlacePicture(Size natural, Size box, BoxFit fit);

// The w x h pixels at (x, y); the rectangle must lie inside the image.
Image CropImage(const Image& source, int x, int y, int w, int h);

// Resamples to exactly `target`: area averaging when shrinking, linear when enlarging, per
// direction. Returns a copy when the size already matches; empty for an empty target.
Image ScaleImage(const Image& source, Size target);

}  // namespace ld
