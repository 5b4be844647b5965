#pragma once

// An HTTP client for small requests.
//
// Contract:
// - `perform` blocks until the answer is in, so call it off the main thread
//   (on a background queue); it may be called from several threads at once.
// - Bounded: it returns by `timeout`, counted from the call, whatever the
//   server does.
// - Nothing comes back when no complete answer arrived in time, the address
//   cannot be used, or the body would exceed `maxBodyBytes`.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kd {

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers = {};
    std::string body = {};
    std::chrono::milliseconds timeout{30000};
    std::size_t maxBodyBytes = 8u << 20;
};

struct HttpResponse {
    long status = 0;
    std::string body;  // raw bytes
};

class HttpClient {
  public:
    virtual ~HttpClient() = default;
    virtual std::optional<HttpResponse> perform(const HttpRequest& request) = 0;
};

}  // namespace kd
