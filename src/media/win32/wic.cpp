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
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
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

Image CopyRgba(IWICBitmapSource* source) {
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
    Image image;
    try {
        image = Image(size.width, size.height);
    } catch (const std::bad_alloc&) {
        return {};
    }
    int rowsDone = 0;
    while (rowsDone < size.height) {
        const int rows = std::min(kBandRows, size.height - rowsDone);
        const WICRect band{0, rowsDone, size.width, rows};
        if (FAILED(bgra->CopyPixels(&band, static_cast<UINT>(image.stride()),
                                    static_cast<UINT>(image.stride() * rows),
                                    image.row(rowsDone)))) {
            break;
        }
        rowsDone += rows;
    }
    if (rowsDone == 0) return {};
    for (size_t i = 0; i < image.stride() * rowsDone; i += 4) {
        std::swap(image.rgba[i], image.rgba[i + 2]);
    }
    FillGrey(image, rowsDone);
    return image;
}

}  // namespace ld::wic
