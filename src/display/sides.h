#pragma once

// Which side of the Mac a screen is on, and who holds each side. Pure
// functions over rectangles in global points, y growing downward (above means
// a smaller y).

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "display/side.h"
#include "platform/display_services.h"

namespace kd {

// How far a screen's bottom edge may sit below the Mac's top edge and still
// read as above it: screens placed by hand rarely line up exactly.
inline constexpr double kTopTolerance = 8;

// `top` when the screen's bottom edge is at most kTopTolerance below the Mac's
// top edge; otherwise `left` when its centre is strictly left of the Mac's
// centre, else `right` (a screen centred exactly on the Mac reads as right).
Side side(const Rect& of, const Rect& relativeTo);

// The side of each device's screen.
std::map<std::string, Side> occupiedSides(const std::map<std::string, Rect>& bounds,
                                          const Rect& main);

// The device that holds `of`, other than `excluding`; the first id in text
// order when several do. A device is never its own occupant.
std::optional<std::string> occupant(Side of, std::string_view excluding,
                                    const std::map<std::string, Side>& in);

// The side a screen dropped in the map of screens asks for: `top` only when
// the drop's centre is clear above the Mac's top edge; otherwise by centre.
Side dropSide(const Rect& dropped, const Rect& mac);

}  // namespace kd
