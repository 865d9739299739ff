#include "media/exif_orientation.h"

#include <cstdint>
#include <cstring>

namespace ld {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;

class TiffReader {
public:
    TiffReader(std::string_view tiff, bool bigEndian) : tiff_(tiff), big_(bigEndian) {}

    bool u16(size_t at, uint16_t& out) const {
        if (at > tiff_.size() || tiff_.size() - at < 2) return false;
        const auto* p = reinterpret_cast<const uint8_t*>(tiff_.data() + at);
        out = big_ ? static_cast<uint16_t>(p[0] << 8 | p[1])
                   : static_cast<uint16_t>(p[1] << 8 | p[0]);
        return true;
    }
    bool u32(size_t at, uint32_t& out) const {
        uint16_t a = 0, b = 0;
        if (!u16(at, a) || !u16(at + 2, b)) return false;
        out = big_ ? (uint32_t{a} << 16 | b) : (uint32_t{b} << 16 | a);
        return true;
    }

private:
    std::string_view tiff_;
    bool big_;
};

void PutU16Big(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v >> 8));
    s.push_back(static_cast<char>(v & 0xFF));
}

void PutU32Big(std::string& s, uint32_t v) {
    PutU16Big(s, static_cast<uint16_t>(v >> 16));
    PutU16Big(s, static_cast<uint16_t>(v & 0xFFFF));
}

// Source coordinates of upright pixel (x, y) for a stored picture of w x h.
inline void SourceOf(int orientation, int x, int y, int w, int h, int& sx, int& sy) {
    switch (orientation) {
        case 2:
            sx = w - 1 - x;
            sy = y;
            break;
        case 3:
            sx = w - 1 - x;
            sy = h - 1 - y;
            break;
        case 4:
            sx = x;
            sy = h - 1 - y;
            break;
        case 5:
            sx = y;
            sy = x;
            break;
        case 6:
            sx = y;
            sy = h - 1 - x;
            break;
        case 7:
            sx = w - 1 - y;
            sy = h - 1 - x;
            break;
        case 8:
            sx = w - 1 - y;
            sy = x;
            break;
        default:
            sx = x;
            sy = y;
            break;
    }
}

}  // namespace

int ParseExifOrientation(std::string_view payload) {
    if (payload.size() < 14 || payload.substr(0, 6) != std::string_view("Exif\0\0", 6)) return 0;
    const std::string_view tiff = payload.substr(6);
    bool big = false;
    if (tiff.substr(0, 4) == std::string_view("MM\0*", 4)) {
        big = true;
    } else if (tiff.substr(0, 4) != std::string_view("II*\0", 4)) {
        return 0;
    }
    const TiffReader r(tiff, big);
    uint32_t ifd = 0;
    uint16_t count = 0;
    if (!r.u32(4, ifd) || !r.u16(ifd, count)) return 0;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = size_t{ifd} + 2 + size_t{i} * 12;
        uint16_t tag = 0, type = 0, value = 0;
        if (!r.u16(entry, tag) || !r.u16(entry + 2, type)) return 0;
        if (tag != kOrientationTag) continue;
        if (type != kTypeShort || !r.u16(entry + 8, value)) return 0;
        return value >= 1 && value <= 8 ? value : 0;
    }
    return 0;
}

int ReadExifOrientation(std::string_view jpeg) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(jpeg[i]); };
    if (jpeg.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return 1;
    size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (byte(at) != 0xFF) return 1;
        const uint8_t marker = byte(at + 1);
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;  // image data: no Exif came before
        const size_t length = size_t{byte(at + 2)} << 8 | byte(at + 3);
        if (length < 2) return 1;
        if (marker == 0xE1) {
            // A block cut off by the end of the data still has its IFD0 near the start.
            const int o = ParseExifOrientation(jpeg.substr(at + 4, length - 2));
            if (o != 0) return o;
        }
        at += 2 + length;
    }
    return 1;
}

std::string MakeOrientationSegment(int orientation) {
    std::string tiff("MM\0*", 4);
    PutU32Big(tiff, 8);  // IFD0 right after the header
    PutU16Big(tiff, 1);  // one entry
    PutU16Big(tiff, kOrientationTag);
    PutU16Big(tiff, kTypeShort);
    PutU32Big(tiff, 1);
    PutU16Big(tiff, static_cast<uint16_t>(orientation));
    PutU16Big(tiff, 0);
    PutU32Big(tiff, 0);  // no next IFD
    std::string segment("\xFF\xE1", 2);
    PutU16Big(segment, static_cast<uint16_t>(2 + 6 + tiff.size()));
    segment.append("Exif\0\0", 6);
    segment += tiff;
    return segment;
}

bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

Image ApplyOrientation(Image stored, int orientation) {
    if (orientation < 2 || orientation > 8 || stored.empty()) return stored;
    const int w = stored.width, h = stored.height;
    Image out = SwapsSides(orientation) ? Image(h, w) : Image(w, h);
    for (int y = 0; y < out.height; ++y) {
        uint8_t* dst = out.row(y);
        for (int x = 0; x < out.width; ++x, dst += 4) {
            int sx = 0, sy = 0;
            SourceOf(orientation, x, y, w, h, sx, sy);
            std::memcpy(dst, stored.pixel(sx, sy), 4);
        }
    }
    return out;
}

}  // namespace ld
