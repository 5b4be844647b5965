#pragma once

// A DNS-SD TXT record read from its wire form: a run of strings, each one
// length byte followed by that many bytes of "key=value".
//
// Reading follows DNS-SD's rules: the key is everything before the first
// "=", keys compare without regard to ASCII case, the first string with a
// key wins over later ones, a string without "=" is a key with no value,
// and empty strings or strings without a key ("=value") are skipped. The
// record comes from the network, so nothing in it is trusted: a length that
// runs past the end ends the record there, keeping the strings before it.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kd {

struct TxtKeyLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// Values are raw bytes; a key given without "=" maps to nothing.
using TxtRecord = std::map<std::string, std::optional<std::string>, TxtKeyLess>;

TxtRecord decodeTxtRecord(std::string_view wire);

// The bytes of `key`, or empty when the key is missing or has no value.
std::string txtValue(const TxtRecord& record, std::string_view key);

}  // namespace kd
