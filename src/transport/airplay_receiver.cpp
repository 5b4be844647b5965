#include "transport/airplay_receiver.h"

#include <vector>

#include "model/text.h"
#include "transport/txt_record.h"
#include "transport/utf8.h"

namespace kd {

namespace {

std::string textValue(const TxtRecord& record, std::string_view key) {
    std::string value = txtValue(record, key);
    if (!isValidUtf8(value)) return {};
    return value;
}

DeviceKind kindOfModel(std::string_view model) {
    if (model.starts_with("AppleTV")) return DeviceKind::appletv;
    if (model.starts_with("iPad")) return DeviceKind::ipad;
    return DeviceKind::tv;
}

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

std::string_view firstPiece(std::string_view text) {
    while (!text.empty()) {
        const auto comma = text.find(',');
        const auto piece = text.substr(0, comma);
        if (!piece.empty() || comma == std::string_view::npos) return piece;
        text.remove_prefix(comma + 1);
    }
    return {};
}

}  // namespace

std::uint64_t receiverFeatures(std::string_view features) {
    std::string digits;
    const std::string_view piece = firstPiece(features);
    for (std::size_t at = 0; at < piece.size();) {
        if (piece.substr(at, 2) == "0x") {
            at += 2;
        } else {
            digits += piece[at++];
        }
    }
    if (digits.empty()) return 0;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const auto digit = hexDigit(c);
        if (!digit || value > (UINT64_MAX >> 4)) return 0;
        value = (value << 4) | static_cast<std::uint64_t>(*digit);
    }
    return value;
}

std::optional<Device> receiverDevice(const std::string& serviceName,
                                     const ResolvedService& service) {
    if (!service.txtRecord) return std::nullopt;
    const TxtRecord record = decodeTxtRecord(*service.txtRecord);

    std::string model = textValue(record, "model");
    if (model.starts_with("Mac")) return std::nullopt;

    std::vector<std::string> matchKeys;
    for (const char* key : {"deviceid", "psi", "pi"}) {
        std::string value = uppercased(textValue(record, key));
        if (!value.empty()) matchKeys.push_back(std::move(value));
    }
    const DeviceKind kind = kindOfModel(model);
    const std::uint64_t features = receiverFeatures(textValue(record, "features"));
    const int port = service.port < 1 ? kDefaultAirPlayPort : service.port;
    return Device(serviceName, serviceName, kind, std::move(matchKeys), std::move(model), features,
                  service.host, port);
}

}  // namespace kd
