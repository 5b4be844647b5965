#include "display/resolution.h"
#include "selftest/fixtures.h"
#include "selftest/groups.h"

namespace kd::groups {

namespace {

std::optional<DisplayID> screenOf(const Attachments& attachments, const std::string& key) {
    const auto found = attachments.find(key);
    if (found == attachments.end()) return std::nullopt;
    return found->second;
}

}  // namespace

void testAttachment(SelfTest& t, SelfTestContext&) {
    using fixtures::builtIn;
    using fixtures::screen;
    using fixtures::sidecarScreen;
    const auto ipad = fixtures::ipad();
    const auto atv = fixtures::atv();
    const auto tv = fixtures::tv();
    const std::vector<Device> devices = {ipad, atv, tv};

    const auto sidecarOnly = resolveAttachments(devices, {builtIn(), sidecarScreen()}, {});
    t.equal("sidecar screen goes to the iPad", screenOf(sidecarOnly, ipad.id),
            std::optional<DisplayID>(23));
    t.equal("and to its screen", sidecarOnly, Attachments{{ipad.id, 23}});

    const auto both =
        resolveAttachments(devices, {builtIn(), sidecarScreen(), screen(7, "Гостиная", false)}, {});
    t.check("iPad and Apple TV are both connected", both.contains(ipad.id) && both.contains(atv.id),
            [&] { return describe(both); });
    t.equal("iPad keeps its own screen", screenOf(both, ipad.id), std::optional<DisplayID>(23));
    t.equal("Apple TV keeps its own screen", screenOf(both, atv.id), std::optional<DisplayID>(7));
    t.check("no screen is handed to two devices", screenOf(both, ipad.id) != screenOf(both, atv.id),
            [&] { return describe(both); });

    const std::vector<AttachedDisplay> dell = {builtIn(), screen(9, "DELL U2720Q", false)};
    t.equal("an unclaimable screen lights nobody", resolveAttachments(devices, dell, {}),
            Attachments{});
    t.equal("the device just acted on claims it", resolveAttachments(devices, dell, {atv.id}),
            Attachments{{atv.id, 9}});

    t.equal("a lone device claims a lone screen",
            resolveAttachments({tv}, {builtIn(), screen(9, "SAMSUNG", false)}, {}),
            Attachments{{tv.id, 9}});

    const Device shortName{"TV", "TV", DeviceKind::tv, {"TV"}, ""};
    const Device longName{"Living Room TV", "Living Room TV", DeviceKind::tv, {"TV"}, ""};
    const auto names = resolveAttachments(
        {shortName, longName},
        {builtIn(), screen(4, "Living Room TV", false), screen(5, "TV", false)}, {});
    t.equal("exact name beats substring", screenOf(names, longName.id),
            std::optional<DisplayID>(4));
    t.equal("and the other keeps its own", screenOf(names, shortName.id),
            std::optional<DisplayID>(5));

    t.equal("no screens at all means nothing connected",
            resolveAttachments(devices, {builtIn()}, {atv.id}), Attachments{});
}

}  // namespace kd::groups
