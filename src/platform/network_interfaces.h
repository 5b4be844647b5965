#pragma once

// The machine's network interfaces and their IPv4 addresses.
//
// Contract: `ipv4Interfaces` may be called from any thread; it lists one
// entry per IPv4 address, in the system's interface order, or nothing when
// the query fails.

#include <string>
#include <vector>

namespace kd {

struct InterfaceAddress {
    std::string interfaceName;
    bool up = false;
    bool loopback = false;
    std::string address;  // dotted numeric form
    friend bool operator==(const InterfaceAddress&, const InterfaceAddress&) = default;
};

class NetworkInterfaces {
  public:
    virtual ~NetworkInterfaces() = default;
    virtual std::vector<InterfaceAddress> ipv4Interfaces() const = 0;
};

}  // namespace kd
