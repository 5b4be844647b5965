#pragma once

// The command line: run mode and scenario.

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kd {

// True when one argument, argument 0 included, is exactly "--self-test".
bool containsSelfTest(const std::vector<std::string>& arguments);

struct Options {
    enum class Mode { application, selfTest, help, version };
    Mode mode = Mode::application;
    std::optional<std::string> scenarioPath;
};

struct ArgumentError {
    std::string message;  // one line, without the program name
};

// Arguments include argument 0. With "--self-test" present nothing else can
// keep the self-test from running: arguments it does not know are ignored.
std::variant<Options, ArgumentError> parseArguments(const std::vector<std::string>& arguments);

std::string usageText();

}  // namespace kd
