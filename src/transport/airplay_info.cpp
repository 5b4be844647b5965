#include "transport/airplay_info.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "transport/property_list.h"
#include "transport/utf8.h"

namespace kd {

namespace {

// Text with a NUL inside is not taken: libplist keeps such XML text whole,
// and its own string getter aborts the process on it.
std::optional<std::string> textOf(plist_t dictionary, const char* key) {
    plist_t node = plist_dict_get_item(dictionary, key);
    std::uint64_t length = 0;
    const char* value = node ? plist_get_string_ptr(node, &length) : nullptr;
    if (!value || strnlen(value, length) != length) return std::nullopt;
    std::string text(value, length);
    if (!isValidUtf8(text)) return std::nullopt;
    return text;
}

bool screenFeature(plist_t dictionary) {
    plist_t node = plist_dict_get_item(dictionary, "features");
    if (!node || plist_get_node_type(node) != PLIST_UINT) return false;
    std::uint64_t features = 0;
    plist_get_uint_val(node, &features);
    return (features >> 7) & 1;
}

}  // namespace

std::optional<AirPlayInfo> parseAirPlayInfo(std::string_view bytes) {
    const PlistPtr list = parsePropertyList(bytes);
    if (!list || plist_get_node_type(list.get()) != PLIST_DICT) return std::nullopt;
    plist_t dictionary = list.get();
    return AirPlayInfo{
        .model = textOf(dictionary, "model"),
        .hdrCapability = textOf(dictionary, "receiverHDRCapability"),
        .supportsScreen = screenFeature(dictionary),
        .osBuild = textOf(dictionary, "osBuildVersion"),
        .sourceVersion = textOf(dictionary, "sourceVersion"),
    };
}

bool isPlainHostName(std::string_view host) {
    if (host.empty()) return false;
    for (const char c : host) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!plain) return false;
    }
    return true;
}

void fetchAirPlayInfo(HttpClient& http, Scheduler& scheduler, const std::string& host, int port,
                      std::function<void(std::optional<AirPlayInfo>)> done) {
    if (!isPlainHostName(host) || port < 1 || port > 65535) {
        scheduler.post(Queue::main(), [done = std::move(done)] { done(std::nullopt); });
        return;
    }
    HttpRequest request{
        .method = "GET",
        .url = "http://" + host + ":" + std::to_string(port) + "/info",
        .timeout = kAirPlayInfoTimeout,
        .maxBodyBytes = kMaxAirPlayInfoBytes,
    };
    scheduler.post(Queue::background(), [&http, &scheduler, request = std::move(request),
                                         done = std::move(done)]() mutable {
        const auto response = http.perform(request);
        auto info = response ? parseAirPlayInfo(response->body) : std::nullopt;
        scheduler.post(Queue::main(),
                       [done = std::move(done), info = std::move(info)] { done(info); });
    });
}

}  // namespace kd
