#include "support/support_config.h"

#include <curl/curl.h>

#include <array>
#include <cstddef>
#include <memory>

namespace kd::SupportConfig {

namespace {

struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct PartFree {
    void operator()(char* part) const { curl_free(part); }
};

bool isWebAddress(const std::string& text) {
    const std::unique_ptr<CURLU, UrlFree> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    char* raw = nullptr;
    if (curl_url_get(url.get(), CURLUPART_SCHEME, &raw, 0) != CURLUE_OK) return false;
    const std::unique_ptr<char, PartFree> scheme(raw);
    const std::string name(scheme.get());
    return name == "http" || name == "https";
}

std::string uuidText(const std::array<std::byte, 16>& bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        const auto value = std::to_integer<unsigned>(bytes[i]);
        text += digits[value >> 4];
        text += digits[value & 0xF];
    }
    return text;
}

}  // namespace

std::optional<std::string> baseURL(const PreferenceReader& defaults) {
    const std::string text = defaults.text(baseDefaultsKey).value_or(builtInBaseURL);
    if (!isWebAddress(text)) return std::nullopt;
    return text;
}

std::string deviceID(Preferences& defaults, SecureRandom& random) {
    if (auto stored = defaults.text(deviceIDDefaultsKey); stored && !stored->empty()) {
        return *stored;
    }
    std::array<std::byte, 16> bytes{};
    random.fill(bytes);
    bytes[6] = (bytes[6] & std::byte{0x0F}) | std::byte{0x40};  // version 4
    bytes[8] = (bytes[8] & std::byte{0x3F}) | std::byte{0x80};  // RFC 4122 variant
    std::string id = uuidText(bytes);
    defaults.set(deviceIDDefaultsKey, id);
    return id;
}

std::optional<std::string> apiKey(const PreferenceReader& defaults) {
    auto key = defaults.text(apiKeyDefaultsKey);
    if (!key || key->empty()) return std::nullopt;
    return key;
}

}  // namespace kd::SupportConfig
