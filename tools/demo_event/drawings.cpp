#include "drawings.h"

#include <QFont>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cstdint>

namespace ld::demo {

namespace {

// A small generator of its own, so the pictures do not depend on the C library's rand.
class Dice {
public:
    explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    int below(int n) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 8) % static_cast<uint32_t>(n));
    }

private:
    uint32_t state_;
};

QFont Face(int pixelSize, bool bold = true) {
    QFont font(TextFace());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Fine grain over the whole picture, as a phone sensor leaves it: the photos then compress
// (and decode) like real ones instead of like flat drawings.
void AddGrain(QImage& image, uint32_t seed) {
    uint32_t s = seed * 747796405u + 1;
    for (int y = 0; y < image.height(); ++y) {
        auto* p = reinterpret_cast<uint8_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x, p += 4) {
            s = s * 1664525u + 1013904223u;
            const int n = static_cast<int>(s >> 29) - 4;  // -4 … 3
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(qBound(0, p[c] + n, 255));
        }
    }
}

void DrawHead(QPainter& p, const Participant& person, double w, double h) {
    Dice dice(static_cast<uint32_t>(person.index) + 7);
    const QColor skins[] = {{241, 204, 177}, {226, 185, 150}, {205, 160, 125}, {248, 214, 190}};
    const QColor hairs[] = {{30, 24, 22}, {52, 36, 28}, {20, 20, 24}, {78, 56, 40}};
    const QColor skin = skins[dice.below(4)], hair = hairs[dice.below(4)];
    const QPointF centre(w * 0.5, h * 0.40);
    const double rx = w * 0.20, ry = w * 0.26;

    p.setPen(Qt::NoPen);
    p.setBrush(skin.darker(108));
    p.drawRect(QRectF(centre.x() - w * 0.07, centre.y() + ry * 0.6, w * 0.14, h * 0.12));  // neck
    p.setBrush(hair);
    const bool longHair = dice.below(2) == 0;
    if (longHair)
        p.drawRoundedRect(
            QRectF(centre.x() - rx * 1.12, centre.y() - ry * 1.1, rx * 2.24, ry * 2.1), rx * 0.5,
            rx * 0.5);
    p.setBrush(skin);
    p.drawEllipse(centre, rx, ry);
    p.setBrush(hair);  // the hair over the forehead
    p.drawChord(QRectF(centre.x() - rx * 1.04, centre.y() - ry * 1.08, rx * 2.08, ry * 1.3), 0,
                180 * 16);
    p.setBrush(QColor(40, 30, 30));  // eyes
    p.drawEllipse(QPointF(centre.x() - rx * 0.38, centre.y() + ry * 0.05), rx * 0.09, ry * 0.07);
    p.drawEllipse(QPointF(centre.x() + rx * 0.38, centre.y() + ry * 0.05), rx * 0.09, ry * 0.07);
    QPen smile(QColor(170, 70, 70), w * 0.012, Qt::SolidLine, Qt::RoundCap);
    p.setPen(smile);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - rx * 0.35, centre.y() + ry * 0.25, rx * 0.7, ry * 0.35), 200 * 16,
              140 * 16);
}

}  // namespace

QString TextFace() {
    for (const char* face :
         {"Noto Sans CJK SC", "Noto Serif CJK SC", "WenQuanYi Zen Hei", "Droid Sans Fallback"}) {
        if (QFontDatabase::hasFamily(face)) return face;
    }
    return QFont().family();  // whatever the system has; the names may then show boxes
}

