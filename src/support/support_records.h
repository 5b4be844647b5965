#pragma once

// What the support service answers with, decoded from its JSON. Keys the
// service adds beyond these are ignored.

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/support_dates.h"

namespace kd {

// "1 KB" for anything under a kilobyte, whole kilobytes below a megabyte,
// then megabytes with one decimal: "2.5 MB".
std::string sizeLabel(std::int64_t bytes);

struct SupportAttachment {
    std::int64_t id = 0;
    std::string filename;
    std::string mime;
    std::int64_t bytes = 0;

    bool isImage() const { return mime.starts_with("image/"); }
    std::string sizeLabel() const { return kd::sizeLabel(bytes); }

    friend bool operator==(const SupportAttachment&, const SupportAttachment&) = default;
};

struct SupportMessage {
    std::optional<std::int64_t> serverID;  // absent until the service has it
    std::string sender;                    // "user" for the user's own
    std::string body;
    std::string createdAt;
    std::vector<SupportAttachment> attachments;

    bool mine() const { return sender == "user"; }
    // The identity lists use: the service's id, else one made of the stamp,
    // the sender and the body (stable within one run).
    std::string id() const;
    std::optional<SupportTime> date() const { return parseSupportDate(createdAt); }

    friend bool operator==(const SupportMessage&, const SupportMessage&) = default;
};

struct SupportThread {
    std::string publicToken;
    std::optional<std::string> subject;
    std::string status;  // "closed" marks a closed conversation
    std::vector<SupportMessage> messages;

    friend bool operator==(const SupportThread&, const SupportThread&) = default;
};

struct SupportBanner {
    bool active = false;
    std::optional<std::string> message;
    std::optional<std::string> severity;
    std::optional<std::string> awayUntil;

    friend bool operator==(const SupportBanner&, const SupportBanner&) = default;
};

// Each gives nothing when `json` is not a well-formed record: a required
// key missing or of the wrong type. A message is lenient where a reader can
// do without: no "id", no "body" (empty) or bad "attachments" (none at all).
std::optional<SupportAttachment> decodeSupportAttachment(const nlohmann::json& json);
std::optional<SupportMessage> decodeSupportMessage(const nlohmann::json& json);
std::optional<SupportThread> decodeSupportThread(const nlohmann::json& json);
std::optional<SupportBanner> decodeSupportBanner(const nlohmann::json& json);

}  // namespace kd
