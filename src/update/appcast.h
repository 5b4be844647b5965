#pragma once

// Reading an appcast: the RSS feed that lists the published versions, each
// `<item>` naming its version in a `sparkle:version` element or in the
// `sparkle:version` attribute of its `<enclosure>`, and optionally the text
// shown to people in `sparkle:shortVersionString` (element or attribute
// likewise; the item's own element wins over the enclosure's attribute).
//
// Pure: bytes in, answer out. The bytes come from the network, so the
// parser reads nothing else (no network, no external entities, no DTD),
// expands no entities, and refuses feeds above kMaxAppcastBytes.

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace kd {

inline constexpr std::size_t kMaxAppcastBytes = 1u << 20;
inline constexpr const char* kSparkleNamespace =
    "http://www.andymatuschak.org/xml-namespaces/sparkle";

struct AppcastItem {
    std::string version;         // compared with the running program's version
    std::string displayVersion;  // what people are shown: the short version, else `version`
    friend bool operator==(const AppcastItem&, const AppcastItem&) = default;
};

enum class AppcastProblem {
    notAppcast,  // not XML, too large, a DTD, or no RSS channel
    noItems,     // an RSS channel without any item that names a version
};

// The newest of the feed's items by `compareVersions`; the first of equals.
std::variant<AppcastItem, AppcastProblem> newestAppcastItem(std::string_view bytes);

}  // namespace kd
