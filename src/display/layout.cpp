#include "display/layout.h"

#include <algorithm>

namespace kd {

namespace {

Rect unionOf(const std::vector<ScreenTile>& tiles) {
    double minX = tiles.front().bounds.minX();
    double minY = tiles.front().bounds.minY();
    double maxX = tiles.front().bounds.maxX();
    double maxY = tiles.front().bounds.maxY();
    for (const auto& tile : tiles) {
        minX = std::min(minX, tile.bounds.minX());
        minY = std::min(minY, tile.bounds.minY());
        maxX = std::max(maxX, tile.bounds.maxX());
        maxY = std::max(maxY, tile.bounds.maxY());
    }
    return Rect{minX, minY, maxX - minX, maxY - minY};
}

}  // namespace

std::map<DisplayID, Rect> layoutTiles(const std::vector<ScreenTile>& tiles, CanvasSize in,
                                      double padding) {
    if (tiles.empty() || 2 * padding >= in.width || 2 * padding >= in.height) return {};
    const auto all = unionOf(tiles);
    if (!(all.width > 0) || !(all.height > 0)) return {};

    const double roomX = in.width - 2 * padding;
    const double roomY = in.height - 2 * padding;
    const double scale = std::min(roomX / all.width, roomY / all.height);
    const double originX = padding + (roomX - all.width * scale) / 2;
    const double originY = padding + (roomY - all.height * scale) / 2;

    std::map<DisplayID, Rect> placed;
    for (const auto& tile : tiles) {
        placed[tile.id] = Rect{originX + scale * (tile.bounds.minX() - all.minX()),
                               originY + scale * (tile.bounds.minY() - all.minY()),
                               scale * tile.bounds.width, scale * tile.bounds.height};
    }
    return placed;
}

}  // namespace kd
