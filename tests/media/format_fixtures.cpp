// Writers for the non-JPEG fixtures: the smallest honest files of each kind.
#include <map>
#include <vector>

#include "picture_fixtures.h"

namespace ld::fixtures {
namespace {

void Le16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8 & 0xFF));
}
void Le32(std::string& s, uint32_t v) {
    Le16(s, v & 0xFFFF);
    Le16(s, v >> 16);
}
void Be32(std::string& s, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) s.push_back(static_cast<char>(v >> shift & 0xFF));
}

void InfoHeader(std::string& s, int w, int h, int bpp, uint32_t imageSize) {
    Le32(s, 40);
    Le32(s, static_cast<uint32_t>(w));
    Le32(s, static_cast<uint32_t>(h));
    Le16(s, 1);
    Le16(s, static_cast<uint32_t>(bpp));
    Le32(s, 0);
    Le32(s, imageSize);
    Le32(s, 2835);
    Le32(s, 2835);
    Le32(s, 0);
    Le32(s, 0);
}

uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

void PngChunk(std::string& out, const char* type, const std::string& data) {
    Be32(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    Be32(out, Crc32(typed));
}

// Index of each distinct colour, in order of appearance.
std::vector<uint8_t> Indexed(const Image& img, std::vector<Rgb>& palette) {
    std::map<Rgb, uint8_t> seen;
    std::vector<uint8_t> indices;
    for (size_t i = 0; i < img.rgba.size(); i += 4) {
        const Rgb c{img.rgba[i], img.rgba[i + 1], img.rgba[i + 2]};
        auto [it, added] = seen.try_emplace(c, static_cast<uint8_t>(palette.size()));
        if (added) palette.push_back(c);
        indices.push_back(it->second);
    }
    palette.resize(256);
    return indices;
}

void PcxRunLength(std::string& out, const std::vector<uint8_t>& line) {
    for (size_t i = 0; i < line.size();) {
        size_t run = 1;
        while (i + run < line.size() && run < 63 && line[i + run] == line[i]) ++run;
        if (run > 1 || line[i] >= 0xC0) out.push_back(static_cast<char>(0xC0 | run));
        out.push_back(static_cast<char>(line[i]));
        i += run;
    }
}

std::string PcxHeader(const Image& img, int version, int bpp, int bytesPerLine) {
    std::string h(128, '\0');
    h[0] = 0x0A;
    h[1] = static_cast<char>(version);
    h[2] = 1;
    h[3] = static_cast<char>(bpp);
    std::string dims;
    Le16(dims, 0);
    Le16(dims, 0);
    Le16(dims, static_cast<uint32_t>(img.width - 1));
    Le16(dims, static_cast<uint32_t>(img.height - 1));
    h.replace(4, 8, dims);
    h[65] = 1;
    h[66] = static_cast<char>(bytesPerLine & 0xFF);
    h[67] = static_cast<char>(bytesPerLine >> 8);
    h[68] = 1;
    return h;
}

}  // namespace

std::string Bmp24(const Image& img) {
    const int rowBytes = (img.width * 3 + 3) / 4 * 4;
    const uint32_t imageSize = static_cast<uint32_t>(rowBytes * img.height);
    std::string s = "BM";
    Le32(s, 54 + imageSize);
    Le32(s, 0);
    Le32(s, 54);
    InfoHeader(s, img.width, img.height, 24, imageSize);
    for (int y = img.height - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(rowBytes), '\0');
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.pixel(x, y);
            row[x * 3] = static_cast<char>(p[2]);
            row[x * 3 + 1] = static_cast<char>(p[1]);
            row[x * 3 + 2] = static_cast<char>(p[0]);
        }
        s += row;
    }
    return s;
}

std::string IconFile(const Image& img, int type) {
    const int maskRow = (img.width + 31) / 32 * 4;
    const uint32_t pixels = static_cast<uint32_t>(img.width * img.height * 4);
    std::string data;
    InfoHeader(data, img.width, img.height * 2, 32, pixels);
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.pixel(x, y);
            data += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0]),
                     static_cast<char>(p[3])};
        }
    }
    data.append(static_cast<size_t>(maskRow * img.height), '\0');
    std::string s;
    Le16(s, 0);
    Le16(s, static_cast<uint32_t>(type));
    Le16(s, 1);
    s.push_back(static_cast<char>(img.width & 0xFF));
    s.push_back(static_cast<char>(img.height & 0xFF));
    s.push_back(0);
    s.push_back(0);
    Le16(s, type == 2 ? 0 : 1);   // icon: planes; cursor: hot spot x
    Le16(s, type == 2 ? 0 : 32);  // icon: bits per pixel; cursor: hot spot y
    Le32(s, static_cast<uint32_t>(data.size()));
    Le32(s, 22);
    return s + data;
}

