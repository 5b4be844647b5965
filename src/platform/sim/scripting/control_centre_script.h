#pragma once

// Recognises the two scripts that drive Control Centre through System Events:
// the Screen Mirroring toggle (connect or disconnect one menu row) and the
// answer to the AirPlay mode panel of "ControlCenterHelper".
//
// A script is recognised by its statements, not by its layout: "--" comments
// are cut (outside string literals only, so a key holding "--" survives),
// each line is trimmed, and the statements that decide what the script does
// must all be there, in order. Whatever fills the slots of those statements
// (the row filter's keys, the device name, the wait count, which card wins)
// is read back, string literals decoded. A script that is not one of the two
// is not recognised at all; nothing is guessed.
//
// Pure; any thread.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kd {

inline constexpr std::string_view kMirrorRowPrefix = "screen-mirroring-device-";
inline constexpr std::string_view kDeviceNotFoundMessage =
    "Device not found in Screen Mirroring menu";

// A byte range of the script text.
struct ScriptSpan {
    std::size_t from = 0;
    std::size_t to = 0;
    friend bool operator==(const ScriptSpan&, const ScriptSpan&) = default;
};

// Which rows of the Screen Mirroring menu the script acts on, by identifier:
// those containing any of `keys`, or those containing none of them.
struct MirrorRowFilter {
    enum class Kind { containsAny, containsNone };
    Kind kind = Kind::containsAny;
    std::vector<std::string> keys;  // as the script's literals mean them
    friend bool operator==(const MirrorRowFilter&, const MirrorRowFilter&) = default;
};

struct MirrorToggleScript {
    bool connects = false;  // otherwise it disconnects
    MirrorRowFilter filter;
    ScriptSpan notFoundError;  // the statement that raises kDeviceNotFoundMessage
};

struct ModePanelScript {
    bool picksRightmostCard = false;  // otherwise the leftmost large card
    std::string deviceName;           // empty: any panel is taken as this device's
    int waitTicks = 0;
};

struct ControlCentreScript {
    std::variant<MirrorToggleScript, ModePanelScript> action;
    int timeoutSeconds = 0;  // its `with timeout of` block
};

std::optional<ControlCentreScript> recogniseControlCentreScript(std::string_view script);

}  // namespace kd
