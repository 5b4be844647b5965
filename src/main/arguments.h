#pragma once

// The command line: run mode, scenario, the options of `--list`, the
// connect, mirror and disconnect actions run without a window, and the
// virtual display shared with browsers.

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

// The size of the virtual display `--share` brings up, in points.
struct ShareSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ShareSize&, const ShareSize&) = default;
};

// "1920x1080" (or with ×); each side within the virtual display's bounds.
std::optional<ShareSize> shareSizeFromText(const std::string& text);

struct Options {
    enum class Mode { application, selfTest, list, flows, share, help, version };
    Mode mode = Mode::application;
    std::optional<std::string> scenarioPath;
    bool json = false;                              // --list and the flows print JSON
    std::vector<FlowAction> actions;                // in the order given
    std::optional<std::chrono::milliseconds> wait;  // --list waits this long, not a scan window
    std::optional<ShareSize> shareSize;             // --share with a size
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
