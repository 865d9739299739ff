#include "media/exif_writer.h"

#include <cstdint>

namespace ld {
namespace {

class TiffWriter {
public:
    explicit TiffWriter(bool big) : big_(big) {}
    void u16(uint16_t v) {
        const char a = static_cast<char>(v >> 8), b = static_cast<char>(v & 0xFF);
        out.push_back(big_ ? a : b);
        out.push_back(big_ ? b : a);
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(big_ ? v >> 16 : v & 0xFFFF));
        u16(static_cast<uint16_t>(big_ ? v & 0xFFFF : v >> 16));
    }
    void entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        u16(tag);
        u16(type);
        u32(count);
        if (type == 3 && count == 1) {  // a SHORT sits in the first half of the value field
            u16(static_cast<uint16_t>(value));
            u16(0);
        } else {
            u32(value);
        }
    }
    std::string out;

private:
    bool big_;
};

}  // namespace

std::string MakeExifPayload(const ExifBlock& b) {
    TiffWriter t(b.bigEndian);
    t.out = b.bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
    t.u32(8);
    const uint32_t makeLength = static_cast<uint32_t>(b.make.size() + 1);  // with its NUL
    const uint16_t ifd0Count = b.orientation ? 2 : 1;
    const uint32_t ifd0End = 8 + 2 + ifd0Count * 12 + 4;
    const uint32_t makeAt = ifd0End, ifd1At = makeAt + makeLength;
    const uint32_t thumbAt = ifd1At + 2 + 2 * 12 + 4;
    t.u16(ifd0Count);
    t.entry(0x010F, 2, makeLength, makeAt);  // Make, so the orientation is not the only entry
    if (b.orientation) t.entry(0x0112, 3, 1, static_cast<uint32_t>(b.orientation));
    t.u32(b.thumbnail.empty() ? 0 : ifd1At);
    t.out.append(b.make.c_str(), makeLength);
    if (!b.thumbnail.empty()) {
        t.u16(2);
        t.entry(0x0201, 4, 1, thumbAt);  // JPEGInterchangeFormat
        t.entry(0x0202, 4, 1, static_cast<uint32_t>(b.thumbnail.size()));
        t.u32(0);
        t.out += b.thumbnail;
    }
    return std::string("Exif\0\0", 6) + t.out;
}

}  // namespace ld
