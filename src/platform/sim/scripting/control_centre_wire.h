#pragma once

// How a script reaches the running simulated Mac's Control Centre: over a
// Unix stream socket whose path the interpreter finds in its environment,
// one request per connection. The request is one line holding the JSON
// object {"script": TEXT}; the reply is one line holding {"status": N,
// "stdout": TEXT, "stderr": TEXT}. JSON escapes every line break inside the
// texts, so a line feed always ends the message.
//
// Pure; any thread.

#include <optional>
#include <string>
#include <string_view>

#include "platform/sim/scripting/script_answer.h"

namespace kd {

// The environment variable naming the socket.
inline constexpr const char* kControlCentreSocketVariable = "KD_SIM_CONTROL_CENTRE";

// Longer messages are refused, so a client cannot make the other side
// buffer without end.
inline constexpr std::size_t kControlCentreMessageLimit = std::size_t{4} * 1024 * 1024;

// Each encoding ends with its line feed. Bytes that are not UTF-8 are sent
// as U+FFFD.
std::string encodeScriptRequest(std::string_view script);
std::string encodeScriptAnswer(const ScriptAnswer& answer);

// A line without its line feed; nothing when it is not such a message.
std::optional<std::string> decodeScriptRequest(std::string_view line);
std::optional<ScriptAnswer> decodeScriptAnswer(std::string_view line);

}  // namespace kd
