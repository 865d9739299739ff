#include "platform/win32/pictures.h"

#include <cmath>
#include <cstring>

#include "media/picture.h"
#include "platform/win32/win_text.h"

namespace ld::win {

Bitmap::Bitmap(const Image& image) {
    if (image.empty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down, as the image's rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    handle_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle_) return;
    width_ = image.width;
    height_ = image.height;
    auto* out = static_cast<uint8_t*>(bits);
    const size_t count = static_cast<size_t>(image.width) * image.height;
    const uint8_t* in = image.rgba.data();
    for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
        const unsigned a = in[3];
        out[0] = static_cast<uint8_t>(in[2] * a / 255);
        out[1] = static_cast<uint8_t>(in[1] * a / 255);
        out[2] = static_cast<uint8_t>(in[0] * a / 255);
        out[3] = static_cast<uint8_t>(a);
    }
}

Bitmap::~Bitmap() {
    if (handle_) DeleteObject(handle_);
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : handle_(other.handle_), width_(other.width_), height_(other.height_) {
    other.handle_ = nullptr;
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this != &other) {
        if (handle_) DeleteObject(handle_);
        handle_ = other.handle_;
        width_ = other.width_;
        height_ = other.height_;
        other.handle_ = nullptr;
    }
    return *this;
}

void Bitmap::draw(HDC dc, int x, int y, int w, int h) const {
    if (!handle_) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, handle_);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (w == width_ && h == height_) {
        AlphaBlend(dc, x, y, w, h, source, 0, 0, width_, height_, blend);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        AlphaBlend(dc, x, y, w, h, source, 0, 0, width_, height_, blend);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

DrawnPicture DrawPictureInBox(const Bytes& bytes, SIZE box, BoxFit fit, UINT dpi) {
    const Size natural = ReadPictureSize(bytes);
    if (natural.width <= 0 || natural.height <= 0) return {};
    const Placement p = PlacePicture(natural, {box.cx, box.cy}, fit);
    // The placement fixes the drawn size; decode straight to it in device pixels.
    const Size device{std::max(1, Px(p.width, dpi)), std::max(1, Px(p.height, dpi))};
    PlacedPicture placed = DecodePictureForBox(bytes, device, BoxFit::Stretch);
    DrawnPicture drawn;
    drawn.bitmap = Bitmap(placed.image);
    if (drawn.bitmap.isNull()) return {};
    drawn.target = RECT{Px(p.x, dpi), Px(p.y, dpi), Px(p.x, dpi) + device.width,
                        Px(p.y, dpi) + device.height};
    return drawn;
}

Image DecodeWhole(const Bytes& bytes) { return DecodePicture(bytes); }

Image Greyed(const Image& image) {
    Image grey = image;
    for (size_t i = 0; i + 3 < grey.rgba.size(); i += 4) {
        const auto y = static_cast<uint8_t>(
            (grey.rgba[i] * 299 + grey.rgba[i + 1] * 587 + grey.rgba[i + 2] * 114) / 1000);
        grey.rgba[i] = grey.rgba[i + 1] = grey.rgba[i + 2] = y;
    }
    return grey;
}

HICON IconFromBytes(const Bytes& bytes, int size) {
    if (bytes.size() < 6) return nullptr;
    auto* data = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    // An ICO file's directory: LookupIconIdFromDirectoryEx wants it as a resource's, whose
    // entries end in an id instead of an offset; read the file's entries ourselves.
    const int count = data[4] | (data[5] << 8);
    int best = -1, bestDiff = 1 << 30;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(bytes.size()); ++i) {
        const BYTE* e = data + 6 + 16 * i;
        const int w = e[0] ? e[0] : 256;
        const int diff = std::abs(w - size);
        if (diff < bestDiff) bestDiff = diff, best = i;
    }
    if (best < 0) return nullptr;
    const BYTE* e = data + 6 + 16 * best;
    uint32_t length, offset;
    std::memcpy(&length, e + 8, 4);
    std::memcpy(&offset, e + 12, 4);
    if (offset > bytes.size() || length > bytes.size() - offset) return nullptr;
    return CreateIconFromResourceEx(data + offset, length, TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

}  // namespace ld::win
