#include "platform/preferences.h"

namespace kd {

namespace {

template <typename T, typename Get>
std::optional<T> read(const PreferenceReader& reader, const std::string& key, Get get) {
    const auto stored = reader.value(key);
    if (!stored) return std::nullopt;
    if (const auto* typed = get(*stored)) return *typed;
    return std::nullopt;
}

}  // namespace

std::optional<bool> PreferenceReader::boolValue(const std::string& key) const {
    return read<bool>(*this, key, [](const PrefValue& v) { return v.asBool(); });
}

std::optional<std::int64_t> PreferenceReader::integer(const std::string& key) const {
    return read<std::int64_t>(*this, key, [](const PrefValue& v) { return v.asInteger(); });
}

std::optional<double> PreferenceReader::number(const std::string& key) const {
    const auto stored = value(key);
    if (!stored) return std::nullopt;
    if (const auto* d = stored->asDouble()) return *d;
    if (const auto* i = stored->asInteger()) return static_cast<double>(*i);
    return std::nullopt;
}

std::optional<std::string> PreferenceReader::text(const std::string& key) const {
    return read<std::string>(*this, key, [](const PrefValue& v) { return v.asText(); });
}

std::optional<PrefData> PreferenceReader::data(const std::string& key) const {
    return read<PrefData>(*this, key, [](const PrefValue& v) { return v.asData(); });
}

std::optional<PrefArray> PreferenceReader::array(const std::string& key) const {
    return read<PrefArray>(*this, key, [](const PrefValue& v) { return v.asArray(); });
}

std::optional<PrefDict> PreferenceReader::dictionary(const std::string& key) const {
    return read<PrefDict>(*this, key, [](const PrefValue& v) { return v.asDict(); });
}

}  // namespace kd
