#include "ui/dock/mac_mode_rows.h"

#include <algorithm>

namespace kd {

namespace {

bool hasSize(const std::vector<DisplayMode>& modes, const DisplayMode& mode) {
    return std::ranges::any_of(modes, [&](const DisplayMode& m) { return sameSize(m, mode); });
}

}  // namespace

bool sameSize(const DisplayMode& a, const DisplayMode& b) {
    return a.width == b.width && a.height == b.height && a.hidpi == b.hidpi;
}

MacModeRows macModeRows(const std::vector<DisplayMode>& visible,
                        const std::vector<DisplayMode>& all) {
    MacModeRows rows;
    for (const auto& mode : visible) {
        if (!hasSize(rows.offered, mode)) rows.offered.push_back(mode);
    }
    for (const auto& mode : all) {
        if (!hasSize(rows.offered, mode) && !hasSize(rows.more, mode)) rows.more.push_back(mode);
    }
    return rows;
}

}  // namespace kd
