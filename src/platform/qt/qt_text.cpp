#include "platform/qt/qt_text.h"

#include <QApplication>

#include "services/encoding.h"

namespace ld::qt {

QString ToQString(const Text& gbk) {
    if (gbk.empty()) return {};
    return QString::fromStdString(GbkToUtf8(gbk));
}

Text FromQString(const QString& text) {
    if (text.isEmpty()) return {};
    return Utf8ToGbk(text.toStdString()).value_or(Text());
}

QString ToQLines(const Text& gbk) {
    QString s = ToQString(gbk);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

Text FromQLines(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return FromQString(s);
}

QColor ToQColor(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

uint32_t FromQColor(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

QColor ColorOrInvalid(const Value& value) {
    uint32_t bgr = 0;
    if (auto p = std::get_if<int32_t>(&value))
        bgr = static_cast<uint32_t>(*p);
    else if (auto d = std::get_if<double>(&value))
        bgr = static_cast<uint32_t>(static_cast<int64_t>(*d));
    else
        return {};
    if (bgr & kSystemColor) return {};
    return ToQColor(bgr);
}

QFont ToQFont(const FontValue& font) {
    QFont f = QApplication::font();
    if (!font.face.empty()) f.setFamily(ToQString(font.face));
    int px = font.pixelSize();
    if (px > 0) f.setPixelSize(px);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    return f;
}

}  // namespace ld::qt
