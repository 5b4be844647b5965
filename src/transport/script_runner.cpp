#include "transport/script_runner.h"

#include "transport/child_process.h"
#include "transport/utf8.h"

namespace kd {

namespace {

std::string decodedOrEmpty(std::string bytes) {
    return isValidUtf8(bytes) ? std::move(bytes) : std::string();
}

}  // namespace

ScriptResult runAppleScript(const ScriptInterpreter& interpreter, const std::string& script,
                            std::chrono::steady_clock::duration timeout) {
    auto run = runChild(interpreter.path, {"-e", script}, timeout, ErrorStream::capture,
                        interpreter.environment);
    if (run.launchError) {
        return {false, "Couldn't start the script interpreter " + interpreter.path + " — " +
                           *run.launchError};
    }
    if (run.timedOut) return {false, kScriptTimedOutText};
    auto out = decodedOrEmpty(std::move(run.out));
    if (out.empty()) out = decodedOrEmpty(std::move(run.err));
    return {run.exitCode == 0, std::move(out)};
}

}  // namespace kd
