#include "support/support_config.h"

#include "model/web_address.h"
#include "platform/random_uuid.h"

namespace kd::SupportConfig {

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
