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
