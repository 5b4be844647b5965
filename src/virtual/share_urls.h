#pragma once

// The addresses under which the shared display's page can be opened.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/network_interfaces.h"

namespace kd {

// One "http://ADDRESS:PORT/TOKEN" per IPv4 address of an interface that is up
// and not loopback, in interface order; link-local addresses (169.254.x.x)
// are skipped, since another device can rarely reach them.
std::vector<std::string> shareUrls(const std::vector<InterfaceAddress>& interfaces,
                                   std::uint16_t port, const std::string& token);

}  // namespace kd
