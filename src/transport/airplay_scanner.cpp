#include "transport/airplay_scanner.h"

#include <algorithm>
#include <iterator>

#include "model/text.h"
#include "transport/airplay_receiver.h"
#include "transport/sidecar_devices.h"

namespace kd {

namespace {

constexpr const char* kAirPlayType = "_airplay._tcp.";
constexpr const char* kLocalDomain = "local.";
constexpr const char* kSidecarMatchKey = "Sidecar:";

Device placeholder(const std::string& name) {
    const auto kind = containsIgnoringCase(name, "ipad") ? DeviceKind::ipad : DeviceKind::tv;
    return Device(name, name, kind, {}, "");
}

}  // namespace

AirPlayScanner::AirPlayScanner(Ports ports)
    : ports_(std::move(ports)), selfName_(ports_.tools.localHostName()) {}

AirPlayScanner::~AirPlayScanner() {
    // Handles first: destroying them stops every callback into this object.
    browser_.reset();
    pending_.clear();
}

void AirPlayScanner::start() {
    browser_.reset();
    pending_.clear();
    browsed_.clear();
    searchedAndFoundNothing.set(false);
    scanning.set(true);

    const std::weak_ptr weak(self_);
    browser_ = ports_.dnsSd.browse(kAirPlayType, kLocalDomain,
                                   DnsSd::BrowseEvents{[weak](const BrowsedService& service, bool) {
                                                           if (const auto self = weak.lock())
                                                               (*self)->found(service);
                                                       },
                                                       [weak](const BrowsedService& service, bool) {
                                                           if (const auto self = weak.lock())
                                                               (*self)->removed(service);
                                                       }});
    rebuild();

    // A rescan soon after a start must not be ended by the earlier window.
    const auto generation = ++scanGeneration_;
    ports_.scheduler.after(kScanWindow, Queue::main(), [weak, generation] {
        const auto self = weak.lock();
        if (!self || (*self)->scanGeneration_ != generation) return;
        auto& scanner = **self;
        scanner.scanning.set(false);
        scanner.searchedAndFoundNothing.set(scanner.devices.get().empty());
    });
}

void AirPlayScanner::found(const BrowsedService& service) {
    const auto name = service.name;
    browsed_.insert(name);
    const std::weak_ptr weak(self_);
    pending_[name] = ports_.dnsSd.resolve(
        service, std::chrono::duration_cast<std::chrono::milliseconds>(kResolveTimeout),
        [weak, name](const std::optional<ResolvedService>& resolved) {
            if (const auto self = weak.lock()) (*self)->resolved(name, resolved);
        });
    ports_.scheduler.after(kUnresolvedRecheck, Queue::main(), [weak, name] {
        const auto self = weak.lock();
        if (!self) return;
        auto& scanner = **self;
        if (!scanner.found_.contains(name) && scanner.browsed_.contains(name)) scanner.rebuild();
    });
}

void AirPlayScanner::removed(const BrowsedService& service) {
    browsed_.erase(service.name);
    found_.erase(service.name);
    otherMacs_.erase(service.name);
    pending_.erase(service.name);
    rebuild();
}

void AirPlayScanner::resolved(const std::string& name,
                              const std::optional<ResolvedService>& service) {
    // The resolution has answered; dropping its handle here is safe because
    // the port calls back from a main-queue task, not from inside the handle.
    pending_.erase(name);
    if (!service) return;  // stays a placeholder until the re-check shows it
    auto device = receiverDevice(name, *service);
    if (!device) {
        // No TXT record leaves the receiver shown by name; another Mac goes.
        if (service->txtRecord) {
            otherMacs_.insert(name);
            rebuild();
        }
        return;
    }
    otherMacs_.erase(name);
    found_.insert_or_assign(name, std::move(*device));
    rebuild();
}

void AirPlayScanner::rebuild() {
    // Resolved receivers: the map is ordered by service name, which is each
    // device's name, byte by byte: code-point order for UTF-8.
    std::vector<Device> list;
    for (const auto& [name, device] : found_) list.push_back(device);

    for (const auto& name : browsed_) {
        if (found_.contains(name) || otherMacs_.contains(name)) continue;
        // An empty name of our own would hide every receiver.
        if (!selfName_.empty() && name.starts_with(selfName_)) continue;
        list.push_back(placeholder(name));
    }

    const auto scans = sidecarScans(ports_.sidecarLib.get());
    const auto offering = std::find_if(scans.begin(), scans.end(),
                                       [](const SidecarScan& scan) { return scan.offersDisplay; });
    bool sidecarEntry = offering != scans.end();
    if (!sidecarEntry) {
        const auto recents = ports_.sidecarSettings.array(kSidecarRecentsKey);
        sidecarEntry = recents && !recents->empty();
    }
    if (sidecarEntry) {
        const auto bonjour = std::find_if(found_.begin(), found_.end(), [](const auto& entry) {
            return entry.second.kind == DeviceKind::ipad;
        });
        const Device* network = bonjour == found_.end() ? nullptr : &bonjour->second;
        std::string name = kSidecarFallbackName;
        std::string model;
        if (offering != scans.end()) {
            name = offering->name;
            model = offering->model;
        } else if (network != nullptr) {
            name = network->name;
            model = network->model;
        }
        Device iPad(kSidecarDeviceID, name, DeviceKind::ipad, {kSidecarMatchKey}, model);
        if (network != nullptr) {
            iPad.features = network->features;
            iPad.host = network->host;
            iPad.port = network->port;
        }
        std::erase_if(list, [](const Device& d) { return d.kind == DeviceKind::ipad; });
        list.insert(list.begin(), std::move(iPad));
    }

    setDeviceSnapshot(ports_.snapshot, list, std::nullopt);
    devices.set(std::move(list));
}

std::vector<std::string> AirPlayScanner::knownKeys() const {
    std::vector<std::string> keys;
    for (const auto& [name, device] : found_) {
        std::copy(device.matchKeys.begin(), device.matchKeys.end(), std::back_inserter(keys));
    }
    return keys;
}

}  // namespace kd
