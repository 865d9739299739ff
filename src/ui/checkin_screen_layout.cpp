#include "ui/checkin_screen_layout.h"

#include <algorithm>

namespace ld {

namespace {
constexpr int kQuietModules = 4;
}

CheckinScreenLayout LayOutCheckinScreen(BatchSize area, int qrSize) {
    CheckinScreenLayout l;
    const int w = std::max(1, area.width), h = std::max(1, area.height);
    const int margin = std::max(4, h / 30);
    l.captionPixels = std::max(8, h * 11 / 200);
    l.addressPixels = std::max(8, h * 9 / 250);
    l.countPixels = std::max(8, h * 2 / 25);
    l.namePixels = std::max(8, h / 20);

    l.caption = {margin, margin, w - 2 * margin, l.captionPixels * 3 / 2};
    const int addressHeight = l.addressPixels * 2;
    // The code's column takes most of the width; the count and the names go to its right.
    const int column = w * 3 / 5;
    const int top = l.caption.bottom() + margin;
    const int room = std::min(h - top - addressHeight - 2 * margin, column - 2 * margin);
    const int modules = std::max(1, qrSize) + 2 * kQuietModules;
    l.modulePixels = std::max(1, room / modules);
    const int side = l.modulePixels * modules;
    l.code = {std::max(0, (column - side) / 2), top, side, side};
    l.address = {margin, l.code.bottom() + margin / 2, column - 2 * margin, addressHeight};

    const int right = column + margin / 2;
    const int rightWidth = std::max(1, w - right - margin);
    l.count = {right, top, rightWidth, l.countPixels * 3 / 2};
    l.nameLineHeight = l.namePixels * 8 / 5;
    const int namesTop = l.count.bottom() + margin;
    l.names = {right, namesTop, rightWidth, std::max(0, l.address.bottom() - namesTop)};
    l.nameLines = l.names.height / l.nameLineHeight;
    return l;
}

}  // namespace ld
