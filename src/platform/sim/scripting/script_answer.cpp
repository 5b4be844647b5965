#include "platform/sim/scripting/script_answer.h"

#include <algorithm>

namespace kd {
namespace {

// UTF-16 code units in the first `bytes` bytes: one per sequence, two for a
// sequence of four bytes (a character beyond the Basic Multilingual Plane).
std::size_t characterCount(std::string_view text, std::size_t bytes) {
    std::size_t count = 0;
    for (const char c : text.substr(0, std::min(bytes, text.size()))) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0U) == 0x80U) continue;
        count += (byte & 0xF8U) == 0xF0U ? 2 : 1;
    }
    return count;
}

ScriptAnswer errorAnswer(std::string_view script, ScriptSpan at, std::string_view stage,
                         std::string_view message, int number) {
    std::string line = std::to_string(characterCount(script, at.from)) + ":" +
                       std::to_string(characterCount(script, at.to)) + ": ";
    line += stage;
    line += ": ";
    line += message;
    line += " (" + std::to_string(number) + ")\n";
    return ScriptAnswer{1, "", std::move(line)};
}

}  // namespace

ScriptAnswer returnedText(std::string_view value) {
    return ScriptAnswer{0, std::string(value) + "\n", ""};
}

ScriptAnswer executionError(std::string_view script, ScriptSpan at, std::string_view message,
                            int number) {
    return errorAnswer(script, at, "execution error", message, number);
}

ScriptAnswer syntaxError(std::string_view script, ScriptSpan at, std::string_view message,
                         int number) {
    return errorAnswer(script, at, "syntax error", message, number);
}

ScriptAnswer answerWithoutDevice(std::string_view script, const ControlCentreScript& recognised) {
    if (const auto* toggle = std::get_if<MirrorToggleScript>(&recognised.action)) {
        return executionError(script, toggle->notFoundError, kDeviceNotFoundMessage,
                              kRaisedErrorNumber);
    }
    return returnedText("none");
}

}  // namespace kd
