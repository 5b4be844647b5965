#pragma once

// The machine's real interfaces through getifaddrs(3).

#include "platform/network_interfaces.h"

namespace kd {

class IfaddrsInterfaces final : public NetworkInterfaces {
  public:
    std::vector<InterfaceAddress> ipv4Interfaces() const override;
};

}  // namespace kd
