// BMP, icon, cursor and GIF pictures through the platform's image readers: Qt's on Linux
// (posix/), WIC on Windows (win32/). Only those files see them; the rest of the program gets
// plain pixels.
#pragma once

#include <string_view>

#include "media/image.h"

namespace ld {

enum class SystemPictureFormat { Bmp, Icon, Cursor, Gif };

// The first image (the first GIF frame, the first icon entry); empty when the reader refuses it.
Image DecodeWithSystemReader(std::string_view bytes, SystemPictureFormat format);

}  // namespace ld
