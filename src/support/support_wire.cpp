#include "support/support_wire.h"

#include <nlohmann/json.hpp>

namespace kd {

namespace {

bool keptInPath(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("-._~!$&'()*+,;=:@/").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

}  // namespace

std::string appendSupportPath(std::string base, std::string_view path) {
    static constexpr char hex[] = "0123456789ABCDEF";
    if (!base.ends_with('/')) base += '/';
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (keptInPath(byte)) {
            base += c;
        } else {
            base += '%';
            base += hex[byte >> 4];
            base += hex[byte & 0xF];
        }
    }
    return base;
}

std::string base64(std::span<const std::uint8_t> bytes) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        text += alphabet[group >> 18 & 63];
        text += alphabet[group >> 12 & 63];
        text += alphabet[group >> 6 & 63];
        text += alphabet[group & 63];
    }
    const std::size_t left = bytes.size() - i;
    if (left > 0) {
        const std::uint32_t group = bytes[i] << 16 | (left == 2 ? bytes[i + 1] << 8 : 0);
        text += alphabet[group >> 18 & 63];
        text += alphabet[group >> 12 & 63];
        text += left == 2 ? alphabet[group >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}

std::optional<SupportError> supportFailure(const std::optional<HttpResponse>& response) {
    // The HTTP layer keeps why a transfer failed to itself; the user is shown
    // the same text whatever the reason.
    if (!response) return SupportError::network("The request did not complete");
    if (response->status < 100 || response->status > 999) {
        return SupportError::network("Unexpected reply");
    }
    if (response->status >= 200 && response->status <= 299) return std::nullopt;
    if (response->status == 404) return SupportError::gone();
    std::optional<std::string> code;
    const auto body = nlohmann::json::parse(response->body, nullptr, false);
    if (body.is_object()) {
        const auto error = body.find("error");
        if (error != body.end() && error->is_string()) code = error->get<std::string>();
    }
    return SupportError::server(static_cast<int>(response->status), std::move(code));
}

}  // namespace kd
