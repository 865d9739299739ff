// The photo a check-in leaves in photo/: made by the program from the decoded picture, never
// the uploaded bytes as they came, so whatever a phone sends cannot reach the draw.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "media/image.h"

namespace ld::checkin {

constexpr int kStoredLongSide = 1600;

struct Intake {
    std::optional<std::string> jpeg;  // the photo to store
    std::string problem;              // UTF-8, for the attendee, when there is none
};

// Decodes an upload with the program's own picture code, turns it upright and makes it at
// most 1600 px on its long side. A file that is no picture, or a JPEG cut short, is refused.
Intake TakeInPhoto(std::string_view upload);

// The stored form of an upright picture: JPEG with an Exif preview in its first bytes, so
// the roll shows it at full speed at once.
std::string EncodeStoredPhoto(const Image& upright);

}  // namespace ld::checkin
