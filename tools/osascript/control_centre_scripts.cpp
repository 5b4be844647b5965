#include "osascript/control_centre_scripts.h"

#include <chrono>
#include <cstdlib>

#include "osascript/control_centre_client.h"
#include "platform/sim/scripting/control_centre_script.h"
#include "platform/sim/scripting/control_centre_wire.h"
#include "platform/sim/scripting/script_answer.h"

namespace kd::osascript {
namespace {

ScriptAnswer answer(std::string_view script, const ControlCentreScript& recognised) {
    const char* socketPath = std::getenv(kControlCentreSocketVariable);
    if (socketPath == nullptr || *socketPath == '\0') {
        return answerWithoutDevice(script, recognised);
    }
    const ScriptSpan whole{0, script.size()};
    auto reply =
        askControlCentre(socketPath, script, std::chrono::seconds(recognised.timeoutSeconds));
    switch (reply.outcome) {
        case ControlCentreReply::Outcome::answered:
            return std::move(reply.answer);
        case ControlCentreReply::Outcome::unreachable:
            return answerWithoutDevice(script, recognised);
        case ControlCentreReply::Outcome::timedOut:
            return executionError(script, whole,
                                  "System Events got an error: AppleEvent timed out.",
                                  kTimedOutErrorNumber);
        case ControlCentreReply::Outcome::broken:
            break;
    }
    return executionError(script, whole, "System Events got an error: Connection is invalid.",
                          kConnectionInvalidErrorNumber);
}

}  // namespace

bool isControlCentreScript(std::string_view script) {
    return recogniseControlCentreScript(script).has_value();
}

int runControlCentreScript(std::string_view script, std::ostream& out, std::ostream& err) {
    const auto recognised = recogniseControlCentreScript(script);
    if (!recognised) return 1;  // not taken by this handler
    const auto result = answer(script, *recognised);
    out << result.out;
    err << result.err;
    return result.status;
}

}  // namespace kd::osascript
