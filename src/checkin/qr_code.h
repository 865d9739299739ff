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

// The text as bytes (8-bit mode), error correction M: a code on a projector, photographed
// from a seat, survives some glare. The smallest of versions 1 to 40 that holds it (40 takes
// 2331 bytes; an address with its token needs version 5), the mask by the four penalty
// rules. Longer text gives size 0. Our own encoder, so both platforms draw the same code.
QrCode MakeQrCode(const std::string& text);

// The same with the mask forced (0 to 7; -1 chooses as above), for comparing with encoders
// that weigh the penalty rules differently.
QrCode MakeQrCode(const std::string& text, int mask);

}  // namespace ld::checkin
