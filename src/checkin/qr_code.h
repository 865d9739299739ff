// The QR code of the check-in address, as modules for the stage to paint.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ld::checkin {

struct QrCode {
    int size = 0;                  // modules per side; 0 when the text could not be encoded
    std::vector<uint8_t> modules;  // 1: dark, row-major
};

// Error correction M: a code on a projector, photographed from a seat, survives some glare.
QrCode MakeQrCode(const std::string& text);

}  // namespace ld::checkin
