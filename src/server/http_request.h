#pragma once

// What the viewer server makes of one received request: only the first
// receive of a request is looked at, its path taken from the request line,
// and headers are never parsed. Pure functions, so arbitrary bytes can be
// thrown at them.

#include <optional>
#include <string_view>

namespace kd {

enum class HttpRoute {
    page,      // the viewer page, connection kept
    frame,     // the latest frame, connection kept
    stream,    // the MJPEG stream; the connection is written to from then on
    notFound,  // anything outside the token: answered 404, connection closed
};

// Whether `bytes` is well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool isWellFormedUtf8(std::string_view bytes);

// The second space-separated piece of `request`, or "/" when there is none.
std::string_view requestPath(std::string_view request);

// Whether `path` is "/" + token, or that followed by "/" or "?". The token's
// characters are compared in time that depends only on the token's length,
// so they cannot be found one by one from how fast a wrong guess is refused.
bool isUnderToken(std::string_view path, std::string_view token);

// The route for the bytes of one receive; nothing when the connection is to
// be dropped without an answer (no bytes, or not UTF-8).
std::optional<HttpRoute> routeRequest(std::string_view received, std::string_view token);

}  // namespace kd
