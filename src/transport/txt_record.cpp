#include "transport/txt_record.h"

#include <algorithm>
#include <cstddef>

namespace kd {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool TxtKeyLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(asciiLower(x)) <
               static_cast<unsigned char>(asciiLower(y));
    });
}

TxtRecord decodeTxtRecord(std::string_view wire) {
    TxtRecord record;
    std::size_t at = 0;
    while (at < wire.size()) {
        const std::size_t length = static_cast<unsigned char>(wire[at]);
        ++at;
        if (length > wire.size() - at) break;
        const std::string_view entry = wire.substr(at, length);
        at += length;

        const std::size_t equals = entry.find('=');
        const std::string_view key = entry.substr(0, equals);
        if (key.empty()) continue;
        std::optional<std::string> value;
        if (equals != std::string_view::npos) value = std::string(entry.substr(equals + 1));
        // emplace keeps an existing key, so the first occurrence wins.
        record.emplace(std::string(key), std::move(value));
    }
    return record;
}

std::string txtValue(const TxtRecord& record, std::string_view key) {
    const auto it = record.find(key);
    if (it == record.end() || !it->second) return {};
    return *it->second;
}

}  // namespace kd
