#pragma once

// Finds the screens this Mac can send to: AirPlay receivers announced on the
// local network, each resolved and read into a Device, plus the one iPad
// that Sidecar offers. Publishes one list in display order: the Sidecar iPad
// first, then resolved receivers by name (code-point order), then receivers
// that did not resolve, by name.
//
// Contract: main thread only. Every published change happens on the main
// queue, and the device list is also written into the device snapshot for
// code on other threads. The ports must outlive the scanner; nothing it
// scheduled runs after it is gone.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/device.h"
#include "model/device_snapshot.h"
#include "model/published.h"
#include "platform/dns_sd.h"
#include "platform/preferences.h"
#include "platform/scheduler.h"
#include "platform/sidecar_core.h"
#include "platform/system_tools.h"

namespace kd {

inline constexpr std::chrono::seconds kScanWindow{8};
inline constexpr std::chrono::seconds kResolveTimeout{5};
// When a receiver that has not resolved by then is shown by its name.
inline constexpr std::chrono::seconds kUnresolvedRecheck{7};

// The system's Sidecar settings key listing recently used iPads.
inline constexpr const char* kSidecarRecentsKey = "recents";
// The name of the iPad entry when neither Sidecar nor the network names it.
inline constexpr const char* kSidecarFallbackName = "iPad (Sidecar)";

class AirPlayScanner {
  public:
    struct Ports {
        DnsSd& dnsSd;
        Scheduler& scheduler;
        std::shared_ptr<SidecarCoreFramework> sidecarLib;  // null: no Sidecar
        const PreferenceReader& sidecarSettings;           // the system's, read only
        const SystemTools& tools;                          // this Mac's own name
        DeviceSnapshot& snapshot;
    };

    explicit AirPlayScanner(Ports ports);
    ~AirPlayScanner();
    AirPlayScanner(const AirPlayScanner&) = delete;
    AirPlayScanner& operator=(const AirPlayScanner&) = delete;

    Published<std::vector<Device>> devices;
    // True when the first kScanWindow of a scan ended with an empty list;
    // reset at every start.
    Published<bool> searchedAndFoundNothing{false};
    // True from a start until kScanWindow later.
    Published<bool> scanning{false};

    // (Re)starts discovery: at creation of its owner, on rescan and on wake.
    // Receivers already resolved stay listed until the network withdraws them.
    void start();

    // Every match key of every resolved receiver, in name order.
    std::vector<std::string> knownKeys() const;

  private:
    void found(const BrowsedService& service);
    void removed(const BrowsedService& service);
    void resolved(const std::string& name, const std::optional<ResolvedService>& service);
    void rebuild();

    Ports ports_;
    const std::string selfName_;
    std::unique_ptr<ServiceBrowse> browser_;
    // Services being resolved, by name; a resolution leaves when it answers
    // or its service goes.
    std::map<std::string, std::unique_ptr<ServiceResolution>> pending_;
    std::map<std::string, Device> found_;
    std::set<std::string> browsed_;
    // Receivers that resolved as other Macs: never shown, not even by name.
    std::set<std::string> otherMacs_;
    // Tells the end of this scan's window from an earlier scan's.
    std::uint64_t scanGeneration_ = 0;
    // Scheduled tasks hold it weakly: they run only while the scanner lives.
    std::shared_ptr<AirPlayScanner*> self_ = std::make_shared<AirPlayScanner*>(this);
};

}  // namespace kd
