#pragma once

// The Mac the program runs on.

#include <string>

namespace kd {

enum class MacKind { laptop, imac, desktop };

struct HostInfo {
    MacKind kind = MacKind::laptop;
    std::string name;   // product name, such as "MacBook Air"
    std::string label;  // the line under the Mac in the main window, parts joined by " · "

    // The first part of `label`, or all of it when it has no separator.
    std::string shortLabel() const;

    friend bool operator==(const HostInfo&, const HostInfo&) = default;
};

// Joins the parts of a line shown to the user.
inline constexpr const char* kPartSeparator = " \u00B7 ";

}  // namespace kd
