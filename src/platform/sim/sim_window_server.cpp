#include "platform/sim/sim_window_server.h"

#include <algorithm>

namespace kd {

namespace {

SystemDisplayMode toSystemMode(const ScenarioMode& mode) {
    return SystemDisplayMode{mode.id,          mode.width,   mode.height, mode.pixelWidth,
                             mode.pixelHeight, mode.refresh, mode.usable};
}

}  // namespace

class SimWindowServer::Token : public ReconfigurationToken {
  public:
    Token(std::weak_ptr<CallbackRegistry> registry, std::uint64_t id)
        : registry_(std::move(registry)), id_(id) {}
    ~Token() override {
        if (auto registry = registry_.lock()) {
            const std::lock_guard lock(registry->mutex);
            registry->callbacks.erase(id_);
        }
    }

  private:
    std::weak_ptr<CallbackRegistry> registry_;
    std::uint64_t id_;
};

SimWindowServer::SimWindowServer(std::vector<ScenarioDisplay> displays, Scheduler& scheduler,
                                 ScenarioConfiguration refusals)
    : scheduler_(scheduler), displays_(std::move(displays)), refusals_(refusals) {}

SimWindowServer::~SimWindowServer() = default;

const ScenarioDisplay* SimWindowServer::find(DisplayID display) const {
    const auto found = std::find_if(displays_.begin(), displays_.end(),
                                    [&](const ScenarioDisplay& d) { return d.id == display; });
    return found == displays_.end() ? nullptr : &*found;
}

ScenarioDisplay* SimWindowServer::find(DisplayID display) {
    return const_cast<ScenarioDisplay*>(std::as_const(*this).find(display));
}

std::vector<DisplayID> SimWindowServer::onlineDisplayList(std::size_t capacity) const {
    const std::lock_guard lock(mutex_);
    std::vector<DisplayID> ids;
    for (const auto& display : displays_) {
        if (ids.size() >= capacity) break;
        ids.push_back(display.id);
    }
    return ids;
}

bool SimWindowServer::isBuiltin(DisplayID display) const {
    const std::lock_guard lock(mutex_);
    const auto* found = find(display);
    return found != nullptr && found->builtIn;
}

DisplayID SimWindowServer::mirrorsDisplay(DisplayID display) const {
    const std::lock_guard lock(mutex_);
    const auto* found = find(display);
    return found == nullptr ? 0 : found->mirrorOf;
}

Rect SimWindowServer::bounds(DisplayID display) const {
    const std::lock_guard lock(mutex_);
    const auto* found = find(display);
    return found == nullptr ? Rect{} : found->bounds;
}

std::optional<std::vector<SystemDisplayMode>> SimWindowServer::allDisplayModes(
    DisplayID display, bool includeDuplicateLowResolution) const {
    const std::lock_guard lock(mutex_);
    const auto* found = find(display);
    if (found == nullptr) return std::nullopt;
    std::vector<SystemDisplayMode> modes;
    for (const auto& mode : found->modes) {
        if (mode.duplicate && !includeDuplicateLowResolution) continue;
        modes.push_back(toSystemMode(mode));
    }
    return modes;
}

std::optional<SystemDisplayMode> SimWindowServer::currentMode(DisplayID display) const {
    const std::lock_guard lock(mutex_);
    const auto* found = find(display);
    if (found == nullptr) return std::nullopt;
    const auto* mode = currentModeOf(*found);
    if (mode == nullptr) return std::nullopt;
    return toSystemMode(*mode);
}

DisplayError SimWindowServer::beginConfiguration(ConfigRef* config) {
    const std::lock_guard lock(mutex_);
    if (refusals_.beginError != 0) return refusals_.beginError;
    if (failBegin_ != 0) {
        return std::exchange(failBegin_, 0);
    }
    *config = nextConfig_++;
    open_[*config] = {};
    return 0;
}

DisplayError SimWindowServer::stage(ConfigRef config, Change change) {
    const std::lock_guard lock(mutex_);
    const auto transaction = open_.find(config);
    if (transaction == open_.end()) return kIllegalArgument;
    if (find(change.display) == nullptr) return kIllegalArgument;
    transaction->second.push_back(change);
    return 0;
}

DisplayError SimWindowServer::configureOrigin(ConfigRef config, DisplayID display, std::int32_t x,
                                              std::int32_t y) {
    return stage(config, Change{display, std::pair{x, y}, std::nullopt, std::nullopt});
}

DisplayError SimWindowServer::configureMirror(ConfigRef config, DisplayID display,
                                              DisplayID master) {
    if (master == display) return kIllegalArgument;
    if (master != 0) {
        const std::lock_guard lock(mutex_);
        if (find(master) == nullptr) return kIllegalArgument;
    }
    return stage(config, Change{display, std::nullopt, master, std::nullopt});
}

DisplayError SimWindowServer::configureMode(ConfigRef config, DisplayID display,
                                            const SystemDisplayMode& mode) {
    std::optional<ScenarioMode> chosen;
    {
        const std::lock_guard lock(mutex_);
        const auto* found = find(display);
        if (found == nullptr) return kIllegalArgument;
        // The id alone is not enough: a variable-refresh panel lists one id at several rates.
        const auto listed =
            std::find_if(found->modes.begin(), found->modes.end(), [&](const ScenarioMode& m) {
                return m.id == mode.ioModeID && m.refresh == mode.refreshRate;
            });
        if (listed == found->modes.end()) return kIllegalArgument;
        chosen = *listed;
    }
    return stage(config, Change{display, std::nullopt, std::nullopt, chosen});
}

ReconfigurationFlags SimWindowServer::apply(const Change& change) {
    auto* display = find(change.display);
    if (display == nullptr) return 0;
    ReconfigurationFlags flags = 0;
    if (change.origin) {
        flags |= kDisplayMovedFlag;
        display->bounds.x = change.origin->first;
        display->bounds.y = change.origin->second;
    }
    if (change.mode) {
        flags |= kDisplaySetModeFlag;
        display->currentMode = change.mode->id;
        display->currentRefresh = change.mode->refresh;
        display->bounds.width = change.mode->width;
        display->bounds.height = change.mode->height;
    }
    if (change.mirrorOf) {
        const auto previousMaster = std::exchange(display->mirrorOf, *change.mirrorOf);
        if (const auto* master = find(*change.mirrorOf)) {
            // A mirror shows the master's picture where the master is, and the
            // window server drops it from the screen list.
            display->bounds.x = master->bounds.x;
            display->bounds.y = master->bounds.y;
            display->active = false;
            flags |= kDisplayMirrorFlag;
        } else {
            display->active = true;
            flags |= kDisplayUnMirrorFlag;
            // Ending a mirror extends the desktop to the right of the old master.
            if (const auto* master = find(previousMaster)) {
                display->bounds.x = master->bounds.maxX();
                display->bounds.y = master->bounds.y;
            }
        }
    }
    return flags;
}

DisplayError SimWindowServer::completeConfiguration(ConfigRef config, ConfigureOption) {
    std::map<DisplayID, ReconfigurationFlags> changed;
    {
        const std::lock_guard lock(mutex_);
        const auto transaction = open_.find(config);
        if (transaction == open_.end()) return kIllegalArgument;
        const auto changes = std::move(transaction->second);
        open_.erase(transaction);
        if (refusals_.completeError != 0) return refusals_.completeError;
        if (failComplete_ != 0) return std::exchange(failComplete_, 0);
        for (const auto& change : changes) {
            changed[change.display] |= apply(change);
        }
    }
    notify(changed);
    return 0;
}

DisplayError SimWindowServer::cancelConfiguration(ConfigRef config) {
    const std::lock_guard lock(mutex_);
    return open_.erase(config) == 1 ? 0 : kIllegalArgument;
}

std::unique_ptr<ReconfigurationToken> SimWindowServer::registerReconfigurationCallback(
    ReconfigurationCallback callback) {
    const std::lock_guard lock(registry_->mutex);
    const auto id = registry_->nextID++;
    registry_->callbacks.emplace(id, std::move(callback));
    return std::make_unique<Token>(registry_, id);
}

void SimWindowServer::notify(const std::map<DisplayID, ReconfigurationFlags>& changed) {
    if (changed.empty()) return;
    std::vector<std::uint64_t> ids;
    {
        const std::lock_guard lock(registry_->mutex);
        for (const auto& [id, unused] : registry_->callbacks) ids.push_back(id);
    }
    for (const auto& [display, flags] : changed) {
        for (const auto id : ids) {
            scheduler_.post(Queue::main(),
                            [weak = std::weak_ptr(registry_), id, display, flags = flags] {
                                const auto registry = weak.lock();
                                if (!registry) return;
                                ReconfigurationCallback callback;
                                {
                                    const std::lock_guard lock(registry->mutex);
                                    const auto found = registry->callbacks.find(id);
                                    if (found == registry->callbacks.end())
                                        return;  // unregistered meanwhile
                                    callback = found->second;
                                }
                                callback(display, flags);
                            });
        }
    }
}

std::vector<ScreenInfo> SimWindowServer::screens() const {
    const std::lock_guard lock(mutex_);
    std::vector<ScreenInfo> list;
    for (const auto& display : displays_) {
        if (!display.active) continue;
        list.push_back(ScreenInfo{display.id, display.bounds, display.name,
                                  display.hdr.potentialHeadroom, display.hdr.headroom});
    }
    return list;
}

void SimWindowServer::plugIn(ScenarioDisplay display) {
    const auto id = display.id;
    {
        const std::lock_guard lock(mutex_);
        if (find(id) != nullptr) return;
        displays_.push_back(std::move(display));
    }
    notify({{id, kDisplayAddFlag}});
}

DisplayID SimWindowServer::freeID() const {
    DisplayID id = highestReserved_ + 1;
    for (const auto& other : displays_) id = std::max(id, other.id + 1);
    return id;
}

DisplayID SimWindowServer::extend(std::optional<DisplayID> id, ScenarioDisplay display) {
    {
        const std::lock_guard lock(mutex_);
        if (id && find(*id) != nullptr) return *id;
        display.id = id.value_or(freeID());
        display.mirrorOf = 0;
        display.active = true;
        display.bounds.x = 0;
        display.bounds.y = 0;  // the main display's top edge: it sits at the origin
        for (const auto& other : displays_) {
            if (other.active) display.bounds.x = std::max(display.bounds.x, other.bounds.maxX());
        }
        id = display.id;
        displays_.push_back(std::move(display));
    }
    notify({{*id, kDisplayAddFlag}});
    return *id;
}

DisplayID SimWindowServer::plugInExtending(ScenarioDisplay display) {
    return extend(std::nullopt, std::move(display));
}

DisplayID SimWindowServer::reserveDisplayID() {
    const std::lock_guard lock(mutex_);
    highestReserved_ = freeID();
    return highestReserved_;
}

void SimWindowServer::plugInExtendingAs(DisplayID id, ScenarioDisplay display) {
    extend(id, std::move(display));
}

void SimWindowServer::unplug(DisplayID display) {
    {
        const std::lock_guard lock(mutex_);
        const auto before = displays_.size();
        std::erase_if(displays_, [&](const ScenarioDisplay& d) { return d.id == display; });
        if (displays_.size() == before) return;
        for (auto& other : displays_) {
            if (other.mirrorOf == display) {
                other.mirrorOf = 0;
                other.active = true;
            }
        }
    }
    notify({{display, kDisplayRemoveFlag}});
}

void SimWindowServer::setMirror(DisplayID display, DisplayID master) {
    ReconfigurationFlags flags = 0;
    {
        const std::lock_guard lock(mutex_);
        if (master == display || find(display) == nullptr ||
            (master != 0 && find(master) == nullptr)) {
            return;
        }
        flags = apply(Change{display, std::nullopt, master, std::nullopt});
    }
    notify({{display, flags}});
}

void SimWindowServer::failNextBegin(DisplayError error) {
    const std::lock_guard lock(mutex_);
    failBegin_ = error;
}

void SimWindowServer::failNextComplete(DisplayError error) {
    const std::lock_guard lock(mutex_);
    failComplete_ = error;
}

std::size_t SimWindowServer::openTransactionCount() const {
    const std::lock_guard lock(mutex_);
    return open_.size();
}

std::optional<ScenarioHDR> SimWindowServer::hdr(DisplayID display) const {
    const std::lock_guard lock(mutex_);
    const auto* found = find(display);
    if (found == nullptr) return std::nullopt;
    return found->hdr;
}

void SimWindowServer::setHDREnabled(DisplayID display, bool enabled) {
    {
        const std::lock_guard lock(mutex_);
        auto* found = find(display);
        if (found == nullptr || !found->hdr.supported) return;
        found->hdr.enabled = enabled;
        found->hdr.headroom = enabled ? found->hdr.potentialHeadroom : 1.0;
    }
    notify({{display, kDisplayDesktopShapeChangedFlag}});
}

}  // namespace kd
