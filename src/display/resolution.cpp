#include "display/resolution.h"

#include <algorithm>
#include <iterator>

#include "model/text.h"

namespace kd {

namespace {

struct PoolScreen {
    DisplayID id;
    std::string name;
    std::string lowerName;
};

struct Candidate {
    const Device* device;
    std::string lowerName;
};

// The screens that can be handed out and the devices still without one. A
// screen or device leaves the moment it is settled, so nothing is handed out
// twice.
class Settlement {
  public:
    Settlement(const std::vector<Device>& devices, const std::vector<AttachedDisplay>& screens) {
        for (const auto& screen : screens) {
            if (!screen.builtIn) pool_.push_back({screen.id, screen.name, lowercased(screen.name)});
        }
        for (const auto& device : devices) left_.push_back({&device, lowercased(device.name)});
    }

    bool poolEmpty() const { return pool_.empty(); }

    // Each unsettled device, in order, takes the first screen `fits` accepts.
    template <typename Fits>
    void pass(const Fits& fits) {
        std::vector<Candidate> stillLeft;
        for (auto& candidate : left_) {
            const auto found = std::find_if(pool_.begin(), pool_.end(), [&](const PoolScreen& s) {
                return fits(candidate, s);
            });
            if (found == pool_.end()) {
                stillLeft.push_back(std::move(candidate));
                continue;
            }
            result_.emplace(candidate.device->id, found->id);
            pool_.erase(found);
        }
        left_ = std::move(stillLeft);
    }

    // A single screen nobody claimed by name goes to a lone unsettled device,
    // or to the unsettled device acted on most recently. Among several devices
    // none of which is recent, nobody can be told apart, so nobody takes it.
    void settleLeftover(const std::vector<std::string>& recent) {
        if (pool_.size() != 1 || left_.empty()) return;
        const auto rank = [&](const Candidate& candidate) {
            return static_cast<std::size_t>(std::distance(
                recent.begin(), std::find(recent.begin(), recent.end(), candidate.device->id)));
        };
        std::stable_sort(left_.begin(), left_.end(),
                         [&](const Candidate& a, const Candidate& b) { return rank(a) < rank(b); });
        const auto& first = left_.front();
        if (left_.size() == 1 || rank(first) < recent.size()) {
            result_.emplace(first.device->id, pool_.front().id);
            pool_.clear();
            left_.erase(left_.begin());
        }
    }

    Attachments result() && { return std::move(result_); }

  private:
    std::vector<PoolScreen> pool_;
    std::vector<Candidate> left_;
    Attachments result_;
};

bool isSidecarDevice(const Device& device) {
    return device.id == kSidecarDeviceID || device.kind == DeviceKind::ipad;
}

}  // namespace

Attachments resolveAttachments(const std::vector<Device>& devices,
                               const std::vector<AttachedDisplay>& screens,
                               const std::vector<std::string>& preferring) {
    Settlement settlement(devices, screens);
    if (settlement.poolEmpty()) return {};

    settlement.pass([](const Candidate& candidate, const PoolScreen& screen) {
        return isSidecarDevice(*candidate.device) && containsIgnoringCase(screen.name, "sidecar");
    });
    settlement.pass([](const Candidate& candidate, const PoolScreen& screen) {
        return !candidate.device->name.empty() && screen.lowerName == candidate.lowerName;
    });
    settlement.pass([](const Candidate& candidate, const PoolScreen& screen) {
        const auto& device = candidate.lowerName;
        const auto& name = screen.lowerName;
        if (device.empty() || name.empty()) return false;
        return name.find(device) != std::string::npos || device.find(name) != std::string::npos;
    });
    settlement.settleLeftover(preferring);
    return std::move(settlement).result();
}

ConnectionState resolveConnections(const std::vector<Device>& devices,
                                   const std::vector<AttachedDisplay>& screens,
                                   const std::set<DisplayID>& mirroringIDs, int hiddenExternals,
                                   const std::set<std::string>& believedConnected,
                                   const std::optional<std::string>& busyKey,
                                   const std::vector<std::string>& recent) {
    ConnectionState state;
    state.screens = resolveAttachments(devices, screens, recent);
    for (const auto& [key, display] : state.screens) {
        state.connected.insert(key);
        if (mirroringIDs.contains(display)) state.mirroring.insert(key);
    }

    // Hidden mirrors carry no name, so they can only be matched to devices
    // the controller already had reason to think were on a screen.
    auto left = hiddenExternals;
    for (const auto& key : recent) {
        if (left < 1) break;
        if (state.connected.contains(key)) continue;
        if (!believedConnected.contains(key) && key != busyKey) continue;
        const bool present = std::any_of(devices.begin(), devices.end(),
                                         [&](const Device& device) { return device.id == key; });
        if (!present) continue;
        state.connected.insert(key);
        state.mirroring.insert(key);
        --left;
    }
    return state;
}

}  // namespace kd
