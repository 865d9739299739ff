// JPEG encoding through WIC. WIC writes its own JFIF header and has no call for other
// segments, so the caller's segments are spliced in after the start of image, in place of
// the JFIF header, as the Linux encoder writes them. WIC has no progressive mode: the option
// gives a baseline file here.
#include "media/jpeg_encoder.h"

#include <objidl.h>
#include <oleauto.h>

#include <vector>

#include "media/win32/wic.h"

namespace ld {
namespace {

using wic::ComPtr;

// The pixels in the layout handed to WIC: BGR, or one grey byte (weights as on Linux).
std::vector<uint8_t> Pixels(const Image& img, bool grey) {
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(img.width) * img.height * (grey ? 1 : 3));
    for (size_t i = 0; i < img.rgba.size(); i += 4) {
        const uint8_t* p = img.rgba.data() + i;
        if (grey) {
            out.push_back(static_cast<uint8_t>((p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8));
        } else {
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
    }
    return out;
}

bool SetQuality(IPropertyBag2* options, int quality) {
    PROPBAG2 name{};
    name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = static_cast<float>(quality < 0 ? 0 : quality > 100 ? 100 : quality) / 100.0f;
    return SUCCEEDED(options->Write(1, &name, &value));
}

bool WriteFrame(IWICBitmapEncoder* encoder, const Image& img, const JpegEncodeOptions& o) {
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> bag;
    if (FAILED(encoder->CreateNewFrame(&frame, &bag)) || !SetQuality(bag.Get(), o.quality) ||
        FAILED(frame->Initialize(bag.Get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(img.width), static_cast<UINT>(img.height)))) {
        return false;
    }
    WICPixelFormatGUID format =
        o.grayscale ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR;
    const GUID wanted = format;
    if (FAILED(frame->SetPixelFormat(&format)) || format != wanted) return false;
    std::vector<uint8_t> pixels = Pixels(img, o.grayscale);
    const UINT stride = static_cast<UINT>(img.width) * (o.grayscale ? 1 : 3);
    return SUCCEEDED(frame->WritePixels(static_cast<UINT>(img.height), stride,
                                        static_cast<UINT>(pixels.size()), pixels.data())) &&
           SUCCEEDED(frame->Commit());
}

std::string StreamBytes(IStream* stream) {
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return {};
    std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
    const LARGE_INTEGER start{};
    ULONG read = 0;
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read))) {
        return {};
    }
    bytes.resize(read);
    return bytes;
}

// The segments right after the start of image, replacing a JFIF header (photos carry Exif
// instead).
std::string WithSegments(std::string jpeg, const std::vector<JpegSegment>& segments) {
    if (segments.empty() || jpeg.size() < 6) return jpeg;
    size_t after = 2;
    if (static_cast<uint8_t>(jpeg[2]) == 0xFF && static_cast<uint8_t>(jpeg[3]) == 0xE0) {
        after = 4 + (static_cast<uint8_t>(jpeg[4]) << 8 | static_cast<uint8_t>(jpeg[5]));
        if (after > jpeg.size()) return {};
    }
    std::string inserted;
    for (const JpegSegment& s : segments) {
        const size_t length = s.payload.size() + 2;
        inserted += '\xFF';
        inserted += static_cast<char>(s.marker);
        inserted += static_cast<char>(length >> 8);
        inserted += static_cast<char>(length & 0xFF);
        inserted += s.payload;
    }
    return jpeg.substr(0, 2) + inserted + jpeg.substr(after);
}

}  // namespace

std::string EncodeJpeg(const Image& image, const JpegEncodeOptions& options) {
    if (image.empty()) return {};
    for (const JpegSegment& s : options.segments) {
        if (s.payload.size() > 65533) return {};
    }
    IWICImagingFactory* factory = wic::Factory();
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    if (!factory || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        !WriteFrame(encoder.Get(), image, options) || FAILED(encoder->Commit())) {
        return {};
    }
    return WithSegments(StreamBytes(stream.Get()), options.segments);
}

}  // namespace ld
