#include "display/mode_pref.h"

#include <limits>

#include <nlohmann/json.hpp>

#include "display/display_mode.h"

namespace kd {

namespace {

using nlohmann::json;

json toJson(const ModePref& pref) {
    return json{{"width", pref.width},
                {"height", pref.height},
                {"hidpi", pref.hidpi},
                {"refresh", pref.refresh}};
}

std::optional<int> integerField(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer()) return std::nullopt;
    if (found->is_number_unsigned()) {
        const auto value = found->get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
            return std::nullopt;
        return static_cast<int>(value);
    }
    const auto value = found->get<std::int64_t>();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<ModePref> fromJson(const json& object) {
    if (!object.is_object()) return std::nullopt;
    const auto width = integerField(object, "width");
    const auto height = integerField(object, "height");
    const auto refresh = integerField(object, "refresh");
    const auto hidpi = object.find("hidpi");
    if (!width || !height || !refresh || hidpi == object.end() || !hidpi->is_boolean()) {
        return std::nullopt;
    }
    return ModePref{*width, *height, hidpi->get<bool>(), *refresh};
}

json parse(std::string_view text) {
    // Without exceptions: bad input gives a discarded value.
    return json::parse(text.begin(), text.end(), nullptr, false);
}

}  // namespace

std::string toString(const ModePref& pref) {
    return sizeLabel(pref.width, pref.height, pref.hidpi) + " \u00b7 " +
           std::to_string(pref.refresh) + " Hz";
}

std::string encodeModePref(const ModePref& pref) {
    return toJson(pref).dump();
}

std::optional<ModePref> decodeModePref(std::string_view text) {
    return fromJson(parse(text));
}

std::string encodeModePrefs(const std::vector<ModePref>& prefs) {
    auto array = json::array();
    for (const auto& pref : prefs) array.push_back(toJson(pref));
    return array.dump();
}

std::optional<std::vector<ModePref>> decodeModePrefs(std::string_view text) {
    const auto array = parse(text);
    if (!array.is_array()) return std::nullopt;
    std::vector<ModePref> prefs;
    for (const auto& element : array) {
        const auto pref = fromJson(element);
        if (!pref) return std::nullopt;
        prefs.push_back(*pref);
    }
    return prefs;
}

}  // namespace kd
