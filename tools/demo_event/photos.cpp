#include "photos.h"

#include <QTransform>
#include <cstring>

#include "media/exif_writer.h"
#include "media/image.h"
#include "media/jpeg_encoder.h"

namespace ld::demo {

namespace {

Image ToImage(const QImage& picture) {
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    Image image(rgba.width(), rgba.height());
    for (int y = 0; y < rgba.height(); ++y) {
        std::memcpy(image.row(y), rgba.constScanLine(y), image.stride());
    }
    return image;
}

}  // namespace

QImage TurnForStorage(const QImage& upright, int orientation) {
    // Orientation 6 is shown turned a quarter clockwise, so it is stored a quarter the
    // other way; 8 is the reverse and 3 a half turn. Qt turns clockwise for positive angles
    // (y grows downwards).
    const int degrees = orientation == 6 ? -90 : orientation == 8 ? 90 : orientation == 3 ? 180 : 0;
    if (degrees == 0) return upright;
    return upright.transformed(QTransform().rotate(degrees));
}

std::string PhotoFile(const Participant& person, const QImage& upright) {
    ExifBlock exif;
    exif.orientation = person.orientation;
    exif.make = "luckydraw demo";
    if (person.preview) {
        const QImage small = upright.scaled(kPreviewWidth, kPreviewHeight, Qt::IgnoreAspectRatio,
                                            Qt::SmoothTransformation);
        JpegEncodeOptions options;
        options.quality = 80;
        exif.thumbnail = EncodeJpeg(ToImage(TurnForStorage(small, person.orientation)), options);
    }
    JpegEncodeOptions options;
    options.quality = 88;
    options.segments.push_back({0xE1, MakeExifPayload(exif)});
    return EncodeJpeg(ToImage(TurnForStorage(upright, person.orientation)), options);
}

std::string PlainJpegFile(const QImage& picture, int quality) {
    JpegEncodeOptions options;
    options.quality = quality;
    return EncodeJpeg(ToImage(picture), options);
}

}  // namespace ld::demo
