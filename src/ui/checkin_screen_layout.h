// Where the parts of the full-screen check-in view go: the code as large as the screen
// allows (whole pixels per module, with the quiet zone scanners need), the address under
// it, the caption above, the count and the latest names beside it. Plain numbers, so that
// both hosts draw the same view.
#pragma once

#include "ui/batch_layout.h"

namespace ld {

struct CheckinScreenLayout {
    BatchBox caption;
    BatchBox code;  // the white square, quiet zone included
    int modulePixels = 0;
    BatchBox address;
    BatchBox count;
    BatchBox names;  // the latest names, one a line from the top
    int captionPixels = 0, addressPixels = 0, countPixels = 0, namePixels = 0;
    int nameLineHeight = 0;
    int nameLines = 0;  // how many names fit
};

// `qrSize` modules a side (the code without its quiet zone) in an area of `area` pixels.
CheckinScreenLayout LayOutCheckinScreen(BatchSize area, int qrSize);

}  // namespace ld
