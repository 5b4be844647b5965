#pragma once

// Short spellings of the simulated window server's displays for topology
// tests, and the screen list as names.

#include <string>
#include <vector>

#include "platform/display_services.h"
#include "platform/sim/scenario.h"

namespace kd::screens {

// A display with one mode matching its size; active and mirroring nothing.
inline ScenarioDisplay display(DisplayID id, std::string name, Rect bounds, bool builtIn = false) {
    ScenarioDisplay d;
    d.id = id;
    d.name = std::move(name);
    d.builtIn = builtIn;
    d.bounds = bounds;
    const auto width = static_cast<int>(bounds.width);
    const auto height = static_cast<int>(bounds.height);
    d.modes = {{1, width, height, width, height, 60, true, false}};
    d.currentMode = 1;
    return d;
}

inline ScenarioDisplay panel(Rect bounds = {0, 0, 1512, 982}) {
    return display(1, "Built-in Retina Display", bounds, true);
}

// Mirrors `master` and is hidden from the screen list, as the window server does.
inline ScenarioDisplay hiddenMirror(DisplayID id, std::string name, DisplayID master) {
    auto d = display(id, std::move(name), {0, 0, 1920, 1080});
    d.active = false;
    d.mirrorOf = master;
    return d;
}

// The names of the screens in the screen list, in its order.
inline std::vector<std::string> names(const DisplayServices& displays) {
    std::vector<std::string> out;
    for (const auto& screen : displays.screens()) out.push_back(screen.localizedName);
    return out;
}

}  // namespace kd::screens
