#pragma once

// The default text form of a value in a failed `equal`: numbers as digits,
// text as it is, absent values as "nil", lists in brackets.

#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kd {

// Declared first so that nested forms (an optional list, a list of optionals)
// find each other.
template <typename T>
std::string describe(const std::optional<T>& value);
template <typename T>
std::string describe(const std::vector<T>& values);
template <typename T>
std::string describe(const std::set<T>& values);
template <typename K, typename V>
std::string describe(const std::map<K, V>& values);

inline std::string describe(const std::string& text) {
    return text;
}
inline std::string describe(std::string_view text) {
    return std::string(text);
}
inline std::string describe(const char* text) {
    return text;
}
inline std::string describe(bool value) {
    return value ? "true" : "false";
}

template <typename T>
requires std::is_arithmetic_v<T> std::string describe(T value) {
    std::ostringstream out;
    out << +value;
    return out.str();
}

// Types that name themselves through a `toString` found by lookup (enums).
template <typename T>
requires requires(const T& v) {
    toString(v);
}
std::string describe(const T& value) {
    return std::string(toString(value));
}

template <typename T>
std::string describe(const std::optional<T>& value) {
    return value ? describe(*value) : "nil";
}

template <typename Range>
std::string describeAll(const Range& range) {
    std::string out = "[";
    bool first = true;
    for (const auto& element : range) {
        if (!first) out += ", ";
        first = false;
        out += describe(element);
    }
    return out + "]";
}

template <typename T>
std::string describe(const std::vector<T>& values) {
    return describeAll(values);
}

template <typename T>
std::string describe(const std::set<T>& values) {
    return describeAll(values);
}

template <typename K, typename V>
std::string describe(const std::map<K, V>& values) {
    std::string out = "[";
    bool first = true;
    for (const auto& [key, value] : values) {
        if (!first) out += ", ";
        first = false;
        out += describe(key) + ": " + describe(value);
    }
    return out + "]";
}

}  // namespace kd
