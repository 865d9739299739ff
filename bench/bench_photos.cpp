#include "bench_photos.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "../tests/media/picture_fixtures.h"
#include "media/image_scale.h"
#include "media/jpeg_encoder.h"

namespace ld::bench {
namespace fs = std::filesystem;
namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr int kDistinct = 8;

// Gentle gradients, large shapes and fine sensor-like noise: compresses like a phone photo.
Image PhoneLike(uint32_t seed) {
    Image img(kWidth, kHeight);
    uint32_t s = seed * 2654435761u + 17;
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* p = img.row(y);
        for (int x = 0; x < kWidth; ++x, p += 4) {
            s = s * 1664525u + 1013904223u;
            const int noise = static_cast<int>(s >> 28) - 8;
            const bool disc = ((x - 2000) * (x - 2000) + (y - 1400) * (y - 1400)) <
                              static_cast<int>(900 * 900 + seed * 40000);
            const int base = disc ? 170 : 60;
            p[0] = static_cast<uint8_t>(std::clamp(base + x / 40 + noise, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(base / 2 + y / 25 + noise, 0, 255));
            p[2] = static_cast<uint8_t>(
                std::clamp(200 - base / 2 + ((x / 50 + y / 50) % 2) * 30 + noise, 0, 255));
            p[3] = 255;
        }
    }
    return img;
}

std::string Write(const fs::path& path, const std::string& data) {
    fixtures::WriteFile(path.string(), data);
    return path.string();
}

}  // namespace

BenchPhotos::~BenchPhotos() {
    std::error_code ec;
    if (!folder.empty()) fs::remove_all(folder, ec);
}

const BenchPhotos& Photos() {
    static const BenchPhotos photos = [] {
        BenchPhotos p;
        p.folder = (fs::temp_directory_path() / ("ld_picture_bench_" + std::to_string(::getpid())))
                       .string();
        fs::create_directories(p.folder);
        const Image first = PhoneLike(0);
        fixtures::PhotoOptions withThumb;
        withThumb.quality = 87;
        withThumb.thumbnail = fixtures::PlainJpeg(ScaleImage(first, {160, 120}), 80);
        p.withPreview =
            Write(fs::path(p.folder) / "with_preview.jpg", fixtures::PhotoJpeg(first, withThumb));
        fixtures::PhotoOptions plain;
        plain.quality = 87;
        p.withoutPreview =
            Write(fs::path(p.folder) / "without_preview.jpg", fixtures::PhotoJpeg(first, plain));
        p.originals.push_back(p.withoutPreview);
        for (int i = 1; i < kDistinct; ++i) {
            p.originals.push_back(
                Write(fs::path(p.folder) / ("original" + std::to_string(i) + ".jpg"),
                      fixtures::PhotoJpeg(PhoneLike(static_cast<uint32_t>(i)), plain)));
        }
        std::fprintf(stderr, "bench photos: %s (%ju bytes), %s (%ju bytes)\n",
                     p.withPreview.c_str(), static_cast<uintmax_t>(fs::file_size(p.withPreview)),
                     p.withoutPreview.c_str(),
                     static_cast<uintmax_t>(fs::file_size(p.withoutPreview)));
        return p;
    }();
    return photos;
}

std::vector<std::string> MakeRollSet(const std::string& folder, int count) {
    const BenchPhotos& p = Photos();
    const fs::path dir = fs::path(folder) / "photo";
    fs::create_directories(dir);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        const fs::path name = dir / ("p" + std::to_string(i) + ".jpg");
        std::error_code ec;
        fs::create_hard_link(p.originals[i % p.originals.size()], name, ec);
        if (ec) fs::copy_file(p.originals[i % p.originals.size()], name, ec);
        names.push_back(name.string());
    }
    return names;
}

}  // namespace ld::bench
