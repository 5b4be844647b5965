#include "main/arguments.h"

#include <algorithm>

namespace kd {

bool containsSelfTest(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), "--self-test") != arguments.end();
}

std::variant<Options, ArgumentError> parseArguments(const std::vector<std::string>& arguments) {
    Options options;
    const bool selfTest = containsSelfTest(arguments);
    if (selfTest) options.mode = Options::Mode::selfTest;

    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (argument == "--self-test") continue;
        if (argument == "--scenario" || argument.starts_with("--scenario=")) {
            std::string path;
            if (argument == "--scenario") {
                if (i + 1 >= arguments.size()) {
                    if (selfTest) continue;
                    return ArgumentError{"option '--scenario' needs a file"};
                }
                path = arguments[++i];
            } else {
                path = argument.substr(std::string("--scenario=").size());
            }
            if (path.empty()) {
                if (selfTest) continue;
                return ArgumentError{"option '--scenario' needs a file"};
            }
            options.scenarioPath = path;
            continue;
        }
        if (selfTest) continue;
        if (argument == "--help" || argument == "-h") {
            options.mode = Options::Mode::help;
        } else if (argument == "--version") {
            options.mode = Options::Mode::version;
        } else if (argument.starts_with("-")) {
            return ArgumentError{"unknown option '" + argument + "'"};
        } else {
            return ArgumentError{"unexpected argument '" + argument + "'"};
        }
    }
    return options;
}

std::string usageText() {
    return "Usage: kelvane-display [--scenario FILE] [--self-test]\n"
           "Puts other screens to work as second displays of this Mac: an iPad over\n"
           "Sidecar, an Apple TV or AirPlay television, or a virtual display.\n"
           "\n"
           "  --scenario FILE  run on the simulated Mac that FILE describes (JSON)\n"
           "                   instead of the built-in 14-inch MacBook Pro\n"
           "  --self-test      check the program's own decisions, print a summary and\n"
           "                   exit with 0 when every check passed, 1 otherwise\n"
           "  --help           show this help and exit\n"
           "  --version        show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 when a self-test check failed, 2 for a bad\n"
           "command line or scenario.\n";
}

}  // namespace kd
