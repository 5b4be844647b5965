#pragma once

// A support service on a free loopback port: the ticket endpoints over an
// in-memory store, under the path "/display/", with faults a test can switch
// on for every following request.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/loopback_http_server.h"

namespace kd::test {

class LocalSupportService {
  public:
    enum class Fault {
        none,
        notFound,         // 404
        rateLimited,      // 500 {"error":"rate_limited"}
        nonJsonError,     // 500 with an HTML page
        emptyObject,      // 200 {}
        okFalse,          // 200 {"ok":false}
        noReply,          // holds the connection until the client gives up
        connectionReset,  // resets the connection without a byte
        hugeBody,         // 200 with a 10 MB body
    };

    // A request as the service read it.
    struct Received {
        std::string method;
        std::string path;                                          // below "/display/"
        std::vector<std::pair<std::string, std::string>> headers;  // in order sent
        std::string body;
    };

    struct Ticket {
        std::string subject;
        std::string status = "open";
        nlohmann::json messages = nlohmann::json::array();
        nlohmann::json created;  // the body that opened it
    };

    LocalSupportService();

    std::string baseURL() const { return server_.url("/display/"); }
    void setFault(Fault fault);
    std::vector<Received> received() const;

    std::optional<Ticket> ticket(const std::string& token) const;
    void addSupportMessage(const std::string& token, const std::string& body);
    void closeTicket(const std::string& token);
    // The service clears the conversation: its token is unknown from now on.
    void removeTicket(const std::string& token);
    // Attachments of this file name are refused with a server error.
    void refuseAttachmentsNamed(const std::string& filename);

  private:
    struct Answer {
        int status;
        std::string body;
    };
    void handle(const LoopbackHttpServer::Request& request,
                const LoopbackHttpServer::Connection& connection);
    Answer route(const Received& request);
    Answer createTicket(const nlohmann::json& body);
    Answer addUserMessage(Ticket& ticket, const nlohmann::json& body);
    Answer addAttachment(Ticket& ticket, const nlohmann::json& body);
    nlohmann::json message(const std::string& sender, const std::string& body,
                           const std::string& createdAt);

    mutable std::mutex mutex_;
    Fault fault_ = Fault::none;
    std::vector<Received> received_;
    std::map<std::string, Ticket> tickets_;
    std::int64_t nextID_ = 1;
    std::string refusedFilename_;
    int ticketsOpened_ = 0;
    LoopbackHttpServer server_;  // last: it stops before the state above goes
};

}  // namespace kd::test
