// Pictures made on the spot for the media tests and benchmarks: JPEG photos with an Exif
// block (orientation, embedded preview), CMYK JPEGs, and small files of the other kinds.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "media/image.h"

namespace ld::fixtures {

using Rgb = std::array<uint8_t, 3>;
constexpr Rgb kRed{230, 20, 20}, kGreen{20, 200, 40}, kBlue{20, 40, 220}, kYellow{240, 230, 30},
    kGrey{128, 128, 128};

Image Filled(int w, int h, Rgb colour);
// Four equal blocks: top-left, top-right, bottom-left, bottom-right.
Image Quadrants(int w, int h, Rgb tl = kRed, Rgb tr = kGreen, Rgb bl = kBlue, Rgb br = kYellow);
// Photo-like content (gradients plus fine noise) that compresses like a real photo.
Image PhotoLike(int w, int h, uint32_t seed = 1);

// The colour at (x, y) is within `tolerance` of `expected` on every channel.
bool Near(const Image& img, int x, int y, Rgb expected, int tolerance = 40);

struct PhotoOptions {
    int orientation = 0;     // 0: no orientation tag
    std::string thumbnail;   // JPEG bytes embedded in the Exif block (IFD1); empty: none
    bool bigEndian = false;  // "MM" instead of "II"
    bool progressive = false;
    bool grayscale = false;
    int quality = 90;
};
// The Exif APP1 payload ("Exif\0\0" + TIFF) with a Make tag, the orientation and a preview.
std::string ExifPayload(const PhotoOptions& options);
// A JPEG of `pixels` as stored (the orientation is only declared, not applied).
std::string PhotoJpeg(const Image& pixels, const PhotoOptions& options = {});
std::string PlainJpeg(const Image& pixels, int quality = 90);
// Four-channel JPEG of one colour; Adobe files store the channels inverted. Empty where the
// platform cannot write one (Windows: stored ones, tests/data/media).
std::string CmykJpeg(int w, int h, std::array<uint8_t, 4> cmyk, bool adobe);

// Other kinds (format_fixtures.cpp).
std::string Bmp24(const Image& img);
std::string IconFile(const Image& img, int type);  // 1 icon, 2 cursor; 32-bit BMP entry
std::string Gif(const Image& img);                 // at most 256 distinct colours
std::string Png(const Image& img);
std::string Pcx8(const Image& img);  // indexed, palette at the end
std::string Pcx1(const Image& img);  // black and white (threshold)

bool WriteFile(const std::string& path, const std::string& data);

}  // namespace ld::fixtures
