#include <algorithm>

#include "display/mode_matching.h"
#include "display/modes.h"
#include "selftest/groups.h"

namespace kd::groups {

namespace {

// The Mac's own panel: the online display the window server calls built in.
std::optional<DisplayID> builtInPanel(const DisplayServices& displays) {
    constexpr std::size_t kEnough = 32;
    const auto online = displays.onlineDisplayList(kEnough);
    const auto found = std::find_if(online.begin(), online.end(),
                                    [&](DisplayID id) { return displays.isBuiltin(id); });
    if (found == online.end()) return std::nullopt;
    return *found;
}

ModePref prefOf(const DisplayMode& mode) {
    return ModePref{mode.width, mode.height, mode.hidpi, mode.refresh};
}

}  // namespace

void testModeMatching(SelfTest& t, SelfTestContext& context) {
    const auto ladder =
        displayModes(context.platform.displays, builtInPanel(context.platform.displays));

    // Every rung must be found again from a preference copied off it.
    const auto unmatched = std::find_if(ladder.begin(), ladder.end(), [&](const DisplayMode& mode) {
        return matchMode(prefOf(mode), ladder) != mode;
    });
    t.check("an exact mode is matched exactly", !ladder.empty() && unmatched == ladder.end(), [&] {
        return unmatched == ladder.end() ? std::string("no modes to match")
                                         : unmatched->label() + " was not matched by itself";
    });

    auto impossible = ladder.empty() ? ModePref{} : prefOf(ladder.front());
    impossible.refresh = 999;
    const auto fallback = matchMode(impossible, ladder);
    t.check(
        "an impossible refresh falls back to the same size",
        fallback && fallback->width == impossible.width && fallback->height == impossible.height,
        [&] { return "got " + (fallback ? fallback->label() : std::string("nil")); });

    const auto tiny = matchMode(ModePref{3, 3, false, 60}, ladder);
    t.check("a size this panel has not got matches nothing", !tiny,
            [&] { return "got " + tiny->label(); });

    t.check("this Mac reports a mode ladder", !ladder.empty(), [] { return "no modes at all"; });
}

}  // namespace kd::groups