std::string Gif(const Image& img) {
    std::vector<Rgb> palette;
    const std::vector<uint8_t> indices = Indexed(img, palette);
    std::string s = "GIF89a";
    Le16(s, static_cast<uint32_t>(img.width));
    Le16(s, static_cast<uint32_t>(img.height));
    s += {static_cast<char>(0xF7), 0, 0};
    for (const Rgb& c : palette)
        s += {static_cast<char>(c[0]), static_cast<char>(c[1]), static_cast<char>(c[2])};
    s.push_back(0x2C);
    Le32(s, 0);
    Le16(s, static_cast<uint32_t>(img.width));
    Le16(s, static_cast<uint32_t>(img.height));
    s.push_back(0);
    s.push_back(8);  // minimum code size
    // Nine-bit codes only: a clear code every 250 literals keeps the table from growing.
    std::string packed;
    uint32_t bits = 0, count = 0;
    auto emit = [&](uint32_t code) {
        bits |= code << count;
        count += 9;
        while (count >= 8) {
            packed.push_back(static_cast<char>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0) emit(256);
        emit(indices[i]);
    }
    emit(257);
    if (count > 0) packed.push_back(static_cast<char>(bits & 0xFF));
    for (size_t i = 0; i < packed.size(); i += 255) {
        const std::string block = packed.substr(i, 255);
        s.push_back(static_cast<char>(block.size()));
        s += block;
    }
    s.push_back(0);
    s.push_back(0x3B);
    return s;
}

std::string Png(const Image& img) {
    std::string raw;
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);  // no filter
        raw.append(reinterpret_cast<const char*>(img.row(y)), img.stride());
    }
    std::string z = "\x78\x01";
    for (size_t i = 0; i < raw.size() || i == 0; i += 65535) {
        const std::string part = raw.substr(i, 65535);
        z.push_back(i + part.size() >= raw.size() ? 1 : 0);
        Le16(z, static_cast<uint32_t>(part.size()));
        Le16(z, static_cast<uint32_t>(~part.size() & 0xFFFF));
        z += part;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Be32(z, b << 16 | a);
    std::string ihdr;
    Be32(ihdr, static_cast<uint32_t>(img.width));
    Be32(ihdr, static_cast<uint32_t>(img.height));
    ihdr += {8, 6, 0, 0, 0};
    std::string s = "\x89PNG\r\n\x1a\n";
    PngChunk(s, "IHDR", ihdr);
    PngChunk(s, "IDAT", z);
    PngChunk(s, "IEND", "");
    return s;
}

std::string Pcx8(const Image& img) {
    std::vector<Rgb> palette;
    const std::vector<uint8_t> indices = Indexed(img, palette);
    const int bytesPerLine = (img.width + 1) / 2 * 2;
    std::string s = PcxHeader(img, 5, 8, bytesPerLine);
    for (int y = 0; y < img.height; ++y) {
        std::vector<uint8_t> line(indices.begin() + y * img.width,
                                  indices.begin() + (y + 1) * img.width);
        line.resize(static_cast<size_t>(bytesPerLine), 0);
        PcxRunLength(s, line);
    }
    s.push_back(0x0C);
    for (const Rgb& c : palette)
        s += {static_cast<char>(c[0]), static_cast<char>(c[1]), static_cast<char>(c[2])};
    return s;
}

std::string Pcx1(const Image& img) {
    const int bytesPerLine = ((img.width + 7) / 8 + 1) / 2 * 2;
    std::string s = PcxHeader(img, 3, 1, bytesPerLine);
    for (int y = 0; y < img.height; ++y) {
        std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine), 0);
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.pixel(x, y);
            if (p[0] + p[1] + p[2] > 3 * 128) line[x / 8] |= static_cast<uint8_t>(0x80 >> x % 8);
        }
        PcxRunLength(s, line);
    }
    return s;
}

}  // namespace ld::fixtures
