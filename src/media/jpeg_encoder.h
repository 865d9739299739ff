// JPEG encoding through libjpeg (WIC on Windows): the made photo previews are stored as small
// JPEG files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "media/image.h"

namespace ld {

struct JpegSegment {
    int marker = 0;       // 0xE0..0xEF (APPn) or 0xFE (comment)
    std::string payload;  // at most 65533 bytes
};

struct JpegEncodeOptions {
    int quality = 85;
    bool progressive = false;
    bool grayscale = false;
    std::vector<JpegSegment> segments;  // written right after the start of image
};

// The encoded stream; empty for an empty picture or when libjpeg fails. Alpha is dropped.
std::string EncodeJpeg(const Image& image, const JpegEncodeOptions& options = {});

}  // namespace ld
