#pragma once

// The simulated Mac's services as one Platform bundle, with the few real
// pieces of this machine that tests have no reason to fake.

#include <optional>
#include <string>

#include "platform/in_process_notification_center.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/getrandom_source.h"
#include "platform/linux/ifaddrs_interfaces.h"
#include "platform/platform.h"
#include "platform/sim/sim_mac.h"

namespace kd::testing {

struct MachinePorts {
    CurlHttpClient http;
    IfaddrsInterfaces interfaces;
    GetrandomSource random;
    // Real, but bound to the test's scheduler, so made by simPlatform.
    std::optional<InProcessNotificationCenter> notificationCenter;
};

// `http` replaces the machine's own client, for a test that watches requests.
inline Platform simPlatform(Scheduler& scheduler, SimMac& mac, Preferences& defaults,
                            MachinePorts& machine, std::string soundsFolder,
                            HttpClient* http = nullptr) {
    if (!machine.notificationCenter) machine.notificationCenter.emplace(scheduler);
    return Platform{scheduler,
                    mac.windowServer(),
                    mac.virtualDisplays(),
                    mac.frameworks(),
                    mac.accessibility(),
                    mac.typeDatabase(),
                    defaults,
                    mac.sidecarSettings(),
                    mac.tools(),
                    mac.network(),
                    http != nullptr ? *http : machine.http,
                    mac.workspace(),
                    mac.soundPlayer(),
                    mac.appearance(),
                    mac.screenCapture(),
                    mac.screenCapturePermission(),
                    machine.interfaces,
                    machine.random,
                    mac.urlOpener(),
                    mac.userNotifications(),
                    *machine.notificationCenter,
                    std::move(soundsFolder)};
}

}  // namespace kd::testing
