#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <filesystem>

#include "main/xvfb_pixel_source.h"
#include "platform/linux/xvfb_screen.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

// The root window's size as an X client sees it; nothing when none can connect.
std::optional<std::pair<int, int>> rootSize(const std::string& displayName) {
    xcb_connection_t* connection = xcb_connect(displayName.c_str(), nullptr);
    std::optional<std::pair<int, int>> size;
    if (xcb_connection_has_error(connection) == 0) {
        const auto* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        size = std::pair(int(screen->width_in_pixels), int(screen->height_in_pixels));
    }
    xcb_disconnect(connection);
    return size;
}

TEST(XvfbPixelSourceTest, AVirtualDisplayIsAnXScreenOfItsPixelsWhileItIsOnline) {
    if (XvfbScreen::program().empty()) GTEST_SKIP() << "Xvfb is not installed";
    VirtualScheduler scheduler;
    SimMac mac(defaultScenario(), scheduler);
    std::vector<std::string> failures;
    mac.virtualDisplays().usePixelSource(std::make_shared<XvfbPixelSource>(
        [&failures](const std::string& failure) { failures.push_back(failure); }));

    VirtualDisplayDescriptor descriptor;
    descriptor.maxPixelsWide = 800;
    descriptor.maxPixelsHigh = 600;
    auto display = mac.virtualDisplays().create(descriptor);
    ASSERT_TRUE(display->applySettings({true, {{400, 300, 60}}}));
    const auto name = mac.virtualDisplays().xDisplayName(display->displayID());
    ASSERT_TRUE(name.has_value()) << (failures.empty() ? "" : failures.front());
    EXPECT_EQ(rootSize(*name), std::pair(800, 600)) << "Retina: twice the points";

    display.reset();
    EXPECT_FALSE(std::filesystem::exists("/tmp/.X11-unix/X" + name->substr(1)));
    EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace kd
