#include "main/arguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <regex>

namespace kd {

namespace {

// A value that follows its option, as "--name VALUE" or "--name=VALUE";
// "--self-test" is never anybody's value.
std::optional<std::string> valueOf(const std::vector<std::string>& arguments, std::size_t& i,
                                   const std::string& name) {
    const auto& argument = arguments[i];
    if (argument.starts_with(name + "=")) return argument.substr(name.size() + 1);
    if (i + 1 >= arguments.size() || arguments[i + 1] == "--self-test") return std::nullopt;
    return arguments[++i];
}

bool isOption(const std::string& argument, const std::string& name) {
    return argument == name || argument.starts_with(name + "=");
}

std::optional<std::chrono::milliseconds> seconds(const std::string& text) {
    double value = 0;
    const auto* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end || !std::isfinite(value) || value < 0 ||
        value > kMaxListWaitSeconds) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::llround(value * 1000));
}

}  // namespace

std::optional<ShareSize> shareSizeFromText(const std::string& text) {
    static const std::regex form("([0-9]{1,5})(?:x|X|\u00d7)([0-9]{1,5})");
    std::smatch parts;
    if (!std::regex_match(text, parts, form)) return std::nullopt;
    const ShareSize size{std::stoi(parts[1]), std::stoi(parts[2])};
    if (size.width < 320 || size.height < 240 || size.width > 16384 || size.height > 16384) {
        return std::nullopt;
    }
    return size;
}

bool containsSelfTest(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), "--self-test") != arguments.end();
}

std::variant<Options, ArgumentError> parseArguments(const std::vector<std::string>& arguments) {
    Options options;
    const bool selfTest = containsSelfTest(arguments);
    std::vector<std::string> problems;
    bool list = false;
    bool share = false;

    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (argument == "--self-test") continue;
        if (isOption(argument, "--scenario")) {
            const auto path = valueOf(arguments, i, "--scenario");
            if (!path || path->empty()) {
                problems.emplace_back("option '--scenario' needs a file");
            } else {
                options.scenarioPath = *path;
            }
        } else if (isOption(argument, "--wait")) {
            const auto value = valueOf(arguments, i, "--wait");
            const auto wait = value ? seconds(*value) : std::nullopt;
            if (!wait) {
                problems.emplace_back("option '--wait' needs a number of seconds from 0 to 600");
            } else {
                options.wait = wait;
            }
        } else if (isOption(argument, "--connect") || isOption(argument, "--mirror") ||
                   isOption(argument, "--disconnect")) {
            const auto option = argument.substr(0, argument.find('='));
            const auto name = valueOf(arguments, i, option);
            if (!name || name->empty()) {
                problems.push_back("option '" + option + "' needs a device name");
                continue;
            }
            const auto kind = option == "--connect"  ? FlowAction::Kind::connect
                              : option == "--mirror" ? FlowAction::Kind::mirror
                                                     : FlowAction::Kind::disconnect;
            options.actions.push_back(FlowAction{kind, *name, std::nullopt});
        } else if (isOption(argument, "--side")) {
            const auto value = valueOf(arguments, i, "--side");
            const auto side = value ? sideFromRaw(*value) : std::nullopt;
            if (!side) {
                problems.emplace_back("option '--side' needs left, right or top");
            } else if (options.actions.empty() ||
                       options.actions.back().kind != FlowAction::Kind::connect ||
                       options.actions.back().side) {
                problems.emplace_back("option '--side' goes after a '--connect NAME' of its own");
            } else {
                options.actions.back().side = side;
            }
        } else if (isOption(argument, "--share")) {
            share = true;
            // The size is optional: only a next argument that is not an
            // option is taken for it.
            std::optional<std::string> value;
            if (argument.starts_with("--share=")) {
                value = argument.substr(8);
            } else if (i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) {
                value = arguments[++i];
            }
            if (value) {
                options.shareSize = shareSizeFromText(*value);
                if (!options.shareSize) {
                    problems.emplace_back(
                        "option '--share' takes a size such as 1920x1080 (320x240 to "
                        "16384x16384)");
                }
            }
        } else if (argument == "--list") {
            list = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--help" || argument == "-h") {
            if (!selfTest) options.mode = Options::Mode::help;
        } else if (argument == "--version") {
            if (!selfTest) options.mode = Options::Mode::version;
        } else if (argument.starts_with("-")) {
            problems.push_back("unknown option '" + argument + "'");
        } else {
            problems.push_back("unexpected argument '" + argument + "'");
        }
    }

    if (selfTest) {
        options.mode = Options::Mode::selfTest;
        options.ignored = std::move(problems);
        return options;
    }
    if (!problems.empty()) return ArgumentError{problems.front()};
    if (options.mode != Options::Mode::application) return options;
    if (list && !options.actions.empty()) {
        return ArgumentError{
            "option '--list' does not go with '--connect', '--mirror' or "
            "'--disconnect'"};
    }
    if (share && (list || !options.actions.empty() || options.json || options.wait)) {
        return ArgumentError{"option '--share' goes alone (with '--scenario' at most)"};
    }
    if (share) {
        options.mode = Options::Mode::share;
    } else if (list) {
        options.mode = Options::Mode::list;
    } else if (options.wait) {
        return ArgumentError{"option '--wait' only goes with '--list'"};
    } else if (!options.actions.empty()) {
        options.mode = Options::Mode::flows;
    } else if (options.json) {
        return ArgumentError{"option '--json' only goes with '--list' or the device actions"};
    }
    return options;
}

