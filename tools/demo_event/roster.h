// Who takes part in the demo event and how each photo is stored. Shared by the generator
// and its test, so the test knows which photos carry a preview or a turned orientation.
#pragma once

#include <string>
#include <vector>

namespace ld::demo {

struct Participant {
    std::string name;       // UTF-8; also the photo's file name up to its extension
    std::string extension;  // ".jpg" or ".JPG", as phones and card readers vary
    int orientation = 1;    // Exif orientation: 1 upright, 3, 6 and 8 stored turned
    bool preview = true;    // an embedded Exif preview
    int index = 0;          // picks the portrait's colours
};

std::vector<Participant> Roster();

// The upright photo: a portrait 3:4, phone size.
constexpr int kPhotoWidth = 1536, kPhotoHeight = 2048;
constexpr int kPreviewWidth = 240, kPreviewHeight = 320;

// The white name plate across the lower part of every portrait; the test looks for it to
// tell an upright photo from a turned one. Fractions of the upright photo's size.
constexpr double kPlateLeft = 0.06, kPlateRight = 0.94, kPlateTop = 0.84, kPlateBottom = 0.96;
constexpr int kPlateRed = 250, kPlateGreen = 248, kPlateBlue = 240;

// The prize table of the demo: display names and winners per level 1 … 8.
struct DemoLevel {
    const char* name;
    int winners;
    const char* prize;  // what the prize picture shows
};
extern const DemoLevel kDemoLevels[8];

}  // namespace ld::demo
