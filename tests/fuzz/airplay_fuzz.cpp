// Arbitrary bytes fed to everything that reads what an AirPlay receiver
// sends: its "/info" reply and its TXT record.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "transport/airplay_info.h"
#include "transport/airplay_receiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kd::parseAirPlayInfo(bytes);
    kd::receiverDevice("Receiver", kd::ResolvedService{"receiver.local", 7000, std::string(bytes)});
    return 0;
}
