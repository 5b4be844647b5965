#include "support/support_records.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <functional>
#include <limits>

namespace kd {

namespace {

using nlohmann::json;

const json* member(const json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

std::optional<std::int64_t> integer(const json* value) {
    if (!value) return std::nullopt;
    if (value->is_number_unsigned()) {
        const auto wide = value->get<std::uint64_t>();
        if (wide > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(wide);
    }
    if (value->is_number_integer()) return value->get<std::int64_t>();
    return std::nullopt;
}

std::optional<std::string> text(const json* value) {
    if (!value || !value->is_string()) return std::nullopt;
    return value->get<std::string>();
}

// A key that may be missing or null; present with another type is a fault.
bool optionalText(const json& object, const char* key, std::optional<std::string>& out) {
    const json* value = member(object, key);
    if (!value || value->is_null()) return true;
    out = text(value);
    return out.has_value();
}

std::vector<SupportAttachment> attachments(const json* value) {
    std::vector<SupportAttachment> list;
    if (!value || !value->is_array()) return list;
    for (const json& element : *value) {
        auto attachment = decodeSupportAttachment(element);
        if (!attachment) return {};
        list.push_back(std::move(*attachment));
    }
    return list;
}

}  // namespace

std::string sizeLabel(std::int64_t bytes) {
    constexpr std::int64_t megabyte = 1024 * 1024;
    if (bytes >= megabyte) {
        char label[48];
        std::snprintf(label, sizeof label, "%.1f MB", static_cast<double>(bytes) / 1024 / 1024);
        return label;
    }
    const std::int64_t kilobytes = bytes <= 1023 ? 1 : bytes / 1024;
    return std::to_string(kilobytes) + " KB";
}

std::string SupportMessage::id() const {
    if (serverID) return std::to_string(*serverID);
    return createdAt + "-" + sender + "-" + std::to_string(std::hash<std::string>{}(body));
}

std::optional<SupportAttachment> decodeSupportAttachment(const json& object) {
    if (!object.is_object()) return std::nullopt;
    auto id = integer(member(object, "id"));
    auto filename = text(member(object, "filename"));
    auto mime = text(member(object, "mime"));
    auto bytes = integer(member(object, "bytes"));
    if (!id || !filename || !mime || !bytes) return std::nullopt;
    return SupportAttachment{*id, std::move(*filename), std::move(*mime), *bytes};
}

std::optional<SupportMessage> decodeSupportMessage(const json& object) {
    if (!object.is_object()) return std::nullopt;
    SupportMessage message;
    message.serverID = integer(member(object, "id"));
    auto sender = text(member(object, "sender"));
    if (!sender) return std::nullopt;
    message.sender = std::move(*sender);
    message.body = text(member(object, "body")).value_or("");
    auto createdAt = text(member(object, "created_at"));
    if (!createdAt) return std::nullopt;
    message.createdAt = std::move(*createdAt);
    message.attachments = attachments(member(object, "attachments"));
    return message;
}

std::optional<SupportThread> decodeSupportThread(const json& object) {
    if (!object.is_object()) return std::nullopt;
    SupportThread thread;
    auto token = text(member(object, "public_token"));
    if (!token || !optionalText(object, "subject", thread.subject)) return std::nullopt;
    auto status = text(member(object, "status"));
    const json* messages = member(object, "messages");
    if (!status || !messages || !messages->is_array()) return std::nullopt;
    thread.publicToken = std::move(*token);
    thread.status = std::move(*status);
    for (const json& element : *messages) {
        auto message = decodeSupportMessage(element);
        if (!message) return std::nullopt;
        thread.messages.push_back(std::move(*message));
    }
    return thread;
}

std::optional<SupportBanner> decodeSupportBanner(const json& object) {
    if (!object.is_object()) return std::nullopt;
    const json* active = member(object, "active");
    if (!active || !active->is_boolean()) return std::nullopt;
    SupportBanner banner;
    banner.active = active->get<bool>();
    if (!optionalText(object, "message", banner.message) ||
        !optionalText(object, "severity", banner.severity) ||
        !optionalText(object, "away_until", banner.awayUntil)) {
        return std::nullopt;
    }
    return banner;
}

}  // namespace kd
