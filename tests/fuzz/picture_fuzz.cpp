// libFuzzer target: picture recognition and decoding of arbitrary bytes, as a picture
// property, the roll's preview search and MakePicture see them. Nothing may crash, hang or
// read outside the data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/exif_orientation.h"
#include "media/photo_preview.h"
#include "media/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ld::RecognisePicture(bytes);
    ld::ReadExifOrientation(bytes);
    if (size >= 6) ld::ParseExifOrientation(bytes.substr(6));
    // A small box keeps JPEG decodes at their reduced scales, as the photo box does.
    const ld::PlacedPicture placed = ld::DecodePictureForBox(bytes, {64, 48}, ld::BoxFit::Cover);
    if (!placed.image.empty() &&
        placed.image.rgba.size() != placed.image.stride() * placed.image.height) {
        __builtin_trap();
    }
    ld::MakePicture(bytes);
    if (const auto preview = ld::ExtractEmbeddedPreview(bytes.substr(0, ld::kPreviewSearchBytes))) {
        ld::DecodePicture(*preview, 32, 32);
    }
    return 0;
}
