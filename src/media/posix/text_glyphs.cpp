#include "media/text_glyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

namespace ld {

DrawnGlyph DrawGlyph(char32_t c, int emPixels, bool bold) {
    DrawnGlyph glyph;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return glyph;
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(emPixels);
    font.setBold(bold);
    const QFontMetricsF metrics(font);
    const QString text = QString::fromUcs4(&c, 1);
    glyph.advance = metrics.horizontalAdvance(text);
    glyph.ascent = metrics.ascent();
    glyph.descent = metrics.descent();
    // Room around the pen box for ink that overhangs it.
    const int pad = emPixels / 4;
    glyph.originX = pad;
    glyph.baselineY = pad + static_cast<int>(std::ceil(glyph.ascent));
    QImage canvas(static_cast<int>(std::ceil(glyph.advance)) + 2 * pad,
                  glyph.baselineY + static_cast<int>(std::ceil(glyph.descent)) + pad,
                  QImage::Format_Alpha8);
    canvas.fill(0);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(glyph.originX, glyph.baselineY), text);
    }
    glyph.mask = Image(canvas.width(), canvas.height());
    for (int y = 0; y < canvas.height(); ++y) {
        const uchar* in = canvas.constScanLine(y);
        uint8_t* out = glyph.mask.row(y);
        for (int x = 0; x < canvas.width(); ++x) out[x * 4 + 3] = in[x];
    }
    return glyph;
}

}  // namespace ld
