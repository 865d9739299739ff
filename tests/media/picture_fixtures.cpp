#include "picture_fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "media/exif_writer.h"
#include "media/jpeg_encoder.h"

namespace ld::fixtures {

Image Filled(int w, int h, Rgb c) {
    Image img(w, h);
    for (size_t i = 0; i < img.rgba.size(); i += 4) {
        img.rgba[i] = c[0];
        img.rgba[i + 1] = c[1];
        img.rgba[i + 2] = c[2];
        img.rgba[i + 3] = 255;
    }
    return img;
}

Image Quadrants(int w, int h, Rgb tl, Rgb tr, Rgb bl, Rgb br) {
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb& c = y < h / 2 ? (x < w / 2 ? tl : tr) : (x < w / 2 ? bl : br);
            uint8_t* p = img.row(y) + x * 4;
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
            p[3] = 255;
        }
    }
    return img;
}

Image PhotoLike(int w, int h, uint32_t seed) {
    Image img(w, h);
    uint32_t s = seed * 2654435761u + 1;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = img.row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            s = s * 1664525u + 1013904223u;
            const int noise = static_cast<int>(s >> 27) - 16;
            p[0] = static_cast<uint8_t>(std::clamp(x * 255 / w + noise, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(y * 255 / h + noise, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp(((x ^ y) & 0xFF) / 2 + 64 + noise, 0, 255));
            p[3] = 255;
        }
    }
    return img;
}

bool Near(const Image& img, int x, int y, Rgb expected, int tolerance) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return false;
    const uint8_t* p = img.pixel(x, y);
    for (int c = 0; c < 3; ++c) {
        if (std::abs(p[c] - expected[c]) > tolerance) return false;
    }
    return true;
}

std::string ExifPayload(const PhotoOptions& o) {
    return MakeExifPayload(
        {.orientation = o.orientation, .thumbnail = o.thumbnail, .bigEndian = o.bigEndian});
}

std::string PhotoJpeg(const Image& pixels, const PhotoOptions& o) {
    JpegEncodeOptions e;
    e.quality = o.quality;
    e.progressive = o.progressive;
    e.grayscale = o.grayscale;
    e.segments.push_back({0xE1, ExifPayload(o)});
    return EncodeJpeg(pixels, e);
}

std::string PlainJpeg(const Image& pixels, int quality) {
    JpegEncodeOptions e;
    e.quality = quality;
    return EncodeJpeg(pixels, e);
}

bool WriteFile(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(f);
}

}  // namespace ld::fixtures
