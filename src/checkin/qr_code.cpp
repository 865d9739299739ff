#include "checkin/qr_code.h"

#include <qrencode.h>

namespace ld::checkin {

QrCode MakeQrCode(const std::string& text) {
    QrCode code;
    QRcode* encoded = QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M);
    if (!encoded) return code;
    code.size = encoded->width;
    code.modules.resize(static_cast<size_t>(code.size) * code.size);
    for (size_t i = 0; i < code.modules.size(); ++i) code.modules[i] = encoded->data[i] & 1;
    QRcode_free(encoded);
    return code;
}

}  // namespace ld::checkin
