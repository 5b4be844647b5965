#include "virtual/share_urls.h"

namespace kd {

std::vector<std::string> shareUrls(const std::vector<InterfaceAddress>& interfaces,
                                   std::uint16_t port, const std::string& token) {
    std::vector<std::string> urls;
    for (const auto& entry : interfaces) {
        if (!entry.up || entry.loopback || entry.address.empty()) continue;
        if (entry.address.starts_with("169.254.")) continue;
        urls.push_back("http://" + entry.address + ":" + std::to_string(port) + "/" + token);
    }
    return urls;
}

}  // namespace kd
