#include "media/system_image_reader.h"

#include <QImage>
#include <climits>
#include <cstring>

namespace ld {
namespace {

const char* FormatName(SystemPictureFormat f) {
    switch (f) {
        case SystemPictureFormat::Bmp:
            return "BMP";
        case SystemPictureFormat::Icon:
            return "ICO";
        case SystemPictureFormat::Cursor:
            return "CUR";
        case SystemPictureFormat::Gif:
            return "GIF";
    }
    return "";
}

}  // namespace

Image DecodeWithSystemReader(std::string_view bytes, SystemPictureFormat format) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return {};
    // The format is named so that Qt never guesses another reader for the data.
    const QImage read = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                         static_cast<int>(bytes.size()), FormatName(format));
    if (read.isNull()) return {};
    const QImage rgba = read.convertToFormat(QImage::Format_RGBA8888);
    Image image(rgba.width(), rgba.height());
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(image.row(y), rgba.constScanLine(y), image.stride());
    }
    return image;
}

}  // namespace ld
