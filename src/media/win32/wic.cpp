#include "media/win32/wic.h"

#include <objbase.h>

#include <algorithm>
#include <new>
#include <vector>

namespace ld::wic {
namespace {

constexpr int kBandRows = 16;

struct KnownDecoder {
    CLSID id;
    ComPtr<IClassFactory> classObject;
};

// COM stays initialised for the thread's whole life: the factory and the decoders' class
// objects (asking COM for a class reads the registry) are kept per thread, and released
// here before COM ends (thread_local objects end in no order that could be relied on).
struct ThreadFactory {
    bool comStarted = false;
    ComPtr<IWICImagingFactory> factory;
    std::vector<KnownDecoder> decoders;

    ThreadFactory() {
        // A single-threaded apartment, what a window's thread needs (its dialogs, OLE) should
        // a picture be decoded there first; WIC's objects live in any apartment, and each
        // thread keeps its own.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        comStarted = SUCCEEDED(com);  // RPC_E_CHANGED_MODE: the thread already has COM
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(&factory));
    }
    ~ThreadFactory() {
        decoders.clear();
        factory.Reset();
        if (comStarted) CoUninitialize();
    }
};

ThreadFactory& ThisThread() {
    thread_local ThreadFactory perThread;
    return perThread;
}

// One output row (RGBA) from `rows` BGRA rows of `width` pixels: the average of each d x d
// block, as libjpeg's DCT scaling gives about the same.
void ReduceRows(const uint8_t* in, int width, int rows, int d, uint8_t* out) {
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int x0 = 0; x0 < width; x0 += d, out += 4) {
        const int columns = std::min(d, width - x0);
        unsigned sum[4] = {0, 0, 0, 0};
        for (int y = 0; y < rows; ++y) {
            const uint8_t* p = in + y * stride + static_cast<size_t>(x0) * 4;
            for (int x = 0; x < columns; ++x, p += 4) {
                for (int c = 0; c < 4; ++c) sum[c] += p[c];
            }
        }
        const unsigned n = static_cast<unsigned>(rows * columns);
        out[0] = static_cast<uint8_t>((sum[2] + n / 2) / n);
        out[1] = static_cast<uint8_t>((sum[1] + n / 2) / n);
        out[2] = static_cast<uint8_t>((sum[0] + n / 2) / n);
        out[3] = static_cast<uint8_t>((sum[3] + n / 2) / n);
    }
}

void FillGrey(Image& image, int fromRow) {
    for (int y = fromRow; y < image.height; ++y) {
        uint8_t* p = image.row(y);
        for (int x = 0; x < image.width; ++x, p += 4) {
            p[0] = p[1] = p[2] = 0x80;
            p[3] = 255;
        }
    }
}

bool MakeDecoder(const CLSID& decoderClass, ComPtr<IWICBitmapDecoder>& decoder) {
    std::vector<KnownDecoder>& known = ThisThread().decoders;
    auto it = std::find_if(known.begin(), known.end(),
                           [&](const KnownDecoder& k) { return IsEqualCLSID(k.id, decoderClass); });
    if (it == known.end()) {
        ComPtr<IClassFactory> classObject;
        if (FAILED(CoGetClassObject(decoderClass, CLSCTX_INPROC_SERVER, nullptr,
                                    IID_PPV_ARGS(&classObject)))) {
            return false;
        }
        it = known.insert(known.end(), {decoderClass, classObject});
    }
    return SUCCEEDED(it->classObject->CreateInstance(nullptr, IID_PPV_ARGS(&decoder)));
}

}  // namespace

IWICImagingFactory* Factory() { return ThisThread().factory.Get(); }

ComPtr<IWICBitmapFrameDecode> FirstFrame(std::string_view bytes, const CLSID& decoderClass) {
    IWICImagingFactory* factory = Factory();
    if (!factory || bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    // The stream only reads the bytes; the API merely lacks the const.
    auto* data = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(data, static_cast<DWORD>(bytes.size()))) ||
        !MakeDecoder(decoderClass, decoder) ||
        FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)) ||
        FAILED(decoder->GetFrame(0, &frame))) {
        return nullptr;
    }
    return frame;
}

Size FrameSize(IWICBitmapSource* frame) {
    UINT w = 0, h = 0;
    if (!frame || FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0 ||
        static_cast<unsigned long long>(w) * h > kMaxPixels) {
        return {};
    }
    return {static_cast<int>(w), static_cast<int>(h)};
}

Image CopyRgba(IWICBitmapSource* source, int reduce) {
    const Size size = FrameSize(source);
    if (size.width == 0) return {};
    // The factory's converter: WICConvertBitmapSource would search the registry each time.
    IWICImagingFactory* factory = Factory();
    ComPtr<IWICFormatConverter> bgra;
    if (!factory || FAILED(factory->CreateFormatConverter(&bgra)) ||
        FAILED(bgra->Initialize(source, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return {};
    }
    const int d = std::clamp(reduce, 1, kBandRows);
    Image image;
    std::vector<uint8_t> band;
    try {
        image = Image((size.width + d - 1) / d, (size.height + d - 1) / d);
        if (d > 1) band.resize(static_cast<size_t>(size.width) * 4 * kBandRows);
    } catch (const std::bad_alloc&) {
        return {};
    }
    const UINT stride = static_cast<UINT>(size.width) * 4;
    int rowsDone = 0;
    while (rowsDone < size.height) {
        const int rows = std::min(kBandRows, size.height - rowsDone);
        const WICRect rect{0, rowsDone, size.width, rows};
        // At full size straight into the picture; reduced through the band.
        uint8_t* to = d == 1 ? image.row(rowsDone) : band.data();
        if (FAILED(bgra->CopyPixels(&rect, stride, stride * static_cast<UINT>(rows), to))) break;
        if (d == 1) {
            for (size_t i = 0; i < stride * static_cast<size_t>(rows); i += 4) {
                std::swap(to[i], to[i + 2]);
            }
        }
        for (int y = 0; d > 1 && y < rows; y += d) {
            ReduceRows(band.data() + static_cast<size_t>(y) * stride, size.width,
                       std::min(d, rows - y), d, image.row((rowsDone + y) / d));
        }
        rowsDone += rows;
    }
    if (rowsDone == 0) return {};
    FillGrey(image, (rowsDone + d - 1) / d);
    return image;
}

}  // namespace ld::wic
