#include "options.h"

#include <charconv>
#include <map>

namespace kd::receiver {

namespace {

std::optional<int> portNumber(const std::string& text) {
    int port = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 0 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

}  // namespace

std::variant<Options, UsageError> parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    std::string portText;
    const std::map<std::string, std::string*> texts{
        {"--name", &options.name},
        {"--model", &options.model},
        {"--deviceid", &options.deviceId},
        {"--features", &options.features},
        {"--port", &portText},
    };
    std::string pi;
    std::string psi;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help") {
            options.help = true;
            continue;
        }
        const auto equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        std::string* target = nullptr;
        if (const auto known = texts.find(option); known != texts.end()) target = known->second;
        if (option == "--pi") target = &pi;
        if (option == "--psi") target = &psi;
        if (!target) {
            return UsageError{
                (argument.starts_with("-") ? "unknown option '" : "unexpected argument '") +
                argument + "'"};
        }
        if (equals != std::string::npos) {
            *target = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            *target = arguments[++i];
        } else {
            return UsageError{"option '" + option + "' needs a value"};
        }
        if (option == "--pi") options.pi = pi;
        if (option == "--psi") options.psi = psi;
        if (option == "--port") {
            const auto port = portNumber(portText);
            if (!port) return UsageError{"option '--port' needs a number from 0 to 65535"};
            options.port = *port;
        }
    }
    if (options.name.empty()) return UsageError{"option '--name' needs a name"};
    return options;
}

std::string usageText() {
    return "Usage: kd-airplay-receiver [--name NAME] [--model MODEL] [--deviceid ID]\n"
           "                           [--features HEX[,HEX]] [--pi ID] [--psi ID] [--port N]\n"
           "Announces a simulated AirPlay receiver (_airplay._tcp) through the Avahi\n"
           "daemon and answers GET /info with a binary property list, until it is\n"
           "interrupted; then it withdraws the announcement.\n"
           "\n"
           "  --name NAME      service name (default: Living Room)\n"
           "  --model MODEL    TXT and /info model (default: AppleTV14,1)\n"
           "  --deviceid ID    TXT deviceid (default: AA:BB:CC:DD:EE:FF)\n"
           "  --features HEX   TXT features, low then high 32 bits (default:\n"
           "                   0x5A7FFFF7,0x1E); /info gives them as one integer\n"
           "  --pi ID, --psi ID  TXT pi and psi, announced only when given\n"
           "  --port N         port to listen and announce on; 0 picks a free one\n"
           "                   (default: 7000)\n"
           "  --help           show this help and exit\n"
           "\n"
           "/info also holds receiverHDRCapability \"4k60\", osBuildVersion \"21K79\"\n"
           "and sourceVersion \"770.8.1\".\n"
           "Exit status: 0 after an interrupt, 1 when announcing or listening fails,\n"
           "2 for a bad command line.\n";
}

}  // namespace kd::receiver
