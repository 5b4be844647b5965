#include "platform/linux/ifaddrs_interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <memory>

namespace kd {

std::vector<InterfaceAddress> IfaddrsInterfaces::ipv4Interfaces() const {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return {};
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, freeifaddrs);
    std::vector<InterfaceAddress> found;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
        const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (!inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text)) continue;
        found.push_back({entry->ifa_name ? entry->ifa_name : "", (entry->ifa_flags & IFF_UP) != 0,
                         (entry->ifa_flags & IFF_LOOPBACK) != 0, text});
    }
    return found;
}

}  // namespace kd
