#include <cmath>
#include <string>

#include "display/layout.h"
#include "display/sides.h"
#include "selftest/fixtures.h"
#include "selftest/groups.h"

namespace kd::groups {

namespace {

std::string describeRect(const Rect& r) {
    return "(" + describe(r.x) + ", " + describe(r.y) + ", " + describe(r.width) + ", " +
           describe(r.height) + ")";
}

bool inside(const Rect& r, CanvasSize canvas) {
    return r.minX() >= 0 && r.minY() >= 0 && r.maxX() <= canvas.width && r.maxY() <= canvas.height;
}

bool near(double a, double b) {
    return std::abs(a - b) < 1e-6;
}

}  // namespace

void testScreenMap(SelfTest& t, SelfTestContext&) {
    using fixtures::mainScreen;
    using fixtures::onLeft;
    using fixtures::onTop;
    using fixtures::tile;
    const auto ipad = fixtures::ipad();
    const auto tv = fixtures::tv();

    t.check("nothing to draw is not a crash", layoutTiles({}, {420, 220}).empty());
    t.check("a canvas smaller than its padding draws nothing",
            layoutTiles({tile(1, std::nullopt, "Mac", mainScreen, true)}, {15, 15}, 10).empty());

    const CanvasSize small{420, 220};
    const auto lone =
        layoutTiles({tile(9, std::nullopt, "Screen", {0, 0, 1600, 1000}, false)}, small, 10);
    const auto loneRect = lone.contains(9) ? lone.at(9) : Rect{};
    t.check("a lone screen keeps its aspect ratio",
            near(loneRect.width, 320) && near(loneRect.height, 200),
            [&] { return describeRect(loneRect); });
    t.check("and stays inside the canvas",
            inside(loneRect, small) && near(loneRect.midX(), 210) && near(loneRect.midY(), 110),
            [&] { return describeRect(loneRect); });

    const CanvasSize canvas{420, 220};
    const auto placed = layoutTiles(
        {tile(1, std::nullopt, "Built-in Retina Display", mainScreen, true),
         tile(23, ipad.id, ipad.name, onLeft, false), tile(7, tv.id, tv.name, onTop, false)},
        canvas, 10);
    t.check("everything got a place",
            placed.size() == 3 && placed.contains(1) && placed.contains(23) && placed.contains(7),
            [&] { return describe(placed.size()) + " placed"; });
    const auto at = [&](DisplayID id) { return placed.contains(id) ? placed.at(id) : Rect{}; };
    const auto mac = at(1);
    const auto ipadRect = at(23);
    const auto tvRect = at(7);
    t.check("the iPad is drawn left of the Mac", ipadRect.maxX() <= mac.minX() + 1e-6,
            [&] { return describeRect(ipadRect) + " beside " + describeRect(mac); });
    t.check("the television is drawn above it", tvRect.maxY() <= mac.minY() + 1e-6,
            [&] { return describeRect(tvRect) + " over " + describeRect(mac); });
    bool allInside = true;
    for (const auto& [id, rect] : placed) allInside = allInside && inside(rect, canvas);
    t.check("nothing spills out of the canvas", allInside);
    t.check("a bigger screen is drawn bigger",
            mac.width > ipadRect.width && mac.height > ipadRect.height,
            [&] { return describeRect(mac) + " against " + describeRect(ipadRect); });

    // The map's Mac, and drops in map coordinates around it.
    const Rect mapMac{100, 100, 200, 130};
    t.equal("dropped to the left of the Mac means left", dropSide({20, 120, 100, 60}, mapMac),
            Side::left);
    t.equal("dropped to the right means right", dropSide({280, 120, 100, 60}, mapMac), Side::right);
    t.equal("dropped clear above means top", dropSide({150, 20, 100, 60}, mapMac), Side::top);
    t.check("only clear of the Mac counts as above",
            dropSide({150, 71, 100, 60}, mapMac) != Side::top, [&] {
                return "a drop centred 1 point inside the Mac read as " +
                       describe(dropSide({150, 71, 100, 60}, mapMac));
            });
}

}  // namespace kd::groups
