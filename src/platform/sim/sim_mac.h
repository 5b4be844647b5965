#pragma once

// The simulated Mac: every simulated service of one scenario, owned together.
// Tests and start-up reach the simulator controls through the concrete types.

#include "platform/sim/scenario.h"
#include "platform/sim/sim_appearance.h"
#include "platform/sim/sim_control_centre.h"
#include "platform/sim/sim_dns_sd.h"
#include "platform/sim/sim_frameworks.h"
#include "platform/sim/sim_power_manager.h"
#include "platform/sim/sim_read_only_preferences.h"
#include "platform/sim/sim_screen_capture.h"
#include "platform/sim/sim_screen_capture_permission.h"
#include "platform/sim/sim_sound_player.h"
#include "platform/sim/sim_system_tools.h"
#include "platform/sim/sim_type_database.h"
#include "platform/sim/sim_url_opener.h"
#include "platform/sim/sim_user_notifications.h"
#include "platform/sim/sim_virtual_displays.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/sim_workspace.h"

namespace kd {

class SimMac {
  public:
    SimMac(Scenario scenario, Scheduler& scheduler);

    const Scenario& scenario() const { return scenario_; }
    SimWindowServer& windowServer() { return windowServer_; }
    SimVirtualDisplays& virtualDisplays() { return virtualDisplays_; }
    SimFrameworkLoader& frameworks() { return frameworks_; }
    SimSidecar& sidecar() { return *sidecar_; }
    SimAccessibility& accessibility() { return accessibility_; }
    SimControlCentre& controlCentre() { return controlCentre_; }
    SimTypeDatabase& typeDatabase() { return typeDatabase_; }
    const SimReadOnlyPreferences& sidecarSettings() const { return sidecarSettings_; }
    SimSystemTools& tools() { return tools_; }
    // The local network's AirPlay receivers, as the scenario announces them.
    SimDnsSd& network() { return network_; }
    SimPowerManager& powerManager() { return powerManager_; }
    SimWorkspace& workspace() { return workspace_; }
    SimSoundPlayer& soundPlayer() { return soundPlayer_; }
    SimAppearance& appearance() { return appearance_; }
    SimScreenCapture& screenCapture() { return screenCapture_; }
    SimScreenCapturePermission& screenCapturePermission() { return screenCapturePermission_; }
    // The addresses the application asked the system to open.
    SimUrlOpener& urlOpener() { return urlOpener_; }
    SimUserNotifications& userNotifications() { return userNotifications_; }

  private:
    Scenario scenario_;
    SimWindowServer windowServer_;
    SimVirtualDisplays virtualDisplays_;
    // Shared with the SidecarCore handle, which the process keeps; it must
    // not outlive this Mac.
    std::shared_ptr<SimSidecar> sidecar_;
    SimFrameworkLoader frameworks_;
    SimAccessibility accessibility_;
    SimControlCentre controlCentre_;
    SimTypeDatabase typeDatabase_;
    SimReadOnlyPreferences sidecarSettings_;
    SimSystemTools tools_;
    SimDnsSd network_;
    SimPowerManager powerManager_;  // answers some of the tools
    SimWorkspace workspace_;
    SimSoundPlayer soundPlayer_;
    SimAppearance appearance_;
    SimScreenCapture screenCapture_;
    SimScreenCapturePermission screenCapturePermission_;
    SimUrlOpener urlOpener_;
    SimUserNotifications userNotifications_;
};

}  // namespace kd
