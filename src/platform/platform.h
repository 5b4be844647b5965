#pragma once

// The bundle of ports chosen once at start-up and handed down. Framework
// handles are null when the framework could not be opened.

#include <memory>
#include <string>

#include "platform/accessibility.h"
#include "platform/appearance.h"
#include "platform/core_display.h"
#include "platform/display_services.h"
#include "platform/dns_sd.h"
#include "platform/http_client.h"
#include "platform/network_interfaces.h"
#include "platform/notification_center.h"
#include "platform/preferences.h"
#include "platform/scheduler.h"
#include "platform/screen_capture.h"
#include "platform/screen_capture_permission.h"
#include "platform/secure_random.h"
#include "platform/sidecar_core.h"
#include "platform/sky_light.h"
#include "platform/sound_player.h"
#include "platform/system_tools.h"
#include "platform/type_database.h"
#include "platform/url_opener.h"
#include "platform/user_notifications.h"
#include "platform/virtual_displays.h"
#include "platform/workspace.h"

namespace kd {

struct FrameworkHandles {
    std::shared_ptr<SkyLightFramework> skyLight;
    std::shared_ptr<SidecarCoreFramework> sidecarCore;
    std::shared_ptr<CoreDisplayFramework> coreDisplay;
};

// Opens the private frameworks; each one that is missing stays null.
class FrameworkLoader {
  public:
    virtual ~FrameworkLoader() = default;
    virtual std::shared_ptr<SkyLightFramework> openSkyLight() = 0;
    virtual std::shared_ptr<SidecarCoreFramework> openSidecarCore() = 0;
    virtual std::shared_ptr<CoreDisplayFramework> openCoreDisplay() = 0;
};

struct Platform {
    Scheduler& scheduler;
    DisplayServices& displays;
    VirtualDisplays& virtualDisplays;
    FrameworkLoader& frameworks;
    Accessibility& accessibility;
    TypeDatabase& typeDatabase;
    Preferences& userDefaults;                // this application's own domain
    const PreferenceReader& sidecarSettings;  // the system's Sidecar settings, read only
    SystemTools& tools;
    DnsSd& dnsSd;  // the local network's AirPlay receivers
    HttpClient& http;
    Workspace& workspace;  // sleep and wake
    SoundPlayer& sound;
    Appearance& appearance;
    ScreenCapture& screenCapture;
    ScreenCapturePermission& screenCapturePermission;
    NetworkInterfaces& networkInterfaces;  // this machine's own
    SecureRandom& secureRandom;
    UrlOpener& urlOpener;
    UserNotifications& userNotifications;    // the desktop's, and the icon's badge
    NotificationCenter& notificationCenter;  // between parts of this process
    std::string soundsFolder;                // the connection sounds the program ships, NAME.aiff
};

}  // namespace kd
