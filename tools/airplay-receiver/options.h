#pragma once

// The simulated receiver's command line.

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kd::receiver {

struct Options {
    std::string name = "Living Room";
    std::string model = "AppleTV14,1";
    std::string deviceId = "AA:BB:CC:DD:EE:FF";
    std::string features = "0x5A7FFFF7,0x1E";
    std::optional<std::string> pi;
    std::optional<std::string> psi;
    int port = 7000;  // 0: any free port
    bool help = false;
};

struct UsageError {
    std::string message;  // one line, without the program name
};

// Arguments without argument 0.
std::variant<Options, UsageError> parseOptions(const std::vector<std::string>& arguments);

std::string usageText();

}  // namespace kd::receiver
