// The machine's IPv4 addresses, for the address that phones on the venue's network use.
#pragma once

#include <optional>
#include <string>
#include <string_view>
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

// A token to type from a screen: kTokenLength characters of kTokenAlphabet (digits and
// lower-case letters without 0, 1, i, l and o, which read as one another), from the
// operating system's random source. 31^8 is about 2^39.6.
inline constexpr std::string_view kTokenAlphabet = "23456789abcdefghjkmnpqrstuvwxyz";
inline constexpr size_t kTokenLength = 8;
std::string ReadableToken();

}  // namespace ld
