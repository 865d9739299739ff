// The machine's addresses on Linux: getifaddrs and the kernel's routing table.
#include "services/network.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace ld {

namespace {

// The interface whose route has destination 0.0.0.0 in the kernel's routing table.
std::string DefaultRouteInterface() {
    std::ifstream routes("/proc/net/route");
    std::string line;
    std::getline(routes, line);  // the header
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string name, destination;
        if (fields >> name >> destination && destination == "00000000") return name;
    }
    return {};
}

}  // namespace

std::vector<LocalAddress> MachineIpv4Addresses() {
    std::vector<LocalAddress> found;
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) return found;
    const std::string routed = DefaultRouteInterface();
    for (ifaddrs* a = all; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
        if (!(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK)) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        if (!::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) continue;
        found.push_back({text, a->ifa_name, a->ifa_name == routed});
    }
    ::freeifaddrs(all);
    std::stable_partition(found.begin(), found.end(),
                          [](const LocalAddress& a) { return a.defaultRoute; });
    return found;
}

}  // namespace ld
