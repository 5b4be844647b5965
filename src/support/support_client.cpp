#include "support/support_client.h"

#include <nlohmann/json.hpp>

#include <utility>

#include "support/support_wire.h"

namespace kd {

namespace {

using nlohmann::json;

std::optional<json> parseObject(const std::string& body) {
    auto parsed = json::parse(body, nullptr, false);
    if (!parsed.is_object()) return std::nullopt;
    return parsed;
}

std::optional<std::string> decodeCreateReply(const std::string& body) {
    const auto object = parseObject(body);
    if (!object) return std::nullopt;
    const auto token = object->find("public_token");
    if (token == object->end() || !token->is_string()) return std::nullopt;
    return token->get<std::string>();
}

std::optional<SupportThread> decodeThreadReply(const std::string& body) {
    const auto object = parseObject(body);
    if (!object) return std::nullopt;
    const auto ticket = object->find("ticket");
    if (ticket == object->end()) return std::nullopt;
    return decodeSupportThread(*ticket);
}

// The service's "ok" says nothing a success status has not said already.
std::optional<SupportDone> decodeOkReply(const std::string& body) {
    const auto object = parseObject(body);
    if (!object) return std::nullopt;
    const auto ok = object->find("ok");
    if (ok == object->end() || !ok->is_boolean()) return std::nullopt;
    return SupportDone{};
}

std::optional<SupportBanner> decodeBannerReply(const std::string& body) {
    const auto object = parseObject(body);
    if (!object) return std::nullopt;
    return decodeSupportBanner(*object);
}

// Text the user typed is sent even where it is not valid UTF-8 (a file name
// from disk may not be): such bytes become U+FFFD rather than failing.
std::string compact(const json& body) {
    return body.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string lastPathComponent(const std::string& path) {
    const auto end = path.find_last_not_of('/');
    if (end == std::string::npos) return path;
    const auto slash = path.rfind('/', end);
    return path.substr(slash == std::string::npos ? 0 : slash + 1,
                       end - (slash == std::string::npos ? 0 : slash + 1) + 1);
}

std::string ticketPath(const std::string& token) {
    return "v1/support/ticket/" + token;
}

}  // namespace

SupportClient::SupportClient(Ports ports, std::string localeIdentifier,
                             std::chrono::milliseconds timeout)
    : ports_(ports), localeIdentifier_(std::move(localeIdentifier)), timeout_(timeout) {}

template <class T>
void SupportClient::send(const char* method, const std::string& path,
                         const std::optional<std::string>& body,
                         std::optional<T> (*decode)(const std::string&), Done<T> done) {
    Scheduler& scheduler = ports_.scheduler;
    const auto base = SupportConfig::baseURL(ports_.defaults);
    if (!base) {
        scheduler.post(Queue::main(),
                       [done = std::move(done)] { done(SupportError::notConfigured()); });
        return;
    }
    HttpRequest request{.method = method,
                        .url = appendSupportPath(*base, path),
                        .headers = {{"Content-Type", "application/json"}},
                        .body = body.value_or(""),
                        .timeout = timeout_,
                        .maxBodyBytes = kMaxSupportReplyBytes};
    if (const auto key = SupportConfig::apiKey(ports_.defaults)) {
        request.headers.emplace_back("Authorization", "Bearer " + *key);
    }
    scheduler.post(
        Queue::background(), [&http = ports_.http, &scheduler, decode, request = std::move(request),
                              done = std::move(done)]() mutable {
            const auto response = http.perform(request);
            auto failure = supportFailure(response);
            std::optional<T> value;
            if (!failure) {
                value = decode(response->body);
                if (!value) failure = SupportError::network(kMalformedSupportReply);
            }
            scheduler.post(Queue::main(), [done = std::move(done), failure = std::move(failure),
                                           value = std::move(value)]() mutable {
                if (failure) {
                    done(std::move(*failure));
                } else {
                    done(std::move(*value));
                }
            });
        });
}

void SupportClient::create(const std::string& subject, const std::string& message,
                           const std::optional<SupportTicketDiagnostics>& diagnostics,
                           Done<std::string> done) {
    json body = {{"subject", subject},
                 {"message", message},
                 {"device_id", SupportConfig::deviceID(ports_.defaults, ports_.random)},
                 {"locale", localeIdentifier_}};
    if (diagnostics) {
        body["diagnostics"] = {{"app_version", diagnostics->appVersion},
                               {"os", diagnostics->os},
                               {"screens", diagnostics->screens}};
    }
    send<std::string>("POST", "v1/support/ticket", compact(body), decodeCreateReply,
                      std::move(done));
}

void SupportClient::thread(const std::string& token, Done<SupportThread> done) {
    send<SupportThread>("GET", ticketPath(token), std::nullopt, decodeThreadReply, std::move(done));
}

void SupportClient::reply(const std::string& token, const std::string& message,
                          Done<SupportDone> done) {
    send<SupportDone>("POST", ticketPath(token) + "/message", compact({{"message", message}}),
                      decodeOkReply, std::move(done));
}

void SupportClient::upload(const SupportUploadFile& file, const std::string& token,
                           Done<SupportDone> done) {
    const json body = {{"filename", lastPathComponent(file.path)},
                       {"mime", file.mime},
                       {"data", base64(file.bytes)}};
    send<SupportDone>("POST", ticketPath(token) + "/attachment", compact(body), decodeOkReply,
                      std::move(done));
}

void SupportClient::banner(Done<SupportBanner> done) {
    send<SupportBanner>("GET", "v1/support/banner", std::nullopt, decodeBannerReply,
                        std::move(done));
}

std::optional<std::string> SupportClient::attachmentURL(const std::string& token,
                                                        std::int64_t attachmentID) const {
    const auto base = SupportConfig::baseURL(ports_.defaults);
    if (!base) return std::nullopt;
    return appendSupportPath(*base,
                             ticketPath(token) + "/attachment/" + std::to_string(attachmentID));
}

}  // namespace kd
