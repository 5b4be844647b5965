#include "display/sides.h"

namespace kd {

Side side(const Rect& of, const Rect& relativeTo) {
    if (of.maxY() <= relativeTo.minY() + kTopTolerance) return Side::top;
    return of.midX() < relativeTo.midX() ? Side::left : Side::right;
}

std::map<std::string, Side> occupiedSides(const std::map<std::string, Rect>& bounds,
                                          const Rect& main) {
    std::map<std::string, Side> sides;
    for (const auto& [key, rect] : bounds) sides.emplace(key, side(rect, main));
    return sides;
}

std::optional<std::string> occupant(Side of, std::string_view excluding,
                                    const std::map<std::string, Side>& in) {
    // The map is ordered by id, so the first holder found is the first in text order.
    for (const auto& [key, held] : in) {
        if (held == of && key != excluding) return key;
    }
    return std::nullopt;
}

Side dropSide(const Rect& dropped, const Rect& mac) {
    if (dropped.midY() < mac.minY()) return Side::top;
    return dropped.midX() < mac.midX() ? Side::left : Side::right;
}

}  // namespace kd
