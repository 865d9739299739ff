// WIC's JPEG encoder cannot be told whether to write Adobe's inverted channels: the CMYK
// JPEGs the tests ask for were written by libjpeg on Linux (posix/cmyk_jpeg.cpp) and are
// stored in tests/data/media by size, ink and kind. Another request finds none.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "media/picture_fixtures.h"

namespace ld::fixtures {

std::string CmykJpeg(int w, int h, std::array<uint8_t, 4> cmyk, bool adobe) {
    char name[96];
    std::snprintf(name, sizeof name, "/media/cmyk-%dx%d-%02x%02x%02x%02x%s.jpg", w, h, cmyk[0],
                  cmyk[1], cmyk[2], cmyk[3], adobe ? "-adobe" : "");
    std::ifstream in(std::string(LD_TEST_DATA_DIR) + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace ld::fixtures
