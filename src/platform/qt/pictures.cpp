#include "platform/qt/pictures.h"

#include <cmath>
#include <memory>

#include "media/picture.h"

namespace ld::qt {

namespace {

QImage Wrap(Image&& decoded) {
    if (decoded.empty()) return {};
    auto* owned = new Image(std::move(decoded));
    return QImage(
        owned->rgba.data(), owned->width, owned->height, static_cast<qsizetype>(owned->stride()),
        QImage::Format_RGBA8888, [](void* p) { delete static_cast<Image*>(p); }, owned);
}

int Device(int logical, qreal dpr) {
    return std::max(1, static_cast<int>(std::lround(logical * dpr)));
}

}  // namespace

DrawnPicture DrawPictureInBox(const Bytes& bytes, QSize box, BoxFit fit, qreal dpr) {
    const Size natural = ReadPictureSize(bytes);
    if (natural.width <= 0 || natural.height <= 0) return {};
    const Placement p = PlacePicture(natural, {box.width(), box.height()}, fit);
    // The placement fixes the drawn size; decode straight to it in device pixels.
    const Size device{Device(p.width, dpr), Device(p.height, dpr)};
    PlacedPicture placed = DecodePictureForBox(bytes, device, BoxFit::Stretch);
    DrawnPicture drawn;
    drawn.image = Wrap(std::move(placed.image));
    if (drawn.image.isNull()) return {};
    drawn.image.setDevicePixelRatio(dpr);
    drawn.target = QRectF(p.x, p.y, p.width, p.height);
    return drawn;
}

QImage DecodeWhole(const Bytes& bytes) { return Wrap(DecodePicture(bytes)); }

}  // namespace ld::qt
