// The picture a roll tick shows for a photo: the small preview that cameras embed in the
// Exif block, found in the first 56000 bytes of the file, or else the whole photo.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ld {

constexpr size_t kPreviewSearchBytes = 56000;

struct PhotoPreview {
    std::string picture;    // picture bytes for the photo box; empty when the file is unreadable
    bool embedded = false;  // true: the embedded preview; false: the whole file
};

// The embedded preview of a photo, from the photo's first bytes: the span from the first
// FF D8 after the file's own start marker up to the following FF D9, closed with its end
// marker. Turned like the photo it came from (an orientation block is put in front), so the
// roll and the stop agree. Nothing when there is no such span or its header does not parse.
std::optional<std::string> ExtractEmbeddedPreview(std::string_view head);

// Reads the first 56000 bytes of the file (a file-system path): the embedded preview when
// there is one, else the whole file, which the photo box decodes at its reduced size.
PhotoPreview LoadPhotoPreview(const std::string& fileSystemPath);

}  // namespace ld
