// A name card: the attendee's name large on a festive background, the department small. It
// stands in for the photo of someone who checked in without one, so it is a picture like
// any photo (portrait, as phone photos are).
#pragma once

#include <string_view>

#include "media/image.h"

namespace ld {

// Needs the application's font database (a QGuiApplication). Safe on worker threads.
Image DrawNameCard(std::string_view nameUtf8, std::string_view departmentUtf8,
                   Size size = {960, 1280});

}  // namespace ld
