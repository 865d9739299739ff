// WIC's JPEG encoder cannot be told whether to write Adobe's inverted channels: no CMYK
// JPEGs to test with on Windows.
#include "media/picture_fixtures.h"

namespace ld::fixtures {

std::string CmykJpeg(int, int, std::array<uint8_t, 4>, bool) { return {}; }

}  // namespace ld::fixtures
