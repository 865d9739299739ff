// The machine's addresses on Windows: GetAdaptersAddresses; an adapter with a gateway
// carries the default route.
#include "services/network.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include <algorithm>
#include <vector>

#include "services/win32/wide.h"

namespace ld {

namespace {

std::string DottedAddress(const SOCKADDR* address) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    const auto* b = reinterpret_cast<const unsigned char*>(&in->sin_addr);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

}  // namespace

std::vector<LocalAddress> MachineIpv4Addresses() {
    std::vector<LocalAddress> found;
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER |
                        GAA_FLAG_INCLUDE_GATEWAYS;
    std::vector<unsigned char> buffer(16 * 1024);
    ULONG size = static_cast<ULONG>(buffer.size());
    auto* adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    ULONG result = ::GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        buffer.resize(size);
        adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
        result = ::GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size);
    }
    if (result != NO_ERROR) return found;
    for (auto* a = adapters; a; a = a->Next) {
        if (a->OperStatus != IfOperStatusUp || a->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
        const std::string name = win32::Narrow(a->FriendlyName ? a->FriendlyName : L"");
        for (auto* u = a->FirstUnicastAddress; u; u = u->Next) {
            const SOCKADDR* address = u->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET) continue;
            found.push_back({DottedAddress(address), name, a->FirstGatewayAddress != nullptr});
        }
    }
    std::stable_partition(found.begin(), found.end(),
                          [](const LocalAddress& a) { return a.defaultRoute; });
    return found;
}

}  // namespace ld
