#include "support/support_diagnostics.h"

#include <gtest/gtest.h>

#include <chrono>

#include "dock/dock_harness.h"
#include "virtual/virtual_display_host.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

TEST(SupportDiagnosticsText, CountsScreensListsDevicesOnlyWhenThereAreAny) {
    SupportDiagnostics one{"1.4", "macOS 14.5.0", "MacBook Pro 14\u2033 \u00B7 M3 Pro", 1,
                           {},    "off"};
    EXPECT_EQ(one.text(),
              "Kelvane Display 1.4 \u00B7 macOS 14.5.0\nMacBook Pro 14\u2033 \u00B7 M3 Pro\n"
              "1 screen \u00B7 virtual display: off");

    SupportDiagnostics none = one;
    none.screens = 0;
    EXPECT_TRUE(none.text().ends_with("\n0 screens \u00B7 virtual display: off"));

    SupportDiagnostics found = one;
    found.screens = 2;
    found.devices = {"iPad", "Apple TV AppleTV14,1"};
    EXPECT_TRUE(found.text().ends_with(
        "\n2 screens \u00B7 virtual display: off\nfound: iPad, Apple TV AppleTV14,1"));
}

TEST(SupportDiagnosticsText, ADeviceWithoutModelIsNamedByItsKindAlone) {
    EXPECT_EQ(supportDeviceEntry(Device("sidecar", "Test iPad", DeviceKind::ipad, {}, "")), "iPad");
    EXPECT_EQ(supportDeviceEntry(Device("tv", "Den", DeviceKind::tv, {}, "UN85TU8000")),
              "TV UN85TU8000");
}

TEST(SupportDiagnosticsText, PayloadCarriesOnlyVersionSystemAndScreens) {
    const SupportDiagnostics unknown{"?", "macOS 13.0.0", "Mac", 3, {"TV"}, "on"};
    EXPECT_TRUE(unknown.text().starts_with("Kelvane Display ? \u00B7 macOS 13.0.0\n"));
    const auto payload = unknown.payload();
    EXPECT_EQ(payload.appVersion, "Display ?");
    EXPECT_EQ(payload.os, "macOS 13.0.0");
    EXPECT_EQ(payload.screens, 3);
}

TEST(SupportDiagnosticsCurrent, ReadsTheControllersAsTheyAreNow) {
    DockHarness h;
    DockState& state = h.start();
    VirtualDisplayHost host(h.platform, [] { return 41u; });

    auto gathered = SupportDiagnostics::current(state, &host, h.platform.displays, std::nullopt,
                                                "macOS 14.5.0");
    EXPECT_EQ(gathered.appVersion, "?");
    EXPECT_EQ(gathered.mac, state.mac.get().label);
    EXPECT_EQ(gathered.screens, 1);
    EXPECT_EQ(gathered.devices,
              (std::vector<std::string>{"iPad iPad16,6", "Apple TV AppleTV14,1"}));
    EXPECT_EQ(gathered.virtualDisplay, "off");

    host.start();
    h.advance(2s);
    gathered =
        SupportDiagnostics::current(state, &host, h.platform.displays, "1.4", "macOS 14.5.0");
    EXPECT_EQ(gathered.virtualDisplay, host.actual.get());
    EXPECT_EQ(gathered.screens, 2);
    host.actual.set("");
    EXPECT_EQ(SupportDiagnostics::current(state, &host, h.platform.displays, "1.4", "macOS 14.5.0")
                  .virtualDisplay,
              "on");
    EXPECT_EQ(
        SupportDiagnostics::current(state, nullptr, h.platform.displays, "1.4", "x").virtualDisplay,
        "off");
}

}  // namespace
}  // namespace kd
