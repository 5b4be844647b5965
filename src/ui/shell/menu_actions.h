#pragma once

// What the menu bar's and the tray menu's items do to the application's
// controllers. Items that need a device act on `currentDevice()`; when there
// is none to act on, the system beep sounds and nothing else happens.
//
// Contract: main thread only, like the controllers it drives, which must
// outlive it. The window-level effects (settings, support, updates, about)
// are handed in by the application; an empty one does nothing.

#include <functional>
#include <optional>
#include <string>

#include "model/device.h"
#include "platform/preferences.h"
#include "platform/url_opener.h"

namespace kd {

class DockState;
class VirtualDisplayHost;

inline constexpr const char* kHelpPageAddress = "https://kelvane.example/display/help";
inline constexpr const char* kPrivacyPageAddress = "https://kelvane.example/display/privacy";
inline constexpr const char* kProductPageAddress = "https://kelvane.example/display";

class MenuActions {
  public:
    struct Ports {
        DockState& dock;
        VirtualDisplayHost& virtualDisplay;
        const PreferenceReader& defaults;  // the devices' saved sides
        UrlOpener& urls;
        std::function<void()> beep;
    };

    explicit MenuActions(Ports ports) : ports_(std::move(ports)) {}

    std::optional<Device> currentDevice() const;

    void rescan();
    // 0 left, 1 top, 2 right, as the Display menu's items are tagged.
    void place(int tag);
    void toggleMirror();
    void toggleVirtual();
    void disconnect();
    // A tray menu device item: disconnects a connected device, else connects
    // it where it was last placed (on the right when it never was).
    void dockConnect(const std::string& deviceKey);
    void openHelp();
    void openPrivacy();
    void openProductPage();

  private:
    Ports ports_;
};

}  // namespace kd
