// Picture values (whole image files' bytes) made ready to draw: recognised and decoded by
// the media library at the size they are drawn, wrapped for QPainter without a copy.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

#include "media/image_scale.h"
#include "services/text.h"

namespace ld::qt {

struct DrawnPicture {
    QImage image;   // at device pixels (its devicePixelRatio says how many per logical one)
    QRectF target;  // where it goes, in logical pixels relative to the box
    bool isNull() const { return image.isNull(); }
};

// A picture's natural size counts one image pixel per logical pixel, as at 96 DPI; the
// decode itself happens at device resolution so high-DPI screens stay sharp. Data that is
// no picture (a PNG, say) gives a null result.
DrawnPicture DrawPictureInBox(const Bytes& bytes, QSize box, BoxFit fit, qreal devicePixelRatio);

// The whole picture at its natural size (window icons, button faces before layout).
QImage DecodeWhole(const Bytes& bytes);

}  // namespace ld::qt
