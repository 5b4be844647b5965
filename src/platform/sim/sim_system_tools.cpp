#include "platform/sim/sim_system_tools.h"

#include <array>
#include <cstdint>

namespace kd {

namespace {

std::string base64(const std::string& bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t n = (std::uint8_t(bytes[i]) << 16) | (std::uint8_t(bytes[i + 1]) << 8) |
                                std::uint8_t(bytes[i + 2]);
        for (const int shift : {18, 12, 6, 0}) out += kAlphabet[(n >> shift) & 63];
    }
    if (const auto rest = bytes.size() - i; rest > 0) {
        std::uint32_t n = std::uint8_t(bytes[i]) << 16;
        if (rest == 2) n |= std::uint8_t(bytes[i + 1]) << 8;
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += rest == 2 ? kAlphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

using Arguments = std::vector<std::string>;

}  // namespace

std::string networkConnectionList(bool vpnConnected) {
    // "(Disconnected)" holds "connected" only in lower case, which is why a
    // check for "Connected" tells the two apart.
    return std::string(
               "Available network connection services in the current set (*=enabled):\n"
               "* (") +
           (vpnConnected ? "Connected" : "Disconnected") +
           ")   9C5E1B7A-3D2F-4E6A-8B1C-0D9E8F7A6B5C IPSec              \"Office VPN\"       "
           "           [IPSec]\n";
}

std::string internetSharingSettings(bool enabled) {
    return std::string("{\n    AirPort =     {\n        Enabled = 0;\n    };\n    Enabled = ") +
           (enabled ? "1" : "0") +
           ";\n    NatPortMapDisabled = 0;\n    PrimaryInterface =     {\n        Device = "
           "en0;\n        Enabled = 0;\n    };\n}\n";
}

std::string productNameRegistry(const std::string& productName) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<array>\n\t<dict>\n"
           "\t\t<key>IOObjectClass</key>\n\t\t<string>IOPlatformDevice</string>\n"
           "\t\t<key>name</key>\n\t\t<data>" +
           base64(std::string("product") + '\0') +
           "</data>\n"
           "\t\t<key>product-name</key>\n\t\t<data>" +
           base64(productName + std::string(1, '\0')) + "</data>\n\t</dict>\n</array>\n</plist>\n";
}

SimSystemTools::SimSystemTools(const ScenarioMac& mac) : hostName_(mac.hostName) {
    kernel_["hw.model"] = mac.model + std::string(1, '\0');
    kernel_["machdep.cpu.brand_string"] = mac.cpuBrand + std::string(1, '\0');
    kernel_["kern.osproductversion"] = mac.osVersion + std::string(1, '\0');

    answer("/usr/sbin/scutil", [vpn = mac.vpnConnected](const Arguments& arguments) {
        return arguments == Arguments{"--nc", "list"} ? networkConnectionList(vpn) : "";
    });
    answer("/usr/bin/defaults", [sharing = mac.internetSharing](const Arguments& arguments) {
        const Arguments nat{"read", "/Library/Preferences/SystemConfiguration/com.apple.nat",
                            "NAT"};
        return arguments == nat ? internetSharingSettings(sharing) : "";
    });
    answer("/usr/sbin/ioreg", [product = mac.productName](const Arguments& arguments) {
        const Arguments productName{"-ar", "-d1", "-k", "product-name"};
        if (arguments != productName || product.empty()) return std::string();
        return productNameRegistry(product);
    });
}

std::string SimSystemTools::run(const std::string& executable, const Arguments& arguments,
                                std::chrono::steady_clock::duration) const {
    const auto tool = tools_.find(executable);
    return tool == tools_.end() ? std::string() : tool->second(arguments);
}

std::optional<std::string> SimSystemTools::kernelValue(const std::string& name) const {
    const auto value = kernel_.find(name);
    if (value == kernel_.end()) return std::nullopt;
    return value->second;
}

std::string SimSystemTools::localHostName() const {
    return hostName_;
}

void SimSystemTools::answer(const std::string& executable, Handler handler) {
    tools_[executable] = std::move(handler);
}

SimSystemTools::Handler SimSystemTools::handler(const std::string& executable) const {
    const auto tool = tools_.find(executable);
    return tool == tools_.end() ? Handler() : tool->second;
}

}  // namespace kd
