#include "display/device_prefs.h"

namespace kd {

namespace {

PrefData bytes(const std::string& text) {
    return PrefData(text.begin(), text.end());
}

std::optional<std::string> storedText(const PreferenceReader& defaults, const std::string& key) {
    const auto data = defaults.data(key);
    if (!data) return std::nullopt;
    return std::string(data->begin(), data->end());
}

}  // namespace

std::string pinnedModeKey(const std::string& deviceID) {
    return "mode." + deviceID;
}
std::string sideKey(const std::string& deviceID) {
    return "side." + deviceID;
}
std::string cachedModesKey(const std::string& deviceID) {
    return "modes." + deviceID;
}

std::optional<ModePref> savedPref(const PreferenceReader& defaults, const std::string& deviceID) {
    const auto json = storedText(defaults, pinnedModeKey(deviceID));
    if (!json) return std::nullopt;
    return decodeModePref(*json);
}

void savePref(Preferences& defaults, const std::optional<ModePref>& pref,
              const std::string& deviceID) {
    if (pref) {
        defaults.set(pinnedModeKey(deviceID), bytes(encodeModePref(*pref)));
    } else {
        defaults.remove(pinnedModeKey(deviceID));
    }
}

std::optional<Side> savedSide(const PreferenceReader& defaults, const std::string& deviceID) {
    const auto raw = defaults.text(sideKey(deviceID));
    if (!raw) return std::nullopt;
    return sideFromRaw(*raw);
}

void saveSide(Preferences& defaults, Side side, const std::string& deviceID) {
    defaults.set(sideKey(deviceID), toString(side));
}

void cacheModes(Preferences& defaults, const std::vector<DisplayMode>& modes,
                const std::string& deviceID) {
    std::vector<ModePref> prefs;
    prefs.reserve(modes.size());
    for (const auto& mode : modes) {
        prefs.push_back({mode.width, mode.height, mode.hidpi, mode.refresh});
    }
    defaults.set(cachedModesKey(deviceID), bytes(encodeModePrefs(prefs)));
}

std::vector<ModePref> cachedModes(const PreferenceReader& defaults, const std::string& deviceID) {
    const auto json = storedText(defaults, cachedModesKey(deviceID));
    if (!json) return {};
    return decodeModePrefs(*json).value_or(std::vector<ModePref>{});
}

}  // namespace kd
