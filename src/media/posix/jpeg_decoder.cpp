#include "media/jpeg_decoder.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "media/exif_orientation.h"
#include "media/posix/jpeg_errors.h"

namespace ld {
namespace {

// Bounds that keep a hostile header from asking for gigabytes: a stored picture of at most
// 200 megapixels (phones reach 108), at most 128 megapixels out, 512 MB of coefficient
// buffers (progressive files), and a cap on progressive scans.
constexpr unsigned long long kMaxStoredPixels = 200ull << 20;
constexpr unsigned long long kMaxOutputPixels = 128ull << 20;
constexpr long kMaxLibjpegMemory = 512L << 20;
constexpr int kMaxScans = 256;

using jpeg::ErrorManager;
using jpeg::OnError;
using jpeg::Silent;

void LimitScans(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) cinfo->err->error_exit(cinfo);
}

// Everything the setjmp frame touches lives here, outside that frame.
struct Job {
    std::string_view bytes;
    Size target;  // stored orientation
    bool headerOnly = false;
    Size stored;
    bool started = false;
    int rowsDone = 0;
    Image image;
    std::vector<uint8_t> line;  // one row in the output colour space, when not RGBA
};

void ToRgba(const jpeg_decompress_struct& c, const uint8_t* in, uint8_t* out) {
    const int w = static_cast<int>(c.output_width);
    if (c.out_color_space == JCS_GRAYSCALE) {
        for (int x = 0; x < w; ++x, out += 4) {
            out[0] = out[1] = out[2] = in[x];
            out[3] = 255;
        }
        return;
    }
    // CMYK: Adobe applications write the channels inverted (0 = full ink).
    const bool inverted = c.saw_Adobe_marker;
    for (int x = 0; x < w; ++x, in += 4, out += 4) {
        const int k = inverted ? in[3] : 255 - in[3];
        for (int i = 0; i < 3; ++i) {
            const int v = inverted ? in[i] : 255 - in[i];
            out[i] = static_cast<uint8_t>((v * k + 127) / 255);
        }
        out[3] = 255;
    }
}

void Configure(jpeg_decompress_struct& c, const Job& job) {
    switch (c.jpeg_color_space) {
        case JCS_GRAYSCALE:
            c.out_color_space = JCS_GRAYSCALE;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            c.out_color_space = JCS_CMYK;
            break;
        default:
            c.out_color_space = JCS_EXT_RGBA;
            break;
    }
    c.scale_num = 1;
    c.scale_denom = static_cast<unsigned>(ChooseJpegScale(job.stored, job.target));
}

void ReadRows(jpeg_decompress_struct& c, Job& job) {
    const bool direct = c.out_color_space == JCS_EXT_RGBA;
    if (!direct) job.line.resize(size_t{c.output_width} * c.output_components);
    while (c.output_scanline < c.output_height) {
        uint8_t* target = job.image.row(static_cast<int>(c.output_scanline));
        JSAMPROW row = direct ? target : job.line.data();
        if (jpeg_read_scanlines(&c, &row, 1) != 1) break;
        if (!direct) ToRgba(c, job.line.data(), target);
        job.rowsDone = static_cast<int>(c.output_scanline);
    }
}

// Returns true when a picture (possibly partial) was produced, or the header was read.
bool Run(Job& job) {
    jpeg_decompress_struct c;
    ErrorManager err;
    jpeg_progress_mgr progress;
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.output_message = Silent;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&c);
        return job.started;
    }
    jpeg_create_decompress(&c);
    c.mem->max_memory_to_use = kMaxLibjpegMemory;
    progress.progress_monitor = LimitScans;
    c.progress = &progress;
    jpeg_mem_src(&c, reinterpret_cast<const unsigned char*>(job.bytes.data()),
                 static_cast<unsigned long>(job.bytes.size()));
    jpeg_read_header(&c, TRUE);
    job.stored = {static_cast<int>(c.image_width), static_cast<int>(c.image_height)};
    const bool tooLarge =
        static_cast<unsigned long long>(c.image_width) * c.image_height > kMaxStoredPixels;
    if (job.headerOnly || tooLarge) {
        jpeg_destroy_decompress(&c);
        return job.headerOnly && !tooLarge;
    }
    Configure(c, job);
    jpeg_calc_output_dimensions(&c);
    if (static_cast<unsigned long long>(c.output_width) * c.output_height > kMaxOutputPixels) {
        jpeg_destroy_decompress(&c);
        return false;
    }
    jpeg_start_decompress(&c);
    try {
        job.image = Image(static_cast<int>(c.output_width), static_cast<int>(c.output_height));
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&c);  // libjpeg's own memory goes back too
        return false;
    }
    job.started = true;
    ReadRows(c, job);
    jpeg_destroy_decompress(&c);  // no finish: nothing after the last row is needed
    return true;
}

void FillUndecodedRows(Job& job) {
    for (int y = job.rowsDone; y < job.image.height; ++y) {
        uint8_t* p = job.image.row(y);
        for (int x = 0; x < job.image.width; ++x, p += 4) {
            p[0] = p[1] = p[2] = 0x80;
            p[3] = 255;
        }
    }
}

}  // namespace

bool ReadJpegHeader(std::string_view bytes, JpegHeader& header) {
    Job job;
    job.bytes = bytes;
    job.headerOnly = true;
    if (!Run(job)) return false;
    header.stored = job.stored;
    header.orientation = ReadExifOrientation(bytes);
    return true;
}

Image DecodeJpeg(std::string_view bytes, Size target) {
    Job job;
    job.bytes = bytes;
    const int orientation = ReadExifOrientation(bytes);
    job.target = SwapsSides(orientation) ? Size{target.height, target.width} : target;
    if (!Run(job) || job.image.empty()) return {};
    FillUndecodedRows(job);
    return ApplyOrientation(std::move(job.image), orientation);
}

}  // namespace ld
