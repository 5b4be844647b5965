#pragma once

// Which of the Mac's own modes its quick list offers: one row per size. Pure.

#include <vector>

#include "display/display_mode.h"

namespace kd {

struct MacModeRows {
    std::vector<DisplayMode> offered;  // the sizes macOS lists
    std::vector<DisplayMode> more;     // sizes only its hidden HiDPI duplicates have
};

// The first mode of each size, in the order given: `visible` is the ladder
// without hidden modes, `all` the ladder with them.
MacModeRows macModeRows(const std::vector<DisplayMode>& visible,
                        const std::vector<DisplayMode>& all);

// The same size: width, height and HiDPI.
bool sameSize(const DisplayMode& a, const DisplayMode& b);

}  // namespace kd
