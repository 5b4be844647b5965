#pragma once

// The settings popover's view models over the real controllers on a
// simulated Mac, on virtual time: the dock controller after its first scan,
// the contact card and the updater over the same defaults. Checks reach
// only a closed port on this machine, so they fail at once, as an
// unreachable server would.

#include <chrono>
#include <memory>

#include "../../dock/dock_harness.h"
#include "support/account_model.h"
#include "ui/settings/account_view_model.h"
#include "ui/settings/settings_view_model.h"
#include "ui/settings/updates_view_model.h"
#include "update/software_updater.h"
#include "update/update_feed.h"

namespace kd {

// 7 December 2026, 15:00 UTC.
inline constexpr WallTime kSettingsTestNow{std::chrono::seconds(1796655600)};

class SettingsFixture {
  public:
    explicit SettingsFixture(Scenario scenario = defaultScenario())
        : dock(std::move(scenario)), state(dock.start()) {
        dock.defaults.set(UpdateFeed::urlDefaultsKey,
                          std::string("http://127.0.0.1:1/v1/appcast.xml"));
        account = std::make_unique<AccountModel>(dock.defaults, "en_US");
        updater = std::make_unique<SoftwareUpdater>(dock.platform, "1.0.0",
                                                    [] { return kSettingsTestNow; });
        settings = std::make_unique<SettingsViewModel>(state, dock.platform, dock.virtualDisplay,
                                                       QStringLiteral("1.0.0"));
        updates = std::make_unique<UpdatesViewModel>(*updater);
        accountView = std::make_unique<AccountViewModel>(*account);
    }

    void advance(std::chrono::milliseconds by) { dock.advance(by); }

    DockHarness dock;
    DockState& state;
    std::unique_ptr<AccountModel> account;
    std::unique_ptr<SoftwareUpdater> updater;
    std::unique_ptr<SettingsViewModel> settings;
    std::unique_ptr<UpdatesViewModel> updates;
    std::unique_ptr<AccountViewModel> accountView;
};

}  // namespace kd
