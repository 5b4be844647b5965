#include "platform/sim/sim_read_only_preferences.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace kd {

std::optional<PrefValue> SimReadOnlyPreferences::value(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

PrefValue prefValueFromPlainJson(const nlohmann::json& json) {
    switch (json.type()) {
        case nlohmann::json::value_t::boolean:
            return json.get<bool>();
        case nlohmann::json::value_t::number_integer:
            return json.get<std::int64_t>();
        case nlohmann::json::value_t::number_unsigned:
            // Non-negative integers parse as unsigned; only the large ones
            // would wrap.
            if (json.get<std::uint64_t>() >
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                throw std::invalid_argument("integer too large for a preference: " + json.dump());
            }
            return json.get<std::int64_t>();
        case nlohmann::json::value_t::number_float:
            return json.get<double>();
        case nlohmann::json::value_t::string:
            return json.get<std::string>();
        case nlohmann::json::value_t::array: {
            PrefArray items;
            items.reserve(json.size());
            for (const auto& item : json) items.push_back(prefValueFromPlainJson(item));
            return PrefValue(std::move(items));
        }
        case nlohmann::json::value_t::object: {
            PrefDict members;
            for (auto it = json.begin(); it != json.end(); ++it) {
                members.emplace(it.key(), prefValueFromPlainJson(it.value()));
            }
            return PrefValue(std::move(members));
        }
        default:
            throw std::invalid_argument("no preference value for JSON " + json.dump());
    }
}

}  // namespace kd
