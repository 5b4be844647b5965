#include "display/resolution.h"
#include "selftest/fixtures.h"
#include "selftest/groups.h"

namespace kd::groups {

void testMirroring(SelfTest& t, SelfTestContext&) {
    using fixtures::builtIn;
    using fixtures::screen;
    using fixtures::sidecarScreen;
    using Keys = std::set<std::string>;
    const auto ipad = fixtures::ipad();
    const auto atv = fixtures::atv();
    const auto tv = fixtures::tv();
    const std::vector<Device> devices = {ipad, atv, tv};
    const auto room = screen(7, "Гостиная", false);

    const auto mirrored =
        resolveConnections(devices, {builtIn(), room}, {7}, 0, {}, std::nullopt, {});
    t.check("a mirroring screen is still connected", mirrored.connected.contains(atv.id),
            [&] { return describe(mirrored.connected); });
    t.check("and is reported as mirroring", mirrored.mirroring.contains(atv.id),
            [&] { return describe(mirrored.mirroring); });

    const auto pair = resolveConnections(devices, {builtIn(), sidecarScreen(), room}, {7}, 0, {},
                                         std::nullopt, {});
    t.equal("both are connected", pair.connected, Keys{ipad.id, atv.id});
    t.equal("only the Apple TV is mirroring", pair.mirroring, Keys{atv.id});

    const auto hidden =
        resolveConnections(devices, {builtIn()}, {}, 1, {atv.id}, std::nullopt, {atv.id});
    t.check("a hidden mirror stays with its device",
            hidden.connected == Keys{atv.id} && hidden.screens.empty(),
            [&] { return describe(hidden.connected) + ", screens " + describe(hidden.screens); });
    t.equal("and reads as mirroring", hidden.mirroring, Keys{atv.id});

    t.equal("a hidden screen nobody claimed lights nobody",
            resolveConnections(devices, {builtIn()}, {}, 1, {}, std::nullopt, {atv.id}).connected,
            Keys{});
    t.equal(
        "a device with no screen goes dark",
        resolveConnections(devices, {builtIn()}, {}, 0, {atv.id}, std::nullopt, {atv.id}).connected,
        Keys{});

    const auto two = resolveConnections(devices, {builtIn()}, {}, 2, {atv.id, tv.id}, std::nullopt,
                                        {tv.id, atv.id});
    t.check("two hidden mirrors reach two devices",
            two.connected == Keys{atv.id, tv.id} && two.mirroring == Keys{atv.id, tv.id},
            [&] { return describe(two.connected) + ", mirroring " + describe(two.mirroring); });
    t.equal("one hidden mirror reaches only the most recent",
            resolveConnections(devices, {builtIn()}, {}, 1, {atv.id, tv.id}, std::nullopt,
                               {tv.id, atv.id})
                .connected,
            Keys{tv.id});

    const std::string offNetwork = "A neighbour's MacBook";
    t.equal("a device off the network is dropped",
            resolveConnections(devices, {builtIn()}, {}, 1, {offNetwork, atv.id}, std::nullopt,
                               {offNetwork, atv.id})
                .connected,
            Keys{atv.id});
}

}  // namespace kd::groups
