// A stand-in for the Mac's AppleScript interpreter, started as
// `kd-osascript -e SCRIPT`. It runs each kind of script it knows through a
// handler of its own: the first handler that takes the script runs it. The
// scripts that drive Control Centre, and commands run with administrator
// privileges, go to the simulated Mac. Plain statements come last and take
// the rest, answering what they cannot run with a syntax error, as the real
// interpreter would.

#include <array>
#include <iostream>
#include <string_view>

#include "osascript/admin_shell_script.h"
#include "osascript/control_centre_scripts.h"
#include "osascript/plain_script.h"

namespace {

struct ScriptHandler {
    bool (*takes)(std::string_view script);
    int (*run)(std::string_view script, std::ostream& out, std::ostream& err);
};

bool anyScript(std::string_view /*script*/) {
    return true;
}

constexpr std::array kHandlers{
    ScriptHandler{kd::osascript::isControlCentreScript, kd::osascript::runControlCentreScript},
    ScriptHandler{kd::osascript::isAdminShellScript, kd::osascript::runAdminShellScript},
    ScriptHandler{anyScript, kd::osascript::runPlainScript},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string_view(argv[1]) != "-e") {
        std::cerr << "usage: kd-osascript -e script\n";
        return 1;
    }
    const std::string_view script = argv[2];
    for (const auto& handler : kHandlers) {
        if (handler.takes(script)) return handler.run(script, std::cout, std::cerr);
    }
    return 1;
}
