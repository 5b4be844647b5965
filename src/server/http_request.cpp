#include "server/http_request.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace kd {

bool isWellFormedUtf8(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[at]);
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        std::uint32_t smallest = 0;
        if (lead < 0x80) {
            ++at;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - at < length) return false;
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<std::uint8_t>(bytes[at + i]);
            if ((next & 0xC0) != 0x80) return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < smallest || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string_view requestPath(std::string_view request) {
    int piece = 0;
    std::size_t at = 0;
    while (at < request.size()) {
        while (at < request.size() && request[at] == ' ') ++at;
        if (at == request.size()) break;
        const std::size_t end = std::min(request.find(' ', at), request.size());
        if (++piece == 2) return request.substr(at, end - at);
        at = end;
    }
    return "/";
}

bool isUnderToken(std::string_view path, std::string_view token) {
    // Every byte of "/" + token is visited whatever the path holds; only the
    // path's length decides early, and that tells nothing about the token.
    const std::size_t prefixLength = token.size() + 1;
    if (path.size() < prefixLength) return false;
    unsigned difference = static_cast<unsigned char>(path[0]) ^ static_cast<unsigned char>('/');
    for (std::size_t i = 0; i < token.size(); ++i) {
        difference |=
            static_cast<unsigned char>(path[i + 1]) ^ static_cast<unsigned char>(token[i]);
    }
    const bool endsThere =
        path.size() == prefixLength || path[prefixLength] == '/' || path[prefixLength] == '?';
    return difference == 0 && endsThere;
}

std::optional<HttpRoute> routeRequest(std::string_view received, std::string_view token) {
    if (received.empty() || !isWellFormedUtf8(received)) return std::nullopt;
    const std::string_view path = requestPath(received);
    if (!isUnderToken(path, token)) return HttpRoute::notFound;
    const std::string_view rest = path.substr(token.size() + 1);
    if (rest.starts_with("/frame")) return HttpRoute::frame;
    if (rest.starts_with("/stream")) return HttpRoute::stream;
    return HttpRoute::page;
}

}  // namespace kd
