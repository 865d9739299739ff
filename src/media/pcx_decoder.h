// PCX pictures (ZSoft run-length encoded): 8 bits per pixel with the 256-colour palette at
// the end of the file (or three colour planes), and 1 bit per pixel (black and white, or up
// to four planes with the header's 16-colour palette).
#pragma once

#include <string_view>

#include "media/image.h"

namespace ld {

// Empty for a header that does not describe a picture this decoder knows. Truncated data
// gives the rows that decoded, the rest grey.
Image DecodePcx(std::string_view bytes);

}  // namespace ld
