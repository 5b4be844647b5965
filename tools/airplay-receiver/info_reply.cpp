#include "info_reply.h"

#include <plist/plist.h>

#include <charconv>
#include <cstdlib>

namespace kd::receiver {

namespace {

std::uint64_t hexPiece(std::string_view piece) {
    if (piece.starts_with("0x") || piece.starts_with("0X")) piece.remove_prefix(2);
    std::uint64_t value = 0;
    std::from_chars(piece.data(), piece.data() + piece.size(), value, 16);
    return value;
}

std::string httpAnswer(std::string_view status, std::string_view type, std::string_view body) {
    std::string out = "HTTP/1.1 ";
    out += status;
    out += "\r\nContent-Type: ";
    out += type;
    out += "\r\nContent-Length: " + std::to_string(body.size());
    out += "\r\nConnection: close\r\n\r\n";
    out += body;
    return out;
}

}  // namespace

std::uint64_t combinedFeatures(std::string_view txtFeatures) {
    const auto comma = txtFeatures.find(',');
    const std::uint64_t low = hexPiece(txtFeatures.substr(0, comma)) & 0xFFFFFFFFu;
    if (comma == std::string_view::npos) return low;
    return low | (hexPiece(txtFeatures.substr(comma + 1)) << 32);
}

std::string infoBody(const Options& options) {
    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "model", plist_new_string(options.model.c_str()));
    plist_dict_set_item(info, "name", plist_new_string(options.name.c_str()));
    plist_dict_set_item(info, "deviceID", plist_new_string(options.deviceId.c_str()));
    plist_dict_set_item(info, "features", plist_new_uint(combinedFeatures(options.features)));
    plist_dict_set_item(info, "receiverHDRCapability", plist_new_string("4k60"));
    plist_dict_set_item(info, "osBuildVersion", plist_new_string("21K79"));
    plist_dict_set_item(info, "sourceVersion", plist_new_string("770.8.1"));
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(info, &bytes, &length);
    std::string body(bytes, length);
    std::free(bytes);
    plist_free(info);
    return body;
}

std::string answerTo(std::string_view head, const std::string& info) {
    const std::string_view line = head.substr(0, head.find("\r\n"));
    if (line == "GET /info HTTP/1.1" || line == "GET /info HTTP/1.0") {
        return httpAnswer("200 OK", "application/x-apple-binary-plist", info);
    }
    return httpAnswer("404 Not Found", "text/plain", "not found\n");
}

}  // namespace kd::receiver
