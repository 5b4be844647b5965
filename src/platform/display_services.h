#pragma once

// The window server's display configuration and the screen list.
//
// Contract:
// - Queries may be called from any thread and read live state; an unknown
//   display id answers as the window server does: not built in, mirrors
//   nothing, empty bounds, no modes.
// - A configuration change is one transaction: `beginConfiguration`, one
//   `configure…` call, `completeConfiguration` with `permanently`. A non-zero
//   result of begin or complete is failure, and a failed completion changes
//   nothing. A transaction that is not completed must be cancelled.
// - Reconfiguration callbacks arrive on the main queue, once per changed
//   display with what changed about it, after the change is visible to
//   queries. The returned token unregisters when destroyed.
// - Display ids are 32-bit; 0 means no display. Rectangles are in global
//   points with y growing downward.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kd {

using DisplayID = std::uint32_t;
using DisplayError = std::int32_t;  // 0 is success
using ConfigRef = std::uint64_t;

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// One display mode as the window server describes it. The whole value is the
// handle: configuring a display with it selects the mode of that `ioModeID` at
// that `refreshRate`, since a variable-refresh panel lists one id at several
// rates. A handle that matches no listed mode is refused.
struct SystemDisplayMode {
    std::int32_t ioModeID = 0;
    int width = 0;  // points
    int height = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    double refreshRate = 0;  // hertz; fractional, 0 when unknown
    bool usableForDesktopGUI = true;
    friend bool operator==(const SystemDisplayMode&, const SystemDisplayMode&) = default;
};

// One active screen of the screen list.
struct ScreenInfo {
    std::optional<DisplayID> screenNumber;  // "NSScreenNumber"; absent when not numeric
    Rect frame;
    std::string localizedName;
    double maximumPotentialExtendedDynamicRangeColorComponentValue = 1.0;
    double maximumExtendedDynamicRangeColorComponentValue = 1.0;
};

// What changed about a display, in the window server's own bits.
using ReconfigurationFlags = std::uint32_t;
inline constexpr ReconfigurationFlags kDisplayMovedFlag = 1U << 1;
inline constexpr ReconfigurationFlags kDisplaySetModeFlag = 1U << 3;
inline constexpr ReconfigurationFlags kDisplayAddFlag = 1U << 4;
inline constexpr ReconfigurationFlags kDisplayRemoveFlag = 1U << 5;
inline constexpr ReconfigurationFlags kDisplayMirrorFlag = 1U << 10;
inline constexpr ReconfigurationFlags kDisplayUnMirrorFlag = 1U << 11;
// Anything else, such as an HDR switch.
inline constexpr ReconfigurationFlags kDisplayDesktopShapeChangedFlag = 1U << 12;

enum class ConfigureOption { forAppOnly, forSession, permanently };

class ReconfigurationToken {
  public:
    virtual ~ReconfigurationToken() = default;
};

class DisplayServices {
  public:
    virtual ~DisplayServices() = default;

    // Ids of all online displays (active, mirrored or hidden), at most `capacity`.
    virtual std::vector<DisplayID> onlineDisplayList(std::size_t capacity) const = 0;
    virtual bool isBuiltin(DisplayID display) const = 0;
    // The display this one mirrors; 0 when it mirrors none.
    virtual DisplayID mirrorsDisplay(DisplayID display) const = 0;
    virtual Rect bounds(DisplayID display) const = 0;
    // Every mode; `includeDuplicateLowResolution` adds the HiDPI duplicates.
    // Nothing when the display does not answer.
    virtual std::optional<std::vector<SystemDisplayMode>> allDisplayModes(
        DisplayID display, bool includeDuplicateLowResolution) const = 0;
    virtual std::optional<SystemDisplayMode> currentMode(DisplayID display) const = 0;

    virtual DisplayError beginConfiguration(ConfigRef* config) = 0;
    virtual DisplayError configureOrigin(ConfigRef config, DisplayID display, std::int32_t x,
                                         std::int32_t y) = 0;
    // `master` 0 ends mirroring.
    virtual DisplayError configureMirror(ConfigRef config, DisplayID display, DisplayID master) = 0;
    virtual DisplayError configureMode(ConfigRef config, DisplayID display,
                                       const SystemDisplayMode& mode) = 0;
    virtual DisplayError completeConfiguration(ConfigRef config, ConfigureOption option) = 0;
    virtual DisplayError cancelConfiguration(ConfigRef config) = 0;

    using ReconfigurationCallback =
        std::function<void(DisplayID display, ReconfigurationFlags flags)>;
    virtual std::unique_ptr<ReconfigurationToken> registerReconfigurationCallback(
        ReconfigurationCallback callback) = 0;

    // The active screens, in the system's order. Hidden mirrors are not listed.
    virtual std::vector<ScreenInfo> screens() const = 0;
};

}  // namespace kd
