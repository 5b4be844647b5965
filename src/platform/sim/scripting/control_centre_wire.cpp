#include "platform/sim/scripting/control_centre_wire.h"

#include <cstdint>

#include <nlohmann/json.hpp>

namespace kd {
namespace {

using nlohmann::json;

std::string line(const json& message) {
    return message.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<json> object(std::string_view text) {
    auto parsed = json::parse(text, nullptr, false);
    if (!parsed.is_object()) return std::nullopt;
    return parsed;
}

const json* member(const json& message, const char* key) {
    const auto found = message.find(key);
    return found == message.end() ? nullptr : &*found;
}

}  // namespace

std::string encodeScriptRequest(std::string_view script) {
    return line(json{{"script", script}});
}

std::string encodeScriptAnswer(const ScriptAnswer& answer) {
    return line(json{{"status", answer.status}, {"stdout", answer.out}, {"stderr", answer.err}});
}

std::optional<std::string> decodeScriptRequest(std::string_view line) {
    const auto message = object(line);
    if (!message || message->size() != 1) return std::nullopt;
    const auto* script = member(*message, "script");
    if (script == nullptr || !script->is_string()) return std::nullopt;
    return script->get<std::string>();
}

std::optional<ScriptAnswer> decodeScriptAnswer(std::string_view line) {
    const auto message = object(line);
    if (!message || message->size() != 3) return std::nullopt;
    const auto* status = member(*message, "status");
    const auto* out = member(*message, "stdout");
    const auto* err = member(*message, "stderr");
    if (status == nullptr || !status->is_number_integer() || out == nullptr || !out->is_string() ||
        err == nullptr || !err->is_string()) {
        return std::nullopt;
    }
    const auto code = status->get<std::int64_t>();
    if (code < 0 || code > 255) return std::nullopt;
    return ScriptAnswer{static_cast<int>(code), out->get<std::string>(), err->get<std::string>()};
}

}  // namespace kd
