#include "support/local_support_service.h"

#include <sstream>

namespace kd::test {

namespace {

using nlohmann::json;

constexpr const char* kPrefix = "/display/";
constexpr std::size_t kMaxAttachments = 6;

std::string reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        default:
            return "Internal Server Error";
    }
}

std::string httpAnswer(int status, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reasonPhrase(status) +
           "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

LocalSupportService::Received parse(const LoopbackHttpServer::Request& request) {
    LocalSupportService::Received received;
    std::istringstream head(request.head);
    std::string line;
    std::getline(head, line);
    std::istringstream requestLine(line);
    std::string target;
    requestLine >> received.method >> target;
    received.path = target.starts_with(kPrefix) ? target.substr(9) : target;
    while (std::getline(head, line)) {
        if (line.ends_with('\r')) line.pop_back();
        const auto colon = line.find(": ");
        if (colon == std::string::npos) continue;
        received.headers.emplace_back(line.substr(0, colon), line.substr(colon + 2));
    }
    received.body = request.body;
    return received;
}

json error(const std::string& code) {
    return {{"error", code}, {"message", "refused"}};
}

bool isText(const json& body, const char* key) {
    return body.contains(key) && body[key].is_string();
}

}  // namespace

LocalSupportService::LocalSupportService()
    : server_([this](const LoopbackHttpServer::Request& request,
                     const LoopbackHttpServer::Connection& connection) {
          handle(request, connection);
      }) {}

void LocalSupportService::setFault(Fault fault) {
    const std::lock_guard lock(mutex_);
    fault_ = fault;
}

std::vector<LocalSupportService::Received> LocalSupportService::received() const {
    const std::lock_guard lock(mutex_);
    return received_;
}

std::optional<LocalSupportService::Ticket> LocalSupportService::ticket(
    const std::string& token) const {
    const std::lock_guard lock(mutex_);
    const auto found = tickets_.find(token);
    if (found == tickets_.end()) return std::nullopt;
    return found->second;
}

void LocalSupportService::addSupportMessage(const std::string& token, const std::string& body) {
    const std::lock_guard lock(mutex_);
    tickets_.at(token).messages.push_back(message("agent", body, "2024-05-01T12:31:00.250Z"));
}

void LocalSupportService::closeTicket(const std::string& token) {
    const std::lock_guard lock(mutex_);
    tickets_.at(token).status = "closed";
}

void LocalSupportService::removeTicket(const std::string& token) {
    const std::lock_guard lock(mutex_);
    tickets_.erase(token);
}

void LocalSupportService::refuseAttachmentsNamed(const std::string& filename) {
    const std::lock_guard lock(mutex_);
    refusedFilename_ = filename;
}

json LocalSupportService::message(const std::string& sender, const std::string& body,
                                  const std::string& createdAt) {
    return {{"id", nextID_++},
            {"sender", sender},
            {"body", body},
            {"created_at", createdAt},
            {"attachments", json::array()}};
}

void LocalSupportService::handle(const LoopbackHttpServer::Request& request,
                                 const LoopbackHttpServer::Connection& connection) {
    Fault fault;
    Answer answer{500, ""};
    {
        const std::lock_guard lock(mutex_);
        received_.push_back(parse(request));
        fault = fault_;
        if (fault == Fault::none) answer = route(received_.back());
    }
    switch (fault) {
        case Fault::none:
            break;
        case Fault::notFound:
            answer = {404, error("not_found").dump()};
            break;
        case Fault::rateLimited:
            answer = {500, R"({"error":"rate_limited"})"};
            break;
        case Fault::nonJsonError:
            answer = {500, "<html><body>Internal Server Error</body></html>"};
            break;
        case Fault::emptyObject:
            answer = {200, "{}"};
            break;
        case Fault::okFalse:
            answer = {200, R"({"ok":false})"};
            break;
        case Fault::noReply:
            connection.stall();
            return;
        case Fault::connectionReset:
            connection.resetOnClose();
            return;
        case Fault::hugeBody:
            answer = {200, R"({"ok":true,"padding":")" + std::string(10u << 20, 'x') + "\"}"};
            break;
    }
    connection.send(httpAnswer(answer.status, answer.body));
}

