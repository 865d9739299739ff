#include "services/network.h"

#include <utility>

#include "services/os.h"

namespace ld {

namespace {

std::optional<std::vector<LocalAddress>>& AddressesForTest() {
    static std::optional<std::vector<LocalAddress>> addresses;
    return addresses;
}

}  // namespace

void SetLocalIpv4AddressesForTest(std::optional<std::vector<LocalAddress>> addresses) {
    AddressesForTest() = std::move(addresses);
}

std::vector<LocalAddress> LocalIpv4Addresses() {
    if (AddressesForTest()) return *AddressesForTest();
    return MachineIpv4Addresses();
}

std::string ReadableToken() {
    // Bytes past the last whole multiple of the alphabet are drawn again, so that every
    // character is equally likely.
    constexpr unsigned kUsable = 256 / kTokenAlphabet.size() * kTokenAlphabet.size();
    std::string token;
    while (token.size() < kTokenLength) {
        unsigned char bytes[16] = {};
        os::RandomBytes(bytes, sizeof bytes);
        for (unsigned char b : bytes) {
            if (b >= kUsable || token.size() == kTokenLength) continue;
            token += kTokenAlphabet[b % kTokenAlphabet.size()];
        }
    }
    return token;
}

}  // namespace ld
