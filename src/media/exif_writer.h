// Exif blocks as phone cameras write them: a Make tag, the orientation and an embedded
// preview. The picture tests and the demo event's photos are made with it.
#pragma once

#include <string>

namespace ld {

struct ExifBlock {
    int orientation = 0;         // 0: no orientation tag
    std::string thumbnail;       // JPEG bytes of the embedded preview (IFD1); empty: none
    bool bigEndian = false;      // "MM" instead of "II"
    std::string make = "Phone";  // at least four characters, so it lies outside its entry
};

// The APP1 payload: "Exif\0\0" + the TIFF block. The caller keeps it under 65533 bytes.
std::string MakeExifPayload(const ExifBlock& block);

}  // namespace ld
