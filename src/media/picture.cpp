#include "media/picture.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <new>

#include "media/file_bytes.h"
#include "media/jpeg_decoder.h"
#include "media/pcx_decoder.h"
#include "media/system_image_reader.h"

namespace ld {
namespace {

uint8_t At(std::string_view b, size_t i) { return static_cast<uint8_t>(b[i]); }

bool IconLike(std::string_view b, uint8_t type) {
    return At(b, 0) == 0 && At(b, 1) == 0 && At(b, 2) == type && At(b, 3) == 0 &&
           (At(b, 4) | At(b, 5)) != 0;
}

// The size a picture is decoded at so that scaling it to its placement loses nothing.
Size DecodeTarget(Size natural, Size box, BoxFit fit) {
    const Placement p = PlacePicture(natural, box, fit);
    return {p.width, p.height};
}

// Cuts away what falls outside the box before scaling, so an extreme aspect ratio under
// Cover never asks for more than the box's pixels. Placed by the decoded size: a partial
// JPEG may differ from what its header promised.
PlacedPicture FitInBox(Image decoded, Size box, BoxFit fit) {
    const Placement p = PlacePicture(decoded.size(), box, fit);
    const int left = std::max(0, p.x), top = std::max(0, p.y);
    const int right = std::min(box.width, p.x + p.width);
    const int bottom = std::min(box.height, p.y + p.height);
    if (right <= left || bottom <= top) return {};
    // The source pixels under the visible part, rounded outwards.
    const double sx = static_cast<double>(decoded.width) / p.width;
    const double sy = static_cast<double>(decoded.height) / p.height;
    const int x0 = std::clamp(static_cast<int>((left - p.x) * sx), 0, decoded.width - 1);
    const int y0 = std::clamp(static_cast<int>((top - p.y) * sy), 0, decoded.height - 1);
    const int x1 =
        std::clamp(static_cast<int>(std::ceil((right - p.x) * sx)), x0 + 1, decoded.width);
    const int y1 =
        std::clamp(static_cast<int>(std::ceil((bottom - p.y) * sy)), y0 + 1, decoded.height);
    PlacedPicture placed;
    const Size shown{right - left, bottom - top};
    if (x1 - x0 < decoded.width || y1 - y0 < decoded.height) {
        decoded = CropImage(decoded, x0, y0, x1 - x0, y1 - y0);
    }
    placed.image = decoded.size() == shown ? std::move(decoded) : ScaleImage(decoded, shown);
    placed.x = left;
    placed.y = top;
    return placed;
}

}  // namespace

PictureKind RecognisePicture(std::string_view b) {
    if (b.size() < 6) return PictureKind::None;
    if (At(b, 0) == 0xFF && At(b, 1) == 0xD8) return PictureKind::Jpeg;
    if (b.substr(0, 2) == "BM") return PictureKind::Bmp;
    if (IconLike(b, 1)) return PictureKind::Icon;
    if (IconLike(b, 2)) return PictureKind::Cursor;
    if (b.substr(0, 6) == "GIF87a" || b.substr(0, 6) == "GIF89a") return PictureKind::Gif;
    if (At(b, 0) == 0x0A && At(b, 2) == 1) {
        if (At(b, 1) <= 5 && At(b, 3) == 8) return PictureKind::Pcx8;
        if (At(b, 1) == 3 && At(b, 3) == 1) return PictureKind::Pcx1;
    }
    return PictureKind::None;
}

namespace {

// The most pixels a decode may allocate: a tiny file can declare a huge picture (a 35-byte
// GIF of 4096 x 4096, a PCX of 8192 x 8192), and any uploaded or hand-placed picture is
// decoded. A JPEG counts at the DCT scale it is decoded at, which keeps every phone photo;
// the other kinds serve as prize pictures and backgrounds, where four times a 4K screen
// is more than enough.
constexpr uint64_t kMaxJpegPixels = 50'000'000;
constexpr uint64_t kMaxOtherPixels = 16'000'000;

uint32_t U16(std::string_view b, size_t at) { return At(b, at) | At(b, at + 1) << 8; }
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// The pixels the decoder would make, from the header alone; 0 when the header does not say
// (the decoder then judges the data).
uint64_t DeclaredPixels(std::string_view b, PictureKind kind, Size target) {
    switch (kind) {
        case PictureKind::Jpeg: {
            JpegHeader header;
            if (!ReadJpegHeader(b, header)) return 0;
            if (header.orientation >= 5) std::swap(target.width, target.height);
            const uint64_t d = static_cast<uint64_t>(ChooseJpegScale(header.stored, target));
            return ((header.stored.width + d - 1) / d) * ((header.stored.height + d - 1) / d);
        }
        case PictureKind::Bmp: {
            if (b.size() < 26) return 0;
            if (U32(b, 14) == 12) return uint64_t{U16(b, 18)} * U16(b, 20);  // OS/2 header
            const auto height = static_cast<int32_t>(U32(b, 22));
            return uint64_t{U32(b, 18)} * static_cast<uint32_t>(height < 0 ? -int64_t{height}
                                                                          : height);
        }
        case PictureKind::Gif:
            return b.size() < 10 ? 0 : uint64_t{U16(b, 6)} * U16(b, 8);
        case PictureKind::Pcx8:
        case PictureKind::Pcx1:
            if (b.size() < 12 || U16(b, 8) < U16(b, 4) || U16(b, 10) < U16(b, 6)) return 0;
            return uint64_t{U16(b, 8) - U16(b, 4) + 1} * (U16(b, 10) - U16(b, 6) + 1);
        default:
            return 0;  // icons and cursors are 256 x 256 at most
    }
}

Image DecodeRecognised(std::string_view bytes, int targetWidth, int targetHeight) {
    const PictureKind kind = RecognisePicture(bytes);
    const uint64_t cap = kind == PictureKind::Jpeg ? kMaxJpegPixels : kMaxOtherPixels;
    if (DeclaredPixels(bytes, kind, {targetWidth, targetHeight}) > cap) return {};
    switch (kind) {
        case PictureKind::Jpeg:
            return DecodeJpeg(bytes, {targetWidth, targetHeight});
        case PictureKind::Bmp:
            return DecodeWithSystemReader(bytes, SystemPictureFormat::Bmp);
        case PictureKind::Icon:
            return DecodeWithSystemReader(bytes, SystemPictureFormat::Icon);
        case PictureKind::Cursor:
            return DecodeWithSystemReader(bytes, SystemPictureFormat::Cursor);
        case PictureKind::Gif:
            return DecodeWithSystemReader(bytes, SystemPictureFormat::Gif);
        case PictureKind::Pcx8:
        case PictureKind::Pcx1:
            return DecodePcx(bytes);
        case PictureKind::None:
            break;
    }
    return {};
}

}  // namespace

Image DecodePicture(std::string_view bytes, int targetWidth, int targetHeight) {
    try {
        return DecodeRecognised(bytes, targetWidth, targetHeight);
    } catch (const std::bad_alloc&) {
        return {};  // a picture too large for this machine shows nothing, like a broken one
    }
}

Size ReadPictureSize(std::string_view bytes) {
    if (RecognisePicture(bytes) == PictureKind::Jpeg) {
        JpegHeader header;
        return ReadJpegHeader(bytes, header) ? header.upright() : Size{};
    }
    return DecodePicture(bytes).size();
}

PlacedPicture DecodePictureForBox(std::string_view bytes, Size box, BoxFit fit) {
    if (box.width <= 0 || box.height <= 0) return {};
    Image decoded;
    if (RecognisePicture(bytes) == PictureKind::Jpeg) {
        JpegHeader header;
        if (!ReadJpegHeader(bytes, header)) return {};
        const Size target = DecodeTarget(header.upright(), box, fit);
        decoded = DecodePicture(bytes, target.width, target.height);
    } else {
        decoded = DecodePicture(bytes);
    }
    if (decoded.empty()) return {};
    try {
        return FitInBox(std::move(decoded), box, fit);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

int32_t MakePicture(std::string_view bytes) {
    static std::atomic<int32_t> lastHandle{0};
    // The smallest JPEG scale is enough to know that the data decodes.
    if (DecodePicture(bytes, 1, 1).empty()) return 0;
    int32_t handle = lastHandle.fetch_add(1) + 1;
    if (handle <= 0) {
        lastHandle.store(1);
        handle = 1;
    }
    return handle;
}

int32_t MakePictureFromFile(const std::string& fileSystemPath) {
    return MakePicture(ReadFileBytes(fileSystemPath));
}

}  // namespace ld
