// The machine's IPv4 addresses, for the address that phones on the venue's network use.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ld {

struct LocalAddress {
    std::string address;        // dotted IPv4
    std::string interface;      // e.g. wlan0
    bool defaultRoute = false;  // the interface of the default route
};

// Non-loopback IPv4 addresses of interfaces that are up, the default route's first.
std::vector<LocalAddress> LocalIpv4Addresses();
// The machine's own, as the operating system tells them (one implementation per platform).
std::vector<LocalAddress> MachineIpv4Addresses();
// Tests: the addresses found (nullopt: the machine's own).
void SetLocalIpv4AddressesForTest(std::optional<std::vector<LocalAddress>> addresses);

// 128 bits from the operating system's random source, as 32 hex digits.
std::string RandomToken();

}  // namespace ld
