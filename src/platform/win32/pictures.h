// Picture values (whole image files' bytes) made ready to draw with GDI: recognised and
// decoded by the media library at the size they are drawn, held as 32-bit DIB sections.
#pragma once

#include <windows.h>

#include <memory>

#include "media/image.h"
#include "media/image_scale.h"
#include "services/text.h"

namespace ld::win {

// A premultiplied BGRA DIB section; drawn with AlphaBlend so icons keep their holes.
class Bitmap {
public:
    Bitmap() = default;
    explicit Bitmap(const Image& image);
    ~Bitmap();
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    bool isNull() const { return handle_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    HBITMAP handle() const { return handle_; }
    // Drawn at (x, y) at its own size, or stretched to w x h.
    void draw(HDC dc, int x, int y) const { draw(dc, x, y, width_, height_); }
    void draw(HDC dc, int x, int y, int w, int h) const;

private:
    HBITMAP handle_ = nullptr;
    int width_ = 0, height_ = 0;
};

struct DrawnPicture {
    Bitmap bitmap;  // at device pixels
    RECT target{};  // where it goes, in device pixels relative to the box
    bool isNull() const { return bitmap.isNull(); }
};

// A picture's natural size counts one image pixel per logical pixel, as at 96 DPI; the
// decode itself happens at device resolution so high-DPI screens stay sharp. Data that is
// no picture gives a null result.
DrawnPicture DrawPictureInBox(const Bytes& bytes, SIZE logicalBox, BoxFit fit, UINT dpi);

// The whole picture at its natural size (button faces), and in grey (a locked button).
Image DecodeWhole(const Bytes& bytes);
Image Greyed(const Image& image);

// An icon from ICO file bytes, the size nearest to `size`; null when none.
HICON IconFromBytes(const Bytes& bytes, int size);

}  // namespace ld::win
