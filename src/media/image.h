// A decoded picture as plain pixels, so nothing outside the media library needs a toolkit
// to hold one. The Qt host wraps the buffer without copying (RGBA, 8 bits per channel).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ld {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // row-major, 4 bytes per pixel (R, G, B, A), no padding

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}

    bool empty() const { return width <= 0 || height <= 0 || rgba.empty(); }
    Size size() const { return {width, height}; }
    size_t stride() const { return static_cast<size_t>(width) * 4; }
    uint8_t* row(int y) { return rgba.data() + stride() * y; }
    const uint8_t* row(int y) const { return rgba.data() + stride() * y; }
    const uint8_t* pixel(int x, int y) const { return row(y) + static_cast<size_t>(x) * 4; }
};

}  // namespace ld
