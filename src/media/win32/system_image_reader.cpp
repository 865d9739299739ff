// BMP, icons, cursors and GIF through WIC's decoders.
#include "media/system_image_reader.h"

#include <string>

#include "media/win32/wic.h"

namespace ld {

Image DecodeWithSystemReader(std::string_view bytes, SystemPictureFormat format) {
    std::string cursorAsIcon;
    const CLSID* decoder = &CLSID_WICBmpDecoder;
    switch (format) {
        case SystemPictureFormat::Bmp:
            break;
        case SystemPictureFormat::Icon:
            decoder = &CLSID_WICIcoDecoder;
            break;
        case SystemPictureFormat::Cursor:
            // A cursor file is an icon file with type 2 and hot spots where icons keep
            // planes and bit depth; WIC's icon decoder reads the pictures' own headers.
            cursorAsIcon.assign(bytes);
            cursorAsIcon[2] = 1;
            bytes = cursorAsIcon;
            decoder = &CLSID_WICIcoDecoder;
            break;
        case SystemPictureFormat::Gif:
            decoder = &CLSID_WICGifDecoder;
            break;
    }
    // The decoder is named so that WIC never guesses another one for the data.
    const auto frame = wic::FirstFrame(bytes, *decoder);
    return frame ? wic::CopyRgba(frame.Get()) : Image{};
}

}  // namespace ld
