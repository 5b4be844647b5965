#pragma once

// The one controller behind the main window: the devices found, which of
// them are connected, mirrored or busy, where their screens sit, the status
// line and the preflight warnings; and the flows that connect, move, mirror
// and disconnect a device, and bring a dropped iPad back.
//
// Contract:
// - Main thread only: every member is called there, every published field
//   changes there, and subscribers are told there.
// - Slow work (scripts, waiting for a screen, display configuration) runs on
//   background queues through the Scheduler and reads only ports and copies;
//   its results come back on the main queue, where a task of a controller
//   that is gone does nothing.
// - One flow runs at a time: a flow starts only while `busy` is false, and
//   every path of a flow ends by releasing it. The windows read every
//   published field and set only the user's three settings (`soundID`,
//   `theme`, `autoReconnect`), which are stored on every change.
// - The ports must outlive the controller.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "display/screen_tile.h"
#include "display/side.h"
#include "display/virtual_display_identity.h"
#include "dock/sounds.h"
#include "dock/theme.h"
#include "model/device.h"
#include "model/host_info.h"
#include "model/process_values.h"
#include "model/published.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "transport/airplay_mode.h"
#include "transport/airplay_scanner.h"
#include "transport/applescript_run.h"

namespace kd {

// An operation busy for longer than this never answered.
inline constexpr std::chrono::seconds kBusyCeiling{75};
// How often the controller looks at the screens by itself.
inline constexpr std::chrono::seconds kTickInterval{3};
// The auto-reconnect window, from the first tick that misses the iPad, and
// the attempts after which the watch pauses.
inline constexpr std::chrono::seconds kReconnectWindow{60};
inline constexpr int kReconnectPauseAttempts = 8;

inline constexpr const char* kAutoReconnectKey = "autoReconnect";

// The status line when the Screen Mirroring menu cannot be driven.
inline constexpr const char* kAllowAccessibilityText =
    "Allow Accessibility for Kelvane Display in System Settings \u2192 Privacy, then try again";

class DockState {
  public:
    struct Ports {
        Platform& platform;
        ProcessValues& values;
        const VirtualDisplayIdentity& virtualDisplay;
        // Runs the generated Screen Mirroring and mode-panel scripts; blocks.
        AppleScriptRun runScript;
    };

    // The application's controller: besides the fields, it starts the
    // scanner, reconciles 1.5 s later, reads this Mac's details in the
    // background, ticks every kTickInterval and follows sleep, wake and
    // display changes. It becomes `current()`.
    static std::unique_ptr<DockState> start(Ports ports);
    // Every field as `start` sets it, with nothing scheduled, started or
    // observed.
    explicit DockState(Ports ports);
    ~DockState();
    DockState(const DockState&) = delete;
    DockState& operator=(const DockState&) = delete;

    // The controller made by `start` while it lives; null otherwise.
    static DockState* current();

    Published<std::set<std::string>> connectedKeys;
    Published<std::set<std::string>> mirroredKeys;
    Published<bool> needsDisplaySettings{false};
    Published<std::vector<ScreenTile>> tiles;
    Published<std::map<std::string, Side>> occupied;
    // Setting it stamps `busySince` when it becomes true and clears it when
    // it becomes false.
    Published<bool> busy{false};
    std::optional<Scheduler::TimePoint> busySince;
    Published<std::optional<std::string>> busyKey;
    Published<std::string> status;
    Published<std::string> soundID;
    Published<ThemeChoice> theme;
    Published<HostInfo> mac;
    Published<bool> autoReconnect;
    Published<std::vector<std::string>> warnings;
    AirPlayScanner scanner;
    std::vector<std::string> recentKeys;  // most recent first, no duplicates
    std::optional<std::string> statusKey;
    std::optional<Device> lastDevice;  // the device the reconnect watch follows
    int reconnectAttempts = 0;
    std::optional<Scheduler::TimePoint> reconnectingUntil;

