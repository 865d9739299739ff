// Conversions between the program's values (GBK texts, 0x00BBGGRR colours, font values)
// and Qt's, in one place so that every widget converts the same way.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "services/text.h"
#include "ui/control.h"

namespace ld::qt {

// GBK bytes to QString; "\r\n" stays as it is (callers that show lines convert it).
QString ToQString(const Text& gbk);
// QString to GBK; characters GBK cannot hold are kept through GB18030.
Text FromQString(const QString& text);
// Line breaks of the program ("\r\n") to Qt's ("\n") and back.
QString ToQLines(const Text& gbk);
Text FromQLines(const QString& text);

QColor ToQColor(uint32_t bgr);
uint32_t FromQColor(const QColor& color);
// A colour property of the template; nullopt-like invalid QColor for the system colour.
QColor ColorOrInvalid(const Value& value);

// A font value as drawn: pixel size in 96-DPI logical pixels, which Qt scales on high-DPI
// screens; an empty face gives the application's default face.
QFont ToQFont(const FontValue& font);

}  // namespace ld::qt
