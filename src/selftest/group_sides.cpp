#include "display/sides.h"
#include "selftest/fixtures.h"
#include "selftest/groups.h"

namespace kd::groups {

void testSides(SelfTest& t, SelfTestContext&) {
    using fixtures::mainScreen;
    using fixtures::onLeft;
    using fixtures::onRight;
    using fixtures::onTop;
    using Holder = std::optional<std::string>;
    const auto ipad = fixtures::ipad();
    const auto atv = fixtures::atv();
    const auto tv = fixtures::tv();

    t.equal("a screen off the left edge reads as left", side(onLeft, mainScreen), Side::left);
    t.equal("a screen off the right edge reads as right", side(onRight, mainScreen), Side::right);
    t.equal("a screen above reads as top", side(onTop, mainScreen), Side::top);
    // Dragged by hand: its bottom edge 8 points into the Mac still reads as
    // above, 9 points in it reads by its centre, and dead centre reads right.
    const Rect eightIn{-1500, -1114, 1600, 1122};
    const Rect nineIn{-1500, -1113, 1600, 1122};
    const Rect centred{228, 103, 1600, 1122};
    t.check("a hand-placed screen is read where it lies",
            side(eightIn, mainScreen) == Side::top && side(nineIn, mainScreen) == Side::left &&
                side(centred, mainScreen) == Side::right,
            [&] {
                return describe(side(eightIn, mainScreen)) + ", " +
                       describe(side(nineIn, mainScreen)) + ", " +
                       describe(side(centred, mainScreen));
            });

    const auto held = occupiedSides({{ipad.id, onLeft}}, mainScreen);
    t.equal("the iPad holds the left", held, std::map<std::string, Side>{{ipad.id, Side::left}});
    t.equal("so the Apple TV cannot go left", occupant(Side::left, atv.id, held), Holder(ipad.id));
    t.equal("the right is still free", occupant(Side::right, atv.id, held), Holder());
    t.equal("and so is the top", occupant(Side::top, atv.id, held), Holder());
    t.equal("a third device is blocked from the left too",
            occupant(Side::left, "A neighbour's MacBook", held), Holder(ipad.id));
    t.equal("a device is never blocked from where it already is",
            occupant(Side::left, ipad.id, held), Holder());

    const auto two = occupiedSides({{ipad.id, onLeft}, {atv.id, onRight}}, mainScreen);
    t.equal("two screens hold two sides", two,
            std::map<std::string, Side>{{ipad.id, Side::left}, {atv.id, Side::right}});
    t.check("the top is the only way in for a third",
            occupant(Side::left, tv.id, two) && occupant(Side::right, tv.id, two) &&
                !occupant(Side::top, tv.id, two),
            [&] { return describe(two); });

    const auto none = occupiedSides({}, mainScreen);
    t.check("nothing is held when nothing extends",
            none.empty() && !occupant(Side::left, atv.id, none) &&
                !occupant(Side::right, atv.id, none) && !occupant(Side::top, atv.id, none),
            [&] { return describe(none); });

    const auto withVirtual = occupiedSides({{kVirtualDeviceID, onRight}}, mainScreen);
    t.equal("the virtual display holds the right", occupant(Side::right, ipad.id, withVirtual),
            Holder(kVirtualDeviceID));
}

}  // namespace kd::groups
