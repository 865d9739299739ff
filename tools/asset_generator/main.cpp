// Draws the program's own assets at build time:
//   luckydraw.ico     the window icon, a gold star on a red coin, 32 x 32 and 16 x 16
//   start_button.jpg  the start/stop button's face, 200 x 70, red with a gold rim and a
//                     rounded highlight
// Usage: ld_asset_generator <output folder>
// The output depends on nothing but this code, so every build makes the same bytes.
// clang-format off
#include <cstdio>  // jpeglib.h needs size_t and FILE first
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "canvas.h"

namespace ld::assets {

namespace {

const Rgba kGold{1.0, 0.80, 0.22, 1}, kDeepGold{0.80, 0.52, 0.05, 1};
const Rgba kRed{0.86, 0.07, 0.05, 1}, kDarkRed{0.50, 0.0, 0.02, 1};

Canvas DrawIcon(int size) {
    Canvas c(size, size);
    const double s = size, mid = s / 2;
    auto disc = [&](double radius) {
        return [=](double x, double y) {
            return (x - mid) * (x - mid) + (y - mid) * (y - mid) <= radius * radius;
        };
    };
    c.fill(disc(s * 0.48), [&](double, double y) { return Mix(kGold, kDeepGold, y / s); });
    c.fill(disc(s * 0.41), [&](double, double y) { return Mix(kRed, kDarkRed, y / s); });
    c.fill([&](double x, double y) { return InStar(x, y, mid, mid + s * 0.03, s * 0.33); },
           [&](double, double y) { return Mix(kGold, kDeepGold, y / s); });
    return c;
}

void Put16(std::string& out, unsigned v) {
    out += char(v & 0xFF);
    out += char(v >> 8 & 0xFF);
}
void Put32(std::string& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image: a 32-bit DIB (height doubled for the mask), bottom-up BGRA rows, then
// the 1-bit AND mask, rows padded to 4 bytes.
std::string IconImage(const Canvas& c) {
    const unsigned w = unsigned(c.width()), h = unsigned(c.height());
    const unsigned maskRow = (w + 31) / 32 * 4;
    std::string out;
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h * 2);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, w * h * 4 + maskRow * h);
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = int(h) - 1; y >= 0; --y) {
        for (unsigned x = 0; x < w; ++x) {
            const Rgba& p = c.at(int(x), y);
            out += char(Byte(p.b));
            out += char(Byte(p.g));
            out += char(Byte(p.r));
            out += char(Byte(p.a));
        }
    }
    for (int y = int(h) - 1; y >= 0; --y) {
        std::string row(maskRow, '\0');
        for (unsigned x = 0; x < w; ++x)
            if (Byte(c.at(int(x), y).a) == 0) row[x / 8] = char(row[x / 8] | 0x80 >> (x % 8));
        out += row;
    }
    return out;
}

std::string IcoFile() {
    const Canvas images[] = {DrawIcon(32), DrawIcon(16)};
    std::string out, data;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, 2);
    unsigned offset = 6 + 2 * 16;
    for (const Canvas& c : images) {
        std::string image = IconImage(c);
        out += char(c.width());
        out += char(c.height());
        out += '\0';  // no palette
        out += '\0';
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, unsigned(image.size()));
        Put32(out, offset);
        offset += unsigned(image.size());
        data += image;
    }
    return out + data;
}

Canvas DrawButtonFace() {
    constexpr int kW = 200, kH = 70;
    Canvas c(kW, kH);
    c.fill([](double, double) { return true; },
           [&](double, double y) { return Mix(kGold, kDeepGold, y / kH); });
    c.fill([](double x, double y) { return InRoundRect(x, y, 4, 4, kW - 4, kH - 4, 13); },
           [&](double x, double y) {
               // A soft glow in the middle over a top-to-bottom red gradient.
               double dx = (x - kW / 2.0) / kW, dy = (y - kH * 0.55) / kH;
               double glow = std::max(0.0, 1 - 3.2 * (dx * dx + dy * dy));
               return Mix(Mix(kRed, kDarkRed, y / kH), Rgba{1, 0.35, 0.1, 1}, glow * 0.45);
           });
    // Rounded highlight across the upper half.
    c.fill([](double x, double y) { return InRoundRect(x, y, 12, 7, kW - 12, 33, 12); },
           [&](double, double y) {
               return Rgba{1, 1, 0.92, 0.42 * (1 - (y - 7) / 26)};
           });
    // Gold sparkles along the lower rim, from a fixed sequence.
    unsigned state = 2011;
    for (int i = 0; i < 40; ++i) {
        state = state * 214013 + 2531011;
        double sx = 10 + (state >> 16) % (kW - 20);
        state = state * 214013 + 2531011;
        double sy = 44 + (state >> 16) % 18, r = 0.8 + ((state >> 8) % 10) / 8.0;
        c.fill(
            [=](double x, double y) { return (x - sx) * (x - sx) + (y - sy) * (y - sy) <= r * r; },
            [](double, double) {
                return Rgba{1, 0.9, 0.5, 0.85};
            });
    }
    return c;
}

std::string JpegFile(const Canvas& c, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(c.width());
    info.image_height = JDIMENSION(c.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour: red on gold edges smear under chroma subsampling.
    info.comp_info[0].h_samp_factor = 1;
    info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::string row(size_t(c.width()) * 3, '\0');
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            const Rgba& p = c.at(x, y);
            row[size_t(x) * 3] = char(Byte(p.r));
            row[size_t(x) * 3 + 1] = char(Byte(p.g));
            row[size_t(x) * 3 + 2] = char(Byte(p.b));
        }
        auto* line = reinterpret_cast<JSAMPLE*>(row.data());
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

bool Save(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(f);
}

}  // namespace

}  // namespace ld::assets

int main(int argc, char** argv) {
    using namespace ld::assets;
    if (argc != 2) {
        std::cerr << "usage: ld_asset_generator <output folder>\n";
        return 2;
    }
    const std::string folder = argv[1];
    if (!Save(folder + "/luckydraw.ico", IcoFile()) ||
        !Save(folder + "/start_button.jpg", JpegFile(DrawButtonFace(), 99))) {
        std::cerr << "ld_asset_generator: cannot write to " << folder << "\n";
        return 1;
    }
    return 0;
}