QImage DrawPortrait(const Participant& person) {
    const int w = kPhotoWidth, h = kPhotoHeight;
    QImage image(w, h, QImage::Format_RGBA8888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor back = QColor::fromHsv((person.index * 67) % 360, 90, 235);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, back.lighter(115));
    sky.setColorAt(1, back.darker(135));
    p.fillRect(image.rect(), sky);

    const QColor shirt = QColor::fromHsv((person.index * 137 + 200) % 360, 150, 150);
    p.setPen(Qt::NoPen);
    p.setBrush(shirt);
    p.drawRoundedRect(QRectF(w * 0.12, h * 0.62, w * 0.76, h * 0.6), w * 0.2, w * 0.2);
    DrawHead(p, person, w, h);

    const QRectF plate(w * kPlateLeft, h * kPlateTop, w * (kPlateRight - kPlateLeft),
                       h * (kPlateBottom - kPlateTop));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kPlateRed, kPlateGreen, kPlateBlue));
    p.drawRoundedRect(plate, w * 0.03, w * 0.03);
    p.setPen(QColor(40, 40, 48));
    p.setFont(Face(static_cast<int>(plate.height() * 0.62)));
    p.drawText(plate, Qt::AlignCenter, QString::fromStdString(person.name));
    p.end();
    AddGrain(image, static_cast<uint32_t>(person.index));
    return image;
}

QImage DrawPrize(int level) {
    const DemoLevel& info = kDemoLevels[level - 1];
    const int w = 800, h = 640;
    QImage image(w, h, QImage::Format_RGBA8888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(w / 2.0, h * 0.42, w * 0.6);
    glow.setColorAt(0, QColor(255, 246, 214));
    glow.setColorAt(1, QColor(246, 196, 92));
    p.fillRect(image.rect(), glow);

    const QColor box = QColor::fromHsv((level * 45 + 330) % 360, 200, 210);
    const QColor ribbon(255, 215, 64);
    const QRectF body(w * 0.27, h * 0.30, w * 0.46, h * 0.36),
        lid(w * 0.24, h * 0.22, w * 0.52, h * 0.10);
    p.setPen(Qt::NoPen);
    p.setBrush(box);
    p.drawRect(body);
    p.setBrush(box.darker(115));
    p.drawRect(lid);
    p.setBrush(ribbon);
    p.drawRect(QRectF(w * 0.47, lid.top(), w * 0.06, body.bottom() - lid.top()));
    p.drawEllipse(QRectF(w * 0.36, h * 0.12, w * 0.14, h * 0.11));  // the bow
    p.drawEllipse(QRectF(w * 0.50, h * 0.12, w * 0.14, h * 0.11));

    p.setPen(QColor(150, 20, 20));
    p.setFont(Face(h / 9));
    p.drawText(QRectF(0, h * 0.68, w, h * 0.16), Qt::AlignCenter, info.name);
    p.setPen(QColor(70, 40, 20));
    p.setFont(Face(h / 13, false));
    p.drawText(QRectF(0, h * 0.83, w, h * 0.13), Qt::AlignCenter, info.prize);
    return image;
}

QImage DrawBackground() {
    const int w = 1920, h = 1080;
    QImage image(w, h, QImage::Format_RGBA8888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient red(w / 2.0, h * 0.35, w * 0.75);
    red.setColorAt(0, QColor(196, 28, 36));
    red.setColorAt(1, QColor(92, 6, 14));
    p.fillRect(image.rect(), red);

    // Soft rays from above the titles.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 120, 18));
    for (int i = 0; i < 18; ++i) {
        QPainterPath ray;
        ray.moveTo(w / 2.0, -h * 0.2);
        ray.arcTo(QRectF(w / 2.0 - w, -h * 0.2 - w, 2.0 * w, 2.0 * w), -20 - i * 20, 8);
        ray.closeSubpath();
        p.drawPath(ray);
    }
    // Gold confetti, denser along the edges so the middle stays calm for the photos.
    Dice dice(2024);
    for (int i = 0; i < 420; ++i) {
        const int x = dice.below(w), y = dice.below(h);
        const double edge = std::min({x, w - x, y * 2, (h - y) * 2}) / (w * 0.25);
        if (edge > 1 && dice.below(4) != 0) continue;
        p.setBrush(QColor(255, 200 + dice.below(50), 60 + dice.below(80), 90 + dice.below(120)));
        const double r = 2 + dice.below(7);
        p.drawEllipse(QPointF(x, y), r, r);
    }
    p.setPen(QColor(255, 220, 150, 150));
    p.setFont(Face(22, false));
    p.drawText(QRectF(0, h - 44, w - 24, 36), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("演示数据 · 程序生成"));
    return image;
}

}  // namespace ld::demo
