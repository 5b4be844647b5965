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

Device ipad() {
    return Device{"sidecar", "Test iPad", DeviceKind::ipad, {"Sidecar:"}, ""};
}
Device atv() {
    return Device{"Гостиная", "Гостиная", DeviceKind::appletv, {"ATV"}, "AppleTV14,1"};
}
Device tv() {
    return Device{"85\" Crystal UHD", "85\" Crystal UHD", DeviceKind::tv, {"TV"}, ""};
}
Device named(const std::string& name, DeviceKind kind = DeviceKind::tv) {
    return Device{name, name, kind, {}, ""};
}

AttachedDisplay screen(DisplayID id, const std::string& name, bool builtIn = false) {
    return AttachedDisplay{id, name, builtIn, 1920, 1080};
}

const AttachedDisplay kPanel = screen(1, "Built-in Retina Display", true);
const AttachedDisplay kSidecar = screen(23, "Sidecar Display (AirPlay)");

struct AttachmentCase {
    const char* what;
    std::vector<Device> devices;
    std::vector<AttachedDisplay> screens;
    std::vector<std::string> recent;
    Attachments want;
};

TEST(ResolveAttachmentsTest, EvidenceIsSettledStrongestFirst) {
    const auto ipad = kd::ipad();
    const auto atv = kd::atv();
    const auto tv = kd::tv();
    const std::vector<Device> all = {ipad, atv, tv};
    const AttachmentCase cases[] = {
        {"the Sidecar screen goes to the iPad and only to it",
         all,
         {kPanel, kSidecar},
         {},
         {{"sidecar", 23}}},
        {"each device keeps its own screen",
         all,
         {kPanel, kSidecar, screen(7, "Гостиная")},
         {},
         {{"sidecar", 23}, {"Гостиная", 7}}},
        {"names match across case in any script",
         all,
         {kPanel, screen(7, "ГОСТИНАЯ")},
         {},
         {{"Гостиная", 7}}},
        {"an unclaimable screen lights nobody", all, {kPanel, screen(9, "DELL U2720Q")}, {}, {}},
        {"the device just acted on claims the leftover",
         all,
         {kPanel, screen(9, "DELL U2720Q")},
         {"Гостиная"},
         {{"Гостиная", 9}}},
        {"an unknown recent id claims nothing",
         all,
         {kPanel, screen(9, "DELL U2720Q")},
         {"Kitchen"},
         {}},
        {"the earliest recent device wins the leftover",
         all,
         {kPanel, screen(9, "DELL U2720Q")},
         {"Kitchen", tv.id, atv.id},
         {{tv.id, 9}}},
        {"only the first occurrence in recent counts",
         all,
         {kPanel, screen(9, "DELL U2720Q")},
         {tv.id, atv.id, tv.id},
         {{tv.id, 9}}},
        {"a lone device claims a lone screen",
         {tv},
         {kPanel, screen(9, "SAMSUNG")},
         {},
         {{tv.id, 9}}},
        {"two leftover screens are not guessed at",
         {tv},
         {kPanel, screen(8, "SAMSUNG"), screen(9, "LG")},
         {tv.id},
         {}},
        {"exact names are settled before substrings",
         {named("TV"), named("Living Room TV")},
         {kPanel, screen(4, "Living Room TV"), screen(5, "TV")},
         {},
         {{"Living Room TV", 4}, {"TV", 5}}},
        {"a screen name inside the device name is a match",
         {named("Kitchen Apple TV")},
         {kPanel, screen(6, "Kitchen"), screen(7, "Office")},
         {},
         {{"Kitchen Apple TV", 6}}},
        {"the device name inside the screen name is a match",
         {atv},
         {kPanel, screen(6, "Office"), screen(7, "Гостиная (AirPlay)")},
         {},
         {{"Гостиная", 7}}},
        {"a nameless device matches no name, only the leftover",
         {named(""), atv},
         {kPanel, screen(6, "Office"), screen(7, "Гостиная")},
         {},
         {{"", 6}, {"Гостиная", 7}}},
        {"an iPad not called sidecar still takes the Sidecar screen",
         {named("Kitchen iPad", DeviceKind::ipad), atv},
         {kPanel, kSidecar},
         {},
         {{"Kitchen iPad", 23}}},
        {"a non-iPad never takes the Sidecar screen by that name",
         {atv, named("TV")},
         {kPanel, kSidecar, screen(5, "Office")},
         {},
         {}},
        {"the built-in panel is nobody's", all, {kPanel}, {"sidecar"}, {}},
        {"nothing at all", all, {}, {"sidecar"}, {}},
        {"no devices", {}, {kPanel, kSidecar}, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolveAttachments(c.devices, c.screens, c.recent), c.want) << c.what;
    }
}

