// CMYK JPEGs for the decoder's tests, written with libjpeg (the encoder of the program
// writes RGB and grey only).
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>
// clang-format off
#include <jpeglib.h>  // after what declares its size_t and FILE
// clang-format on

#include "media/picture_fixtures.h"

namespace ld::fixtures {

std::string CmykJpeg(int w, int h, std::array<uint8_t, 4> cmyk, bool adobe) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    c.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(w) * 4);
    for (int x = 0; x < w; ++x) {
        for (int i = 0; i < 4; ++i) row[x * 4 + i] = adobe ? 255 - cmyk[i] : cmyk[i];
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string result(reinterpret_cast<const char*>(out), size);
    std::free(out);
    return result;
}

}  // namespace ld::fixtures
