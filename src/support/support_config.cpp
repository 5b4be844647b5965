#include "support/support_config.h"

#include <curl/curl.h>

#include <memory>

#include "platform/random_uuid.h"

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
    std::string id = randomUUID(random);
    defaults.set(deviceIDDefaultsKey, id);
    return id;
}

std::optional<std::string> apiKey(const PreferenceReader& defaults) {
    auto key = defaults.text(apiKeyDefaultsKey);
    if (!key || key->empty()) return std::nullopt;
    return key;
}

}  // namespace kd::SupportConfig
