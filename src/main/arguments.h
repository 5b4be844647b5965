#pragma once

// The command line: run mode, scenario, the options of `--list`, and the
// connect, mirror and disconnect actions run without a window.

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "display/side.h"

namespace kd {

// True when one argument, argument 0 included, is exactly "--self-test".
bool containsSelfTest(const std::vector<std::string>& arguments);

// The longest `--list --wait` accepted.
inline constexpr double kMaxListWaitSeconds = 600;

// One `--connect`, `--mirror` or `--disconnect` of the command line.
struct FlowAction {
    enum class Kind { connect, mirror, disconnect };
    Kind kind = Kind::connect;
    std::string name;          // as the user typed it
    std::optional<Side> side;  // --connect only; none: the device's saved side, else right
    friend bool operator==(const FlowAction&, const FlowAction&) = default;
};

struct Options {
    enum class Mode { application, selfTest, list, flows, help, version };
    Mode mode = Mode::application;
    std::optional<std::string> scenarioPath;
    bool json = false;                              // --list and the flows print JSON
    std::vector<FlowAction> actions;                // in the order given
    std::optional<std::chrono::milliseconds> wait;  // --list waits this long, not a scan window
    // With "--self-test" nothing stops the run: what would have been an
    // error is said here, one line each, and the rest is ignored.
    std::vector<std::string> ignored;
};

struct ArgumentError {
    std::string message;  // one line, without the program name
};

// Arguments include argument 0.
std::variant<Options, ArgumentError> parseArguments(const std::vector<std::string>& arguments);

std::string usageText();

}  // namespace kd
