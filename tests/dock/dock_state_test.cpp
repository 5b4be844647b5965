#include <gtest/gtest.h>

#include <chrono>

#include "dock_harness.h"
#include "model/device_snapshot.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

TEST(DockState, TheUsersSettingsAreReadLeniently) {
    struct Row {
        std::optional<PrefValue> sound, theme, autoReconnect;
        std::string wantSound;
        ThemeChoice wantTheme;
        bool wantAutoReconnect;
    };
    const std::vector<Row> rows = {
        {std::nullopt, std::nullopt, std::nullopt, "waterbubble", ThemeChoice::automatic, true},
        {PrefValue("gone"), PrefValue("Dark"), PrefValue("no"), "gone", ThemeChoice::automatic,
         true},
        {PrefValue("pop"), PrefValue("light"), PrefValue(false), "pop", ThemeChoice::light, false},
    };
    for (const auto& row : rows) {
        DockHarness h;
        if (row.sound) h.defaults.set(kConnectSoundKey, *row.sound);
        if (row.theme) h.defaults.set(kThemeKey, *row.theme);
        if (row.autoReconnect) h.defaults.set(kAutoReconnectKey, *row.autoReconnect);
        const DockState state(h.ports());
        EXPECT_EQ(state.soundID.get(), row.wantSound);
        EXPECT_EQ(state.theme.get(), row.wantTheme);
        EXPECT_EQ(state.autoReconnect.get(), row.wantAutoReconnect);
        EXPECT_EQ(h.scheduler.pendingCount(), 0U) << "the bare controller schedules nothing";
    }
}

TEST(DockState, ChangedSettingsAreStoredAndTheThemeApplied) {
    DockHarness h;
    DockState state(h.ports());
    state.theme.set(ThemeChoice::dark);
    EXPECT_EQ(h.defaults.text(kThemeKey), "dark");
    EXPECT_EQ(h.mac.appearance().forced(), AppearanceName::dark);
    state.theme.set(ThemeChoice::automatic);
    EXPECT_EQ(h.defaults.text(kThemeKey), "auto");
    EXPECT_EQ(h.mac.appearance().forced(), std::nullopt);
    state.soundID.set("none");
    state.autoReconnect.set(false);
    EXPECT_EQ(h.defaults.text(kConnectSoundKey), "none");
    EXPECT_EQ(h.defaults.boolValue(kAutoReconnectKey), false);
}

TEST(DockState, RememberingMovesAKeyToTheFrontAndPublishesIt) {
    DockHarness h;
    auto& state = h.start();
    state.remember("a");
    state.remember("b");
    state.remember("a");
    EXPECT_EQ(state.recentKeys, (std::vector<std::string>{"a", "b"}));
    const auto snapshot = deviceSnapshot(h.values->deviceSnapshot);
    EXPECT_EQ(snapshot.recent, state.recentKeys);
    EXPECT_EQ(snapshot.devs, state.scanner.devices.get());
    EXPECT_TRUE(state.needsAccessibility()) << "the Apple TV goes through the menu";
}

TEST(DockState, TheTickLeavesABusyControllerAlone) {
    DockHarness h;
    auto& state = h.start();
    h.mac.sidecar().connectFromMenu(h.mac.scenario().sidecarDevices[0].identifier);
    state.busy.set(true);
    h.advance(10s);
    EXPECT_TRUE(state.connectedKeys.get().empty());
    state.busy.set(false);
    h.advance(3s);
    EXPECT_TRUE(state.connectedKeys.get().contains("sidecar"));
    ASSERT_EQ(state.tiles.get().size(), 2U);
    EXPECT_EQ(state.tiles.get()[0].name, "MacBook Pro 14\u2033") << "the Mac's short label";
}

}  // namespace
}  // namespace kd
