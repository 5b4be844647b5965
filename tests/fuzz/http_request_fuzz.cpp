// Arbitrary bytes as the first receive of a request to the viewer server:
// nothing outside the token may ever be routed to the page, a frame or the
// stream, and bytes that are not UTF-8 are never answered.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server/http_request.h"

namespace {

void check(std::string_view received, std::string_view token) {
    const auto route = kd::routeRequest(received, token);
    if (!kd::isWellFormedUtf8(received) || received.empty()) {
        if (route) std::abort();
        return;
    }
    if (!route) std::abort();
    if (*route == kd::HttpRoute::notFound) return;
    const std::string_view path = kd::requestPath(received);
    const std::string_view rest = path.substr(token.size() + 1);
    if (path.substr(0, token.size() + 1) != "/" + std::string(token)) std::abort();
    if (!rest.empty() && rest[0] != '/' && rest[0] != '?') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view received(reinterpret_cast<const char*>(data), size);
    check(received, "k7q2m9x4pz");
    check(received, "");
    return 0;
}
