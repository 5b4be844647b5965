#include "lid/run_admin.h"

#include "transport/applescript_text.h"
#include "transport/child_process.h"
#include "transport/utf8.h"

namespace kd {

namespace {

std::string trimmed(const std::string& text) {
    constexpr const char* kBlank = " \t\r\n\v\f";
    const auto start = text.find_first_not_of(kBlank);
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(kBlank) - start + 1);
}

}  // namespace

std::string adminScript(const std::string& command) {
    return "do shell script \"" + appleScriptEscaped(command) + "\" with administrator privileges";
}

AdminResult runAdmin(const ScriptInterpreter& interpreter, const std::string& command,
                     std::chrono::steady_clock::duration timeout) {
    // The script runner folds standard error into its output and names its
    // own failures; the guard needs the interpreter's standard error alone,
    // and a launch failure told apart, so it runs the interpreter itself.
    const auto run = runChild(interpreter.path, {"-e", adminScript(command)}, timeout,
                              ErrorStream::capture, interpreter.environment);
    if (run.launchError) return {false, kAdminLaunchFailedText};
    if (run.timedOut) return {false, kAdminTimedOutText};
    return {run.exitCode == 0, isValidUtf8(run.err) ? trimmed(run.err) : std::string()};
}

}  // namespace kd