    // The only way the status line changes. An empty text also forgets the
    // device and the offer.
    void say(const std::string& text, const Device* about = nullptr,
             bool offerDisplaySettings = false);
    void remember(const std::string& key);
    void rescan();
    void reconcile();
    // True when some listed device goes through the Screen Mirroring menu.
    bool needsAccessibility() const;
    void reapplySettings();
    std::optional<std::string> occupantName(Side side, const std::string& excluding) const;
    void place(const std::string& key, Side side);

    void connect(const Device& device, Side side);
    void mirror(const Device& device);
    void disconnect(const Device& device);
    void releaseStuckBusy();
    void report(const Device& device, bool airPlay);
    void watchdogTick();
    // What the repeating timer does.
    void tick();

  private:
    // What work off the main thread may read: ports and copies, never the
    // controller's fields.
    struct Work {
        DisplayServices& displays;
        const VirtualDisplayIdentity& virtualDisplay;
        DeviceSnapshot& snapshot;
        Preferences& defaults;
        std::shared_ptr<SkyLightFramework> skyLight;
        AppleScriptRun runScript;
        Scheduler& scheduler;
    };
    using MainTask = std::function<void(DockState&)>;

    void observeSettings();
    void scheduleTick();
    void powerChanged(PowerEvent event);
    void displayReconfigured(ReconfigurationFlags flags);

    // Runs `task` on the main queue after `delay`, if this controller still
    // lives then.
    TimerHandle onMainAfter(Scheduler::Duration delay, MainTask task) const;

    // A busy period: begun by a flow, ended by its completion or by the
    // stuck release. A completion acts only on its own period.
    std::uint64_t beginBusy(const Device& device);
    bool holdsBusy(std::uint64_t period) const;
    // For a completion of `period`: true when it is still the current one;
    // otherwise the completion is stale, and all it may do is reconcile.
    bool endsOwnPeriod(std::uint64_t period);
    // Runs `task` on the main queue if the controller behind `weak` still
    // lives then; callable from any thread.
    static void onMainOf(Scheduler& scheduler, std::weak_ptr<DockState*> weak, MainTask task);
    void releaseBusy();

    void moveScreen(const Device& device, Side side);
    void connectSidecar(const Device& device, Side side);
    void connectThroughMenu(const Device& device, Side side);
    void connectFinished(std::uint64_t period, const Device& device, bool airPlay, bool playSound);
    // The Screen Mirroring menu needs the Accessibility permission; without
    // it the user is told, and nothing else happens.
    bool menuAllowed();
    // The start of every connect through the menu: the TV connect policy for
    // `mode`, the script, the mode panel, and waiting for a screen. Then
    // `afterScreen` runs on a background queue, whether a screen came or not.
    void runMenuConnect(std::uint64_t period, const Device& device, AirPlayMode mode,
                        std::function<void(const Work&)> afterScreen);
    void mirrorThroughMenu(const Device& device);
    void disconnectThroughMenu(const Device& device);
    void disconnected(std::uint64_t period, const Device& device,
                      const std::optional<std::string>& failure);
    void reconnected(const Device& device, const std::optional<std::string>& failure);
    bool stillWatching(const Device& device) const;
    const Device* listedDevice(const std::string& key) const;

    Ports ports_;
    SoundContext sounds_;
    Work work_;
    std::uint64_t busyPeriod_ = 0;
    // The auto-reconnect attempt in flight, if any: one at a time.
    bool reconnecting_ = false;
    Published<bool>::Subscription busyStamp_;
    Published<bool>::Subscription autoReconnectSubscription_;
    Published<std::string>::Subscription soundSubscription_;
    Published<ThemeChoice>::Subscription themeSubscription_;
    TimerHandle tickTimer_;
    std::unique_ptr<WorkspaceObservation> powerObservation_;
    std::unique_ptr<ReconfigurationToken> reconfiguration_;
    // Scheduled tasks hold it weakly: they run only while the controller lives.
    std::shared_ptr<DockState*> self_ = std::make_shared<DockState*>(this);
};

}  // namespace kd
