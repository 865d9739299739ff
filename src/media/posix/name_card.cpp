#include "media/name_card.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QString>
#include <cstring>

namespace ld {

namespace {

const QColor kGold(0xF6, 0xD3, 0x65);

// The largest pixel size up to `largest` at which the text fits the width.
QFont FittingFont(const QString& text, double width, int largest, QFont::Weight weight) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setWeight(weight);
    for (int pixels = largest; pixels > 12; pixels -= 4) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width) break;
    }
    return font;
}

void DrawBackground(QPainter& painter, const QRectF& area) {
    QRadialGradient glow(area.center(), area.height() * 0.75);
    glow.setColorAt(0, QColor(0xD8, 0x2A, 0x2A));
    glow.setColorAt(1, QColor(0x8E, 0x0E, 0x14));
    painter.fillRect(area, glow);
    // A double gold frame and a few lucky sparks, the same for every card.
    painter.setPen(QPen(kGold, area.width() / 60));
    painter.drawRect(area.adjusted(area.width() / 24, area.width() / 24, -area.width() / 24,
                                   -area.width() / 24));
    painter.setPen(QPen(kGold, area.width() / 240));
    painter.drawRect(area.adjusted(area.width() / 14, area.width() / 14, -area.width() / 14,
                                   -area.width() / 14));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGold);
    for (int i = 0; i < 24; ++i) {
        const double x = area.width() * (0.12 + 0.76 * ((i * 37) % 100) / 100.0);
        const double y = area.height() * (0.10 + 0.80 * ((i * 61) % 100) / 100.0);
        if (y > area.height() * 0.3 && y < area.height() * 0.72) continue;  // keep the name clear
        painter.drawEllipse(QPointF(x, y), area.width() / 160.0, area.width() / 160.0);
    }
}

}  // namespace

Image DrawNameCard(std::string_view nameUtf8, std::string_view departmentUtf8, Size size) {
    QImage card(size.width, size.height, QImage::Format_RGBA8888);
    const QRectF area(0, 0, size.width, size.height);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawBackground(painter, area);

    const QString name =
        QString::fromUtf8(nameUtf8.data(), static_cast<qsizetype>(nameUtf8.size()));
    const double textWidth = size.width * 0.78;
    painter.setPen(kGold);
    painter.setFont(FittingFont(name, textWidth, size.width / 3, QFont::Bold));
    const QRectF nameBox(0, size.height * 0.28, size.width, size.height * 0.3);
    painter.drawText(nameBox, Qt::AlignCenter, name);

    if (!departmentUtf8.empty()) {
        const QString department =
            QString::fromUtf8(departmentUtf8.data(), static_cast<qsizetype>(departmentUtf8.size()));
        painter.setPen(Qt::white);
        painter.setFont(FittingFont(department, textWidth, size.width / 12, QFont::Normal));
        painter.drawText(QRectF(0, size.height * 0.6, size.width, size.height * 0.1),
                         Qt::AlignCenter, department);
    }
    painter.end();

    Image image(size.width, size.height);
    for (int y = 0; y < size.height; ++y)
        std::memcpy(image.row(y), card.constScanLine(y), image.stride());
    return image;
}

}  // namespace ld
