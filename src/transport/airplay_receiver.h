#pragma once

// What a resolved AirPlay receiver's announcement says about it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/device.h"
#include "platform/dns_sd.h"

namespace kd {

// The port AirPlay receivers listen on when the announcement names none.
inline constexpr int kDefaultAirPlayPort = 7000;

// The receiver `serviceName` as a device, read from its TXT record. Nothing
// when the service has no TXT record or is another Mac (its model starts
// with "Mac"). TXT values that are missing or not UTF-8 read as empty.
std::optional<Device> receiverDevice(const std::string& serviceName,
                                     const ResolvedService& service);

// The receiver's feature bits from the TXT "features" value: the first
// non-empty piece before a ",", with every "0x" removed, read as unsigned
// 64-bit hexadecimal. 0 when that is not a number or does not fit.
std::uint64_t receiverFeatures(std::string_view features);

}  // namespace kd
