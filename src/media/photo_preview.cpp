#include "media/photo_preview.h"

#include "media/exif_orientation.h"
#include "media/file_bytes.h"
#include "media/jpeg_decoder.h"

namespace ld {

std::optional<std::string> ExtractEmbeddedPreview(std::string_view head) {
    constexpr std::string_view kStart("\xFF\xD8", 2), kEnd("\xFF\xD9", 2);
    if (head.size() < 4) return std::nullopt;
    const size_t p = head.find(kStart, 3);  // skips the file's own start marker
    if (p == std::string_view::npos) return std::nullopt;
    const size_t q = head.find(kEnd, p);
    if (q == std::string_view::npos) return std::nullopt;
    const std::string_view stream = head.substr(p, q - p);
    JpegHeader header;
    if (!ReadJpegHeader(stream, header)) return std::nullopt;
    std::string preview;
    const int orientation = ReadExifOrientation(head);
    preview.reserve(stream.size() + 64);
    preview.append(stream.substr(0, 2));
    // The photo's orientation rules, also over one the preview might carry itself.
    if (orientation != 1 || ReadExifOrientation(stream) != 1) {
        preview += MakeOrientationSegment(orientation);
    }
    preview.append(stream.substr(2));
    preview.append(kEnd);
    return preview;
}

PhotoPreview LoadPhotoPreview(const std::string& fileSystemPath) {
    const std::string head = ReadFileBytes(fileSystemPath, kPreviewSearchBytes);
    if (std::optional<std::string> preview = ExtractEmbeddedPreview(head)) {
        return {std::move(*preview), true};
    }
    if (head.size() < kPreviewSearchBytes) return {head, false};  // that was the whole file
    return {ReadFileBytes(fileSystemPath), false};
}

}  // namespace ld