std::string usageText() {
    return "Usage: kelvane-display [--scenario FILE] [--self-test]\n"
           "       kelvane-display --list [--json] [--wait SECONDS] [--scenario FILE]\n"
           "       kelvane-display [--scenario FILE] [--json] ACTION...\n"
           "       kelvane-display --share [WIDTHxHEIGHT] [--scenario FILE]\n"
           "Puts other screens to work as second displays of this Mac: an iPad over\n"
           "Sidecar, an Apple TV or AirPlay television, or a virtual display.\n"
           "\n"
           "  --scenario FILE  run on the simulated Mac that FILE describes (JSON)\n"
           "                   instead of the built-in 14-inch MacBook Pro\n"
           "  --list           scan for devices once, print them in display order\n"
           "                   (name, kind and model, two spaces apart) and exit\n"
           "  --json           with --list: print one JSON array of the devices instead\n"
           "  --wait SECONDS   with --list: scan this long instead of 8 seconds\n"
           "\n"
           "Actions run one after another, each to its end, on the devices the scan\n"
           "finds (NAME exactly, else ignoring case); every status line is printed:\n"
           "  --connect NAME [--side left|right|top]\n"
           "                   extend onto the device, on that side of the Mac (by\n"
           "                   default where it was last time, else on the right)\n"
           "  --mirror NAME    make the device mirror this Mac\n"
           "  --disconnect NAME\n"
           "                   end the device's screen\n"
           "  --json           with actions: end with one JSON object of the screens;\n"
           "                   the status lines then go to standard error\n"
           "  --share [WIDTHxHEIGHT]\n"
           "                   bring up the virtual display (at that size in points,\n"
           "                   which is remembered) and share it with browsers on the\n"
           "                   network: prints its address, a QR code and the viewer\n"
           "                   count, and runs until Ctrl+C\n"
           "  --self-test      check the program's own decisions, print a summary and\n"
           "                   exit with 0 when every check passed, 1 otherwise; it\n"
           "                   runs whatever else the command line holds\n"
           "  --help           show this help and exit\n"
           "  --version        show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 when a self-test check failed or an action\n"
           "did not leave its device as asked, 2 for a bad command line or scenario\n"
           "or a device name the scan did not find.\n";
}

}  // namespace kd
