// The self-test's attachment and mirroring groups run the basic cases; these
// are the rules' corners beyond them.

#include "display/resolution.h"

#include <gtest/gtest.h>

namespace kd {

// Found by the test framework through the type's namespace; file-local.
static void PrintTo(const ConnectionState& state, std::ostream* out) {
    *out << "connected " << ::testing::PrintToString(state.connected) << ", mirroring "
         << ::testing::PrintToString(state.mirroring) << ", screens "
         << ::testing::PrintToString(state.screens);
}

namespace {

Device named(const std::string& name, DeviceKind kind = DeviceKind::tv) {
    return Device{name, name, kind, {}, ""};
}

AttachedDisplay screen(DisplayID id, const std::string& name, bool builtIn = false) {
    return AttachedDisplay{id, name, builtIn, 1920, 1080};
}

const AttachedDisplay kPanel = screen(1, "Built-in Retina Display", true);
const AttachedDisplay kSidecar = screen(23, "Sidecar Display (AirPlay)");
const AttachedDisplay kDell = screen(9, "DELL U2720Q");
const std::string kRoom = "Гостиная";

TEST(ResolveAttachmentsTest, EvidenceIsSettledStrongestFirst) {
    const auto ipad = named("sidecar", DeviceKind::ipad);
    const auto atv = named(kRoom, DeviceKind::appletv);
    const auto tv = named("85\" Crystal UHD");
    const std::vector<Device> all = {ipad, atv, tv};
    struct Case {
        const char* what;
        std::vector<Device> devices;
        std::vector<AttachedDisplay> screens;
        std::vector<std::string> recent;
        Attachments want;
    };
    const Case cases[] = {
        {"names match across case in any script",
         all,
         {kPanel, screen(7, "ГОСТИНАЯ")},
         {},
         {{kRoom, 7}}},
        {"an id in recent that is no device claims nothing", all, {kPanel, kDell}, {"Kitchen"}, {}},
        {"the earliest recent device wins the leftover",
         all,
         {kPanel, kDell},
         {"Kitchen", tv.id, atv.id},
         {{tv.id, 9}}},
        {"two leftover screens are not guessed at",
         {tv},
         {kPanel, screen(8, "SAMSUNG"), screen(9, "LG")},
         {tv.id},
         {}},
        {"a screen name inside the device name is a match",
         {named("Kitchen Apple TV")},
         {kPanel, screen(6, "Kitchen"), screen(7, "Office")},
         {},
         {{"Kitchen Apple TV", 6}}},
        {"the device name inside the screen name is a match",
         {atv},
         {kPanel, screen(6, "Office"), screen(7, "Гостиная (AirPlay)")},
         {},
         {{kRoom, 7}}},
        {"a nameless device matches no name, only the leftover",
         {named(""), atv},
         {kPanel, screen(6, "Office"), screen(7, kRoom)},
         {},
         {{"", 6}, {kRoom, 7}}},
        {"an iPad by any id takes the Sidecar screen",
         {named("Kitchen iPad", DeviceKind::ipad)},
         {kPanel, kSidecar},
         {},
         {{"Kitchen iPad", 23}}},
        {"only an iPad takes a screen for being Sidecar's",
         {atv, named("TV")},
         {kPanel, kSidecar, screen(5, "Office")},
         {},
         {}},
        {"two iPads, one Sidecar screen",
         {ipad, named("Studio iPad", DeviceKind::ipad)},
         {kPanel, kSidecar},
         {},
         {{"sidecar", 23}}},
        {"a device listed twice keeps its first screen",
         {atv, atv},
         {kPanel, screen(7, kRoom), screen(8, kRoom)},
         {},
         {{kRoom, 7}}},
        {"no devices", {}, {kPanel, kSidecar}, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolveAttachments(c.devices, c.screens, c.recent), c.want) << c.what;
    }
}

TEST(ResolveConnectionsTest, HiddenMirrorsGoOnlyToDevicesWithReasonToHaveThem) {
    const std::string tv = "85\" Crystal UHD";
    const std::vector<Device> devices = {named("sidecar", DeviceKind::ipad),
                                         named(kRoom, DeviceKind::appletv), named(tv)};
    struct Case {
        const char* what;
        std::vector<AttachedDisplay> screens;
        int hiddenExternals;
        std::set<std::string> believedConnected;
        std::optional<std::string> busyKey;
        std::vector<std::string> recent;
        ConnectionState want;
    };
    const Case cases[] = {
        {"the device being connected", {kPanel}, 1, {}, tv, {kRoom, tv}, {{tv}, {tv}, {}}},
        {"a believed device must also be recent", {kPanel}, 1, {kRoom}, {}, {}, {}},
        {"a negative count hands out nothing", {kPanel}, -1, {kRoom}, {}, {kRoom}, {}},
        {"a device with a screen does not take a hidden one too",
         {kPanel, kSidecar},
         1,
         {"sidecar", kRoom},
         {},
         {"sidecar", kRoom},
         {{"sidecar", kRoom}, {kRoom}, {{"sidecar", 23}}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolveConnections(devices, c.screens, {}, c.hiddenExternals, c.believedConnected,
                                     c.busyKey, c.recent),
                  c.want)
            << c.what;
    }
}

}  // namespace
}  // namespace kd
