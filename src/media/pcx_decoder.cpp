#include "media/pcx_decoder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ld {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteSize = 768;
constexpr uint64_t kMaxPixels = 64ull << 20;
// Every two bytes of run-length data make at most 63 bytes of scan lines. A header asking
// for more lines than its data could ever give is refused rather than allocated, unless the
// picture is small enough to show as far as it goes (a truncated file).
constexpr uint64_t kMaxExpansion = 32;
constexpr uint64_t kAlwaysAllowedPixels = 4ull << 20;
constexpr uint64_t kAlwaysAllowedLineBytes = 16ull << 20;

using Rgb = std::array<uint8_t, 3>;

struct PcxHeader {
    int bitsPerPixel = 0;
    int planes = 0;
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;
};

uint16_t U16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

bool ReadHeader(std::string_view b, PcxHeader& h) {
    if (b.size() <= kHeaderSize || static_cast<uint8_t>(b[0]) != 0x0A || b[2] != 1) return false;
    h.bitsPerPixel = static_cast<uint8_t>(b[3]);
    h.planes = static_cast<uint8_t>(b[65]);
    const int xmin = U16(b, 4), ymin = U16(b, 6), xmax = U16(b, 8), ymax = U16(b, 10);
    if (xmax < xmin || ymax < ymin) return false;
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    h.bytesPerLine = U16(b, 66);
    const bool planesOk = h.bitsPerPixel == 8
                              ? (h.planes == 1 || h.planes == 3 || h.planes == 4)
                              : (h.bitsPerPixel == 1 && h.planes >= 1 && h.planes <= 4);
    if (!planesOk || h.bytesPerLine < (h.width * h.bitsPerPixel + 7) / 8) return false;
    const uint64_t packed = static_cast<uint64_t>(h.bytesPerLine) * h.planes * h.height;
    const uint64_t pixels = static_cast<uint64_t>(h.width) * h.height;
    const bool small = pixels <= kAlwaysAllowedPixels && packed <= kAlwaysAllowedLineBytes;
    return pixels <= kMaxPixels && (small || packed <= (b.size() - kHeaderSize) * kMaxExpansion);
}

// Unpacks run-length data into whole scan lines; returns the number of complete lines.
int Unpack(std::string_view b, const PcxHeader& h, std::vector<uint8_t>& out) {
    const size_t lineBytes = size_t{static_cast<unsigned>(h.bytesPerLine)} * h.planes;
    out.assign(lineBytes * h.height, 0);
    size_t at = kHeaderSize, filled = 0;
    while (filled < out.size() && at < b.size()) {
        uint8_t v = static_cast<uint8_t>(b[at++]);
        size_t run = 1;
        if ((v & 0xC0) == 0xC0) {
            if (at >= b.size()) break;
            run = v & 0x3F;
            v = static_cast<uint8_t>(b[at++]);
        }
        for (; run > 0 && filled < out.size(); --run) out[filled++] = v;
    }
    return static_cast<int>(filled / lineBytes);
}

// The palette follows a 0x0C byte at the very end; without one, index = grey level.
std::array<Rgb, 256> Palette256(std::string_view b) {
    std::array<Rgb, 256> pal{};
    const bool found = b.size() >= kHeaderSize + kPaletteSize + 1 &&
                       static_cast<uint8_t>(b[b.size() - kPaletteSize - 1]) == 0x0C;
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c) {
            pal[i][c] = found ? static_cast<uint8_t>(b[b.size() - kPaletteSize + i * 3 + c])
                              : static_cast<uint8_t>(i);
        }
    }
    return pal;
}

// One plane is black and white; more planes use the header's 16 colours (or black and
// white when the header carries none).
std::array<Rgb, 16> Palette16(std::string_view b, int planes) {
    std::array<Rgb, 16> pal{};
    bool any = false;
    for (int i = 0; i < 48; ++i) any |= b[16 + i] != 0;
    for (int i = 0; i < 16; ++i) {
        for (int c = 0; c < 3; ++c) {
            const uint8_t mono = i ? 255 : 0;
            pal[i][c] = planes == 1 || !any ? mono : static_cast<uint8_t>(b[16 + i * 3 + c]);
        }
    }
    return pal;
}

void SetPixel(uint8_t* p, const Rgb& rgb) {
    p[0] = rgb[0];
    p[1] = rgb[1];
    p[2] = rgb[2];
    p[3] = 255;
}

struct Palettes {
    std::array<Rgb, 256> indexed;  // 8 bits, one plane
    std::array<Rgb, 16> planar;    // 1 bit, one to four planes
};

void DecodeLine(const Palettes& pals, const PcxHeader& h, const uint8_t* line, uint8_t* out) {
    const size_t bpl = static_cast<size_t>(h.bytesPerLine);
    if (h.bitsPerPixel == 8 && h.planes == 1) {
        for (int x = 0; x < h.width; ++x) SetPixel(out + x * 4, pals.indexed[line[x]]);
    } else if (h.bitsPerPixel == 8) {
        for (int x = 0; x < h.width; ++x) {
            SetPixel(out + x * 4, {line[x], line[bpl + x], line[2 * bpl + x]});
            if (h.planes == 4) out[x * 4 + 3] = line[3 * bpl + x];
        }
    } else {
        for (int x = 0; x < h.width; ++x) {
            int index = 0;
            for (int p = 0; p < h.planes; ++p) {
                const int bit = line[p * bpl + x / 8] >> (7 - x % 8) & 1;
                index |= bit << p;
            }
            SetPixel(out + x * 4, pals.planar[index]);
        }
    }
}

}  // namespace

Image DecodePcx(std::string_view bytes) {
    PcxHeader h;
    if (!ReadHeader(bytes, h)) return {};
    std::vector<uint8_t> packed;
    const int lines = Unpack(bytes, h, packed);
    Palettes pals;
    pals.indexed = Palette256(bytes);
    pals.planar = Palette16(bytes, h.planes);
    Image image(h.width, h.height);
    const size_t lineBytes = size_t{static_cast<unsigned>(h.bytesPerLine)} * h.planes;
    for (int y = 0; y < h.height; ++y) {
        if (y < lines) {
            DecodeLine(pals, h, packed.data() + lineBytes * y, image.row(y));
            continue;
        }
        for (int x = 0; x < h.width; ++x) SetPixel(image.row(y) + x * 4, {0x80, 0x80, 0x80});
    }
    return image;
}

}  // namespace ld
