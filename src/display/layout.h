#pragma once

// Lays the screens out in the small map of screens: their true proportions
// and relative places, scaled as one drawing to fit the canvas inside its
// padding and centred in it. Pure.

#include <map>
#include <vector>

#include "display/screen_tile.h"
#include "platform/display_services.h"

namespace kd {

struct CanvasSize {
    double width = 0;
    double height = 0;
};

// A rectangle in canvas coordinates per tile id (a later tile with the same
// id wins). Empty when there is nothing to draw: no tiles, no room inside the
// padding, or screens that together cover no area.
std::map<DisplayID, Rect> layoutTiles(const std::vector<ScreenTile>& tiles, CanvasSize in,
                                      double padding = 10);

}  // namespace kd
