#include "services/network.h"

#include "services/os.h"

namespace ld {

std::string RandomToken() {
    unsigned char bytes[16] = {};
    os::RandomBytes(bytes, sizeof bytes);
    static const char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 15];
    }
    return token;
}

}  // namespace ld
