#include "media/jpeg_encoder.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "media/posix/jpeg_errors.h"

namespace ld {
namespace {

using jpeg::ErrorManager;
using jpeg::OnError;
using jpeg::Silent;

struct Job {
    const Image* image = nullptr;
    const JpegEncodeOptions* options = nullptr;
    unsigned char* out = nullptr;  // malloc'ed by libjpeg's memory destination
    unsigned long outSize = 0;
    std::vector<uint8_t> line;
};

void WriteRows(jpeg_compress_struct& c, Job& job) {
    const Image& img = *job.image;
    const bool grey = job.options->grayscale;
    job.line.resize(static_cast<size_t>(img.width) * (grey ? 1 : 3));
    while (c.next_scanline < c.image_height) {
        const uint8_t* in = img.row(static_cast<int>(c.next_scanline));
        uint8_t* out = job.line.data();
        for (int x = 0; x < img.width; ++x, in += 4) {
            if (grey) {
                *out++ = static_cast<uint8_t>((in[0] * 77 + in[1] * 150 + in[2] * 29) >> 8);
            } else {
                *out++ = in[0];
                *out++ = in[1];
                *out++ = in[2];
            }
        }
        JSAMPROW row = job.line.data();
        jpeg_write_scanlines(&c, &row, 1);
    }
}

bool Run(Job& job) {
    jpeg_compress_struct c;
    ErrorManager err;
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.output_message = Silent;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&c);
        return false;
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &job.out, &job.outSize);
    c.image_width = static_cast<JDIMENSION>(job.image->width);
    c.image_height = static_cast<JDIMENSION>(job.image->height);
    c.input_components = job.options->grayscale ? 1 : 3;
    c.in_color_space = job.options->grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    c.write_JFIF_header = job.options->segments.empty();  // photos carry Exif instead
    jpeg_set_quality(&c, job.options->quality, TRUE);
    if (job.options->progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    for (const JpegSegment& s : job.options->segments) {
        jpeg_write_marker(&c, s.marker, reinterpret_cast<const JOCTET*>(s.payload.data()),
                          static_cast<unsigned>(s.payload.size()));
    }
    WriteRows(c, job);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return true;
}

}  // namespace

std::string EncodeJpeg(const Image& image, const JpegEncodeOptions& options) {
    if (image.empty()) return {};
    for (const JpegSegment& s : options.segments) {
        if (s.payload.size() > 65533) return {};
    }
    Job job;
    job.image = &image;
    job.options = &options;
    const bool ok = Run(job);
    std::string result;
    if (ok && job.out) result.assign(reinterpret_cast<const char*>(job.out), job.outSize);
    std::free(job.out);
    return result;
}

}  // namespace ld
