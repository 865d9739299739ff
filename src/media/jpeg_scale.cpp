// The parts of JPEG decoding that both platforms share: the upright size and the choice of
// the DCT scale (Windows scales the whole decode down to the same size).
#include "media/exif_orientation.h"
#include "media/jpeg_decoder.h"

namespace ld {

Size JpegHeader::upright() const {
    return SwapsSides(orientation) ? Size{stored.height, stored.width} : stored;
}

int ChooseJpegScale(Size stored, Size target) {
    if (target.width <= 0 || target.height <= 0) return 1;
    for (int d : {8, 4, 2}) {
        const int w = (stored.width + d - 1) / d, h = (stored.height + d - 1) / d;
        if (w >= target.width && h >= target.height) return d;
    }
    return 1;
}

}  // namespace ld
