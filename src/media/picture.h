// Picture values: the bytes of a whole image file, recognised by their first six bytes and
// decoded to plain RGBA pixels. JPEG goes through libjpeg (WIC on Windows), PCX through our
// own decoder, BMP, icons, cursors and GIF through the system's readers (system_image_reader.h).
// Anything else (PNG included) is no picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/image.h"
#include "media/image_scale.h"

namespace ld {

enum class PictureKind { None, Jpeg, Bmp, Icon, Cursor, Gif, Pcx8, Pcx1 };

PictureKind RecognisePicture(std::string_view bytes);

// Decodes a recognised picture, upright. A JPEG is decoded at the smallest DCT scale (1/1,
// 1/2, 1/4, 1/8) that still gives at least targetWidth x targetHeight (0: natural size), so
// the result may be larger than the target; other kinds come at their natural size.
// Corrupt data gives what decoded or an empty image.
Image DecodePicture(std::string_view bytes, int targetWidth = 0, int targetHeight = 0);

// The upright natural size; for a JPEG read from its header alone. {0, 0} when no picture.
Size ReadPictureSize(std::string_view bytes);

// The part of a picture that shows in a box, already at its drawn size, and where it goes:
// what overhangs the box (Cover, or Natural for a picture larger than the box) is cut off
// here, so the result is never larger than the box.
struct PlacedPicture {
    Image image;
    int x = 0, y = 0;  // top-left inside the box
};
PlacedPicture DecodePictureForBox(std::string_view bytes, Size box, BoxFit fit);

// A positive handle when the bytes (or the file's bytes) make a picture, else 0. Callers
// only test the result, so no picture object is kept behind the handle.
int32_t MakePicture(std::string_view bytes);
int32_t MakePictureFromFile(const std::string& fileSystemPath);

}  // namespace ld
