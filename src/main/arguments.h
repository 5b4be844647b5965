#pragma once

// The command line: run mode, scenario and the options of `--list`.

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kd {

// True when one argument, argument 0 included, is exactly "--self-test".
bool containsSelfTest(const std::vector<std::string>& arguments);

// The longest `--list --wait` accepted.
inline constexpr double kMaxListWaitSeconds = 600;

struct Options {
    enum class Mode { application, selfTest, list, help, version };
    Mode mode = Mode::application;
    std::optional<std::string> scenarioPath;
    bool json = false;                              // --list prints JSON
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
