// BMP, icon, cursor and GIF pictures through Qt's image readers. Only this file's .cpp sees
// Qt; the rest of the program gets plain pixels.
#pragma once

#include <string_view>

#include "media/image.h"

namespace ld {

enum class QtPictureFormat { Bmp, Icon, Cursor, Gif };

// The first image (the first GIF frame, the first icon entry); empty when Qt refuses it.
Image DecodeWithQt(std::string_view bytes, QtPictureFormat format);

}  // namespace ld
