// JPEG decoding through libjpeg, at the smallest DCT scale that still covers the size the
// picture is drawn at, turned upright by its EXIF orientation. On Windows through WIC, decoded
// whole and scaled down to the size that scale gives (Wine's WIC has no scaled decode).
#pragma once

#include <string_view>

#include "media/image.h"

namespace ld {

struct JpegHeader {
    Size stored;          // as coded, before the orientation is applied
    int orientation = 1;  // EXIF, 1..8
    Size upright() const;
};

// Parses the markers up to the first scan; false when libjpeg refuses the header.
bool ReadJpegHeader(std::string_view bytes, JpegHeader& header);

// The DCT scale denominator (1, 2, 4 or 8): the largest reduction whose output still has
// at least `target` pixels each way. `target` and `stored` are in the same orientation; a
// target side of 0 or less means the natural size.
int ChooseJpegScale(Size stored, Size target);

// Decodes at ChooseJpegScale of the upright `target` and returns the upright picture.
// Corrupt or truncated data gives what decoded (rows never reached are grey) or nothing.
Image DecodeJpeg(std::string_view bytes, Size target);

}  // namespace ld
