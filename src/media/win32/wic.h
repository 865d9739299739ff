// The Windows Imaging Component as the pictures need it: one factory per thread (photos are
// decoded on worker threads) and the first frame of an image file in memory as RGBA pixels.
// Shared by the files in win32/ only.
#pragma once

#include <wincodec.h>
#include <wrl/client.h>

#include <string_view>

#include "media/image.h"

namespace ld::wic {

using Microsoft::WRL::ComPtr;

// This thread's factory; nullptr when COM or WIC cannot be set up.
IWICImagingFactory* Factory();

// The first frame of `bytes` read by the decoder `decoderClass` (CLSID_WICJpegDecoder...);
// nullptr when it refuses the data. Named rather than found by the factory: that search
// walks the registry at every picture, which costs milliseconds under Wine. The stream and
// decoder stay alive as long as the frame; `bytes` must outlive it too.
ComPtr<IWICBitmapFrameDecode> FirstFrame(std::string_view bytes, const CLSID& decoderClass);

// Bounds that keep a hostile header from asking for gigabytes (as on Linux): at most 200
// megapixels.
constexpr unsigned long long kMaxPixels = 200ull << 20;

// The frame's size; {0, 0} when it cannot be told or exceeds kMaxPixels.
Size FrameSize(IWICBitmapSource* frame);

// The pixels as RGBA, each side reduced `reduce` times (1, 2, 4 or 8) by averaging, band by
// band, so a large photo shown small never needs its full-size pixels here. When the data
// breaks off, the rows decoded before stay and the others are grey; empty when not even the
// first band decoded.
Image CopyRgba(IWICBitmapSource* source, int reduce = 1);

}  // namespace ld::wic