LocalSupportService::Answer LocalSupportService::route(const Received& request) {
    const std::string ticketPrefix = "v1/support/ticket/";
    if (request.method == "GET" && request.path == "v1/support/banner") {
        return {200, R"({"active":true,"message":"Back on Monday","severity":"info",)"
                     R"("away_until":null,"since":"2024-05-01"})"};
    }
    const json body = json::parse(request.body, nullptr, false);
    if (request.method == "POST" && request.path == "v1/support/ticket") {
        return createTicket(body);
    }
    if (!request.path.starts_with(ticketPrefix)) return {404, error("not_found").dump()};
    const std::string rest = request.path.substr(ticketPrefix.size());
    const std::string token = rest.substr(0, rest.find('/'));
    const std::string action = rest.substr(token.size());
    const auto found = tickets_.find(token);
    if (found == tickets_.end()) return {404, error("not_found").dump()};
    Ticket& ticket = found->second;
    if (request.method == "GET" && action.empty()) {
        json thread = {{"public_token", token},
                       {"subject", ticket.subject},
                       {"status", ticket.status},
                       {"messages", ticket.messages},
                       {"unread", 0}};
        return {200, json{{"ticket", thread}, {"server_version", "7"}}.dump()};
    }
    if (request.method == "POST" && action == "/message") return addUserMessage(ticket, body);
    if (request.method == "POST" && action == "/attachment") return addAttachment(ticket, body);
    return {404, error("not_found").dump()};
}

LocalSupportService::Answer LocalSupportService::createTicket(const json& body) {
    if (!body.is_object() || !isText(body, "subject") || !isText(body, "message") ||
        body["message"].get<std::string>().empty()) {
        return {400, error("bad_request").dump()};
    }
    const std::string token = "tk-" + std::to_string(++ticketsOpened_);
    Ticket ticket;
    ticket.subject = body["subject"].get<std::string>();
    ticket.created = body;
    ticket.messages.push_back(
        message("user", body["message"].get<std::string>(), "2024-05-01 12:30:05"));
    tickets_.emplace(token, std::move(ticket));
    return {200, json{{"public_token", token}, {"created", true}}.dump()};
}

LocalSupportService::Answer LocalSupportService::addUserMessage(Ticket& ticket, const json& body) {
    if (!body.is_object() || !isText(body, "message") ||
        body["message"].get<std::string>().empty()) {
        return {400, error("bad_request").dump()};
    }
    ticket.messages.push_back(
        message("user", body["message"].get<std::string>(), "2024-05-01T12:32:00Z"));
    return {200, R"({"ok":true})"};
}

LocalSupportService::Answer LocalSupportService::addAttachment(Ticket& ticket, const json& body) {
    if (!body.is_object() || !isText(body, "filename") || !isText(body, "mime") ||
        !isText(body, "data")) {
        return {400, error("bad_request").dump()};
    }
    if (!refusedFilename_.empty() && body["filename"] == refusedFilename_) {
        return {500, error("storage_full").dump()};
    }
    std::size_t count = 0;
    for (const auto& m : ticket.messages) count += m["attachments"].size();
    if (count >= kMaxAttachments) return {400, error("too_many_attachments").dump()};
    const std::string data = body["data"].get<std::string>();
    const std::size_t padding = data.ends_with("==") ? 2 : data.ends_with('=') ? 1 : 0;
    json attachment = {{"id", nextID_++},
                       {"filename", body["filename"]},
                       {"mime", body["mime"]},
                       {"bytes", data.size() / 4 * 3 - padding}};
    json carrier = message("user", "", "2024-05-01T12:33:00Z");
    carrier["attachments"].push_back(std::move(attachment));
    ticket.messages.push_back(std::move(carrier));
    return {200, R"({"ok":true})"};
}

}  // namespace kd::test
