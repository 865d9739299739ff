// JPEG decoding through WIC. WIC's JPEG decoder has no DCT scaling under Wine (and no Exif
// orientation), so the picture is decoded whole, reduced band by band to the size the DCT
// scale would have given and turned upright by our own Exif code, the same as on Linux.
#include "media/jpeg_decoder.h"

#include <cstdint>
#include <string>

#include "media/exif_orientation.h"
#include "media/win32/wic.h"

namespace ld {

namespace {

uint8_t At(std::string_view b, size_t i) { return static_cast<uint8_t>(b[i]); }

// The stored size from the frame header (SOFn), found by walking the segments from the start
// of image; {0, 0} when the data breaks off first. Read here rather than by WIC, whose
// decoder under Wine wants the whole stream (an embedded preview is cut before its end).
Size ReadFrameSize(std::string_view b) {
    if (b.size() < 4 || At(b, 0) != 0xFF || At(b, 1) != 0xD8) return {};
    size_t at = 2;
    while (at + 4 <= b.size()) {
        if (At(b, at) != 0xFF) return {};
        const uint8_t marker = At(b, at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const size_t length = At(b, at + 2) << 8 | At(b, at + 3);
        if (length < 2) return {};
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8 || at + 9 > b.size()) return {};
            const Size size{At(b, at + 7) << 8 | At(b, at + 8), At(b, at + 5) << 8 | At(b, at + 6)};
            if (size.width == 0 || size.height == 0 ||
                static_cast<unsigned long long>(size.width) * size.height > wic::kMaxPixels) {
                return {};
            }
            return size;
        }
        if (marker == 0xDA || marker == 0xD9) return {};  // scan or end before any frame
        at += 2 + length;
    }
    return {};
}

Image Decode(std::string_view bytes, int reduce) {
    const auto frame = wic::FirstFrame(bytes, CLSID_WICJpegDecoder);
    return frame ? wic::CopyRgba(frame.Get(), reduce) : Image{};
}

}  // namespace

bool ReadJpegHeader(std::string_view bytes, JpegHeader& header) {
    const Size stored = ReadFrameSize(bytes);
    if (stored.width == 0) return false;
    header.stored = stored;
    header.orientation = ReadExifOrientation(bytes);
    return true;
}

Image DecodeJpeg(std::string_view bytes, Size target) {
    const Size stored = ReadFrameSize(bytes);
    if (stored.width == 0) return {};
    const int orientation = ReadExifOrientation(bytes);
    const Size storedTarget = SwapsSides(orientation) ? Size{target.height, target.width} : target;
    const int reduce = ChooseJpegScale(stored, storedTarget);
    Image image = Decode(bytes, reduce);
    if (image.empty() && bytes.substr(bytes.size() - 2) != "\xFF\xD9") {
        // A file that breaks off (a photo still being copied): WIC refuses it whole, but
        // given an end marker the decoder keeps the rows it had and leaves the rest grey.
        image = Decode(std::string(bytes) + "\xFF\xD9", reduce);
    }
    if (image.empty()) return {};
    return ApplyOrientation(std::move(image), orientation);
}

}  // namespace ld