TEST(ResolveAttachmentsTest, NoScreenIsHandedOutTwiceAndNoDeviceGetsTwo) {
    EXPECT_EQ(resolveAttachments({ipad(), named("Studio iPad", DeviceKind::ipad)},
                                 {kPanel, kSidecar}, {}),
              (Attachments{{"sidecar", 23}}))
        << "two iPads, one Sidecar screen";
    EXPECT_EQ(resolveAttachments({atv(), atv()},
                                 {kPanel, screen(7, "Гостиная"), screen(8, "Гостиная")}, {}),
              (Attachments{{"Гостиная", 7}}))
        << "a device listed twice still keeps its first screen";
}

struct ConnectionCase {
    const char* what;
    std::vector<AttachedDisplay> screens;
    std::set<DisplayID> mirroringIDs;
    int hiddenExternals;
    std::set<std::string> believedConnected;
    std::optional<std::string> busyKey;
    std::vector<std::string> recent;
    ConnectionState want;
};

TEST(ResolveConnectionsTest, MirrorsVisibleAndHiddenReachTheRightDevices) {
    const std::vector<Device> devices = {ipad(), atv(), tv()};
    const std::string atv = "Гостиная";
    const std::string tv = kd::tv().id;
    const auto room = screen(7, "Гостиная");
    const ConnectionCase cases[] = {
        {"a mirroring screen is still connected, and mirroring",
         {kPanel, room},
         {7},
         0,
         {},
         {},
         {},
         {{atv}, {atv}, {{atv, 7}}}},
        {"only the mirroring one of two is mirroring",
         {kPanel, kSidecar, room},
         {7},
         0,
         {},
         {},
         {},
         {{"sidecar", atv}, {atv}, {{"sidecar", 23}, {atv, 7}}}},
        {"a hidden mirror stays with a believed device, without a screen",
         {kPanel},
         {},
         1,
         {atv},
         {},
         {atv},
         {{atv}, {atv}, {}}},
        {"a hidden mirror reaches the device being connected",
         {kPanel},
         {},
         1,
         {},
         tv,
         {atv, tv},
         {{tv}, {tv}, {}}},
        {"a hidden screen nobody believes in lights nobody", {kPanel}, {}, 1, {}, {}, {atv}, {}},
        {"a believed device must also be recent", {kPanel}, {}, 1, {atv}, {}, {}, {}},
        {"a device with no screen goes dark", {kPanel}, {}, 0, {atv}, {}, {atv}, {}},
        {"a negative count hands out nothing", {kPanel}, {}, -1, {atv}, {}, {atv}, {}},
        {"two hidden mirrors reach two devices",
         {kPanel},
         {},
         2,
         {atv, tv},
         {},
         {tv, atv},
         {{atv, tv}, {atv, tv}, {}}},
        {"one hidden mirror reaches only the most recent",
         {kPanel},
         {},
         1,
         {atv, tv},
         {},
         {tv, atv},
         {{tv}, {tv}, {}}},
        {"a device off the network is dropped and uses up nothing",
         {kPanel},
         {},
         1,
         {"Kitchen", atv},
         {},
         {"Kitchen", atv},
         {{atv}, {atv}, {}}},
        {"a device with a screen does not also take a hidden one",
         {kPanel, kSidecar},
         {},
         1,
         {"sidecar", atv},
         {},
         {"sidecar", atv},
         {{"sidecar", atv}, {atv}, {{"sidecar", 23}}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolveConnections(devices, c.screens, c.mirroringIDs, c.hiddenExternals,
                                     c.believedConnected, c.busyKey, c.recent),
                  c.want)
            << c.what;
    }
}

}  // namespace
}  // namespace kd
