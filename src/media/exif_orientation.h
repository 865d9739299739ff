// The EXIF orientation of a JPEG stream: how the stored pixels must be turned to stand
// upright. Phones store photos sideways and say so here.
#pragma once

#include <string>
#include <string_view>

#include "media/image.h"

namespace ld {

// 1 (as stored) … 8; 1 when the stream has no Exif block, no orientation tag or a value
// outside 1..8. Only the markers before the image data are looked at, every offset checked.
int ReadExifOrientation(std::string_view jpeg);

// The orientation tag of an Exif APP1 payload (starting "Exif\0\0"), 0 when absent or bad.
int ParseExifOrientation(std::string_view app1Payload);

// A complete APP1 segment (marker, length, Exif block with only the orientation tag), for
// handing an orientation to a stream that has none of its own.
std::string MakeOrientationSegment(int orientation);

// Turns decoded stored pixels into the upright picture. Orientations 5..8 swap the sides.
Image ApplyOrientation(Image stored, int orientation);
bool SwapsSides(int orientation);

}  // namespace ld
