#pragma once

// The HTTP client over libcurl: one easy handle per request, so requests on
// different threads share nothing.
//
// Beyond the port's contract:
// - Methods GET, POST, PUT and DELETE; any other gives nothing. A body is
//   sent whenever one is given.
// - Only http and https addresses; redirects are not followed.
// - A header whose name or value holds a line break or NUL gives nothing,
//   so no caller can smuggle in a header of its own.
// - A timeout of zero or less gives nothing at once (libcurl would read it
//   as "no timeout").
// - No signals are used for timeouts, so it is safe on any thread.

#include "platform/http_client.h"

namespace kd {

class CurlHttpClient : public HttpClient {
  public:
    CurlHttpClient();
    std::optional<HttpResponse> perform(const HttpRequest& request) override;
};

}  // namespace kd
