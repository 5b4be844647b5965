#include "main/list_command.h"

#include <nlohmann/json.hpp>

#include "transport/airplay_scanner.h"

namespace kd {

std::string plainDeviceList(const std::vector<Device>& devices) {
    std::string text;
    for (const auto& device : devices) {
        text += device.name + "  " + toString(device.kind) + "  " + device.model + "\n";
    }
    return text;
}

std::string jsonDeviceList(const std::vector<Device>& devices) {
    auto list = nlohmann::ordered_json::array();
    for (const auto& device : devices) {
        list.push_back({{"id", device.id},
                        {"name", device.name},
                        {"kind", toString(device.kind)},
                        {"model", device.model},
                        {"matchKeys", device.matchKeys},
                        {"features", device.features},
                        {"host", device.host},
                        {"port", device.port}});
    }
    // Text from the network may not be UTF-8; replace rather than fail.
    return list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

int runListCommand(Platform& platform, ProcessValues& values, QtEventLoop& loop,
                   std::chrono::milliseconds wait, bool json, std::ostream& out) {
    AirPlayScanner scanner(AirPlayScanner::Ports{platform.dnsSd, platform.scheduler,
                                                 values.sidecarLib, platform.sidecarSettings,
                                                 platform.tools, values.deviceSnapshot});
    platform.scheduler.post(Queue::main(), [&] { scanner.start(); });
    platform.scheduler.after(wait, Queue::main(), [&] {
        const auto& devices = scanner.devices.get();
        out << (json ? jsonDeviceList(devices) : plainDeviceList(devices));
        out.flush();
        loop.quit();
    });
    return loop.run();
}

}  // namespace kd
