#include "platform/sim/sim_virtual_displays.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <utility>

namespace kd {

struct SimVirtualDisplays::Entry {
    VirtualDisplayDescriptor descriptor;
    bool online = false;
    bool released = false;
    bool terminated = false;
    std::unique_ptr<SimPixelScreen> pixels;
    TimerHandle scheduledTermination;
};

struct SimVirtualDisplays::State {
    State(ScenarioVirtualDisplays behaviour, SimWindowServer& windowServer, Scheduler& scheduler)
        : behaviour(behaviour), windowServer(windowServer), scheduler(scheduler) {}

    void record(SimVirtualDisplayEvent event) {
        event.descriptor.terminationHandler = nullptr;
        history.push_back(std::move(event));
    }

    const ScenarioVirtualDisplays behaviour;
    SimWindowServer& windowServer;
    Scheduler& scheduler;
    mutable std::mutex mutex;
    bool refuseNext = false;
    bool rejectNext = false;
    std::vector<SimVirtualDisplayEvent> history;
    std::shared_ptr<SimPixelSource> pixelSource;
    std::map<DisplayID, Entry> entries;
};

namespace {

using Event = SimVirtualDisplayEvent;

// One mode per offered mode: with HiDPI at twice its pixels where the
// descriptor allows that many, otherwise at its own.
std::vector<ScenarioMode> screenModes(const VirtualDisplaySettings& settings,
                                      const VirtualDisplayDescriptor& descriptor) {
    std::vector<ScenarioMode> modes;
    std::int32_t nextID = 1;
    for (const auto& offered : settings.modes) {
        const auto wide = static_cast<std::uint32_t>(offered.width) * 2;
        const auto high = static_cast<std::uint32_t>(offered.height) * 2;
        const int scale =
            settings.hiDPI && wide <= descriptor.maxPixelsWide && high <= descriptor.maxPixelsHigh
                ? 2
                : 1;
        modes.push_back(ScenarioMode{nextID++, offered.width, offered.height, offered.width * scale,
                                     offered.height * scale, offered.refreshRate});
    }
    return modes;
}

std::int64_t pixelCount(const ScenarioMode& mode) {
    return std::int64_t{mode.pixelWidth} * mode.pixelHeight;
}

}  // namespace

class SimVirtualDisplays::Display : public VirtualDisplay {
  public:
    Display(std::weak_ptr<State> state, DisplayID id) : state_(std::move(state)), id_(id) {}

    ~Display() override {
        const auto state = state_.lock();
        if (!state) return;
        std::unique_ptr<SimPixelScreen> pixels;
        bool wasOnline = false;
        {
            const std::lock_guard lock(state->mutex);
            auto& entry = state->entries.at(id_);
            entry.released = true;
            entry.scheduledTermination.cancel();
            pixels = std::move(entry.pixels);
            wasOnline = std::exchange(entry.online, false);
            state->record(Event{Event::Kind::released, id_, {}, {}});
        }
        if (wasOnline) state->windowServer.unplug(id_);
    }

    bool applySettings(const VirtualDisplaySettings& settings) override {
        const auto state = state_.lock();
        if (!state) return false;
        ScenarioDisplay screen;
        {
            const std::lock_guard lock(state->mutex);
            auto& entry = state->entries.at(id_);
            const bool reject = std::exchange(state->rejectNext, false) ||
                                state->behaviour.rejectModes || settings.modes.empty() ||
                                entry.online;
            state->record(
                Event{reject ? Event::Kind::settingsRejected : Event::Kind::settingsAccepted,
                      id_,
                      {},
                      settings});
            if (reject) return false;
            screen.name = entry.descriptor.name;
            screen.modes = screenModes(settings, entry.descriptor);
        }
        // The system runs the mode with the most pixels it can drive; with
        // none it says yes all the same and brings up nothing.
        const auto limit = state->behaviour.largestPixels;
        const ScenarioMode* current = nullptr;
        for (const auto& mode : screen.modes) {
            if (limit && pixelCount(mode) > *limit) continue;
            if (current == nullptr || pixelCount(mode) > pixelCount(*current)) current = &mode;
        }
        if (current == nullptr) return true;
        screen.currentMode = current->id;
        screen.currentRefresh = current->refresh;
        screen.bounds = Rect{0, 0, double(current->width), double(current->height)};
        const auto [pixelWidth, pixelHeight] = std::pair(current->pixelWidth, current->pixelHeight);
        comeOnline(*state, std::move(screen), pixelWidth, pixelHeight);
        return true;
    }

    DisplayID displayID() const override { return id_; }

  private:
    void comeOnline(State& state, ScenarioDisplay screen, int pixelWidth, int pixelHeight) {
        std::shared_ptr<SimPixelSource> source;
        {
            const std::lock_guard lock(state.mutex);
            source = state.pixelSource;
        }
        // Opening may take a while; nobody waits on the lock meanwhile.
        auto pixels = source ? source->open(pixelWidth, pixelHeight) : nullptr;
        {
            const std::lock_guard lock(state.mutex);
            auto& entry = state.entries.at(id_);
            entry.pixels = std::move(pixels);
            entry.online = true;
            if (const auto after = state.behaviour.terminateAfterMs) {
                entry.scheduledTermination = state.scheduler.after(
                    std::chrono::milliseconds(*after), Queue::main(), [weak = state_, id = id_] {
                        if (const auto alive = weak.lock()) tearDown(*alive, id);
                    });
            }
        }
        state.windowServer.plugInExtendingAs(id_, std::move(screen));
    }

    std::weak_ptr<State> state_;
    DisplayID id_;
};

void SimVirtualDisplays::tearDown(State& state, DisplayID id) {
    std::unique_ptr<SimPixelScreen> pixels;
    bool wasOnline = false;
    VirtualDisplayDescriptor descriptor;
    {
        const std::lock_guard lock(state.mutex);
        const auto found = state.entries.find(id);
        if (found == state.entries.end() || found->second.terminated) return;
        auto& entry = found->second;
        entry.terminated = true;
        pixels = std::move(entry.pixels);
        wasOnline = std::exchange(entry.online, false);
        descriptor = entry.descriptor;
        state.record(Event{Event::Kind::terminated, id, {}, {}});
    }
    if (wasOnline) state.windowServer.unplug(id);
    if (descriptor.terminationHandler) {
        state.scheduler.post(descriptor.queue, descriptor.terminationHandler);
    }
}

SimVirtualDisplays::SimVirtualDisplays(ScenarioVirtualDisplays behaviour,
                                       SimWindowServer& windowServer, Scheduler& scheduler)
    : state_(std::make_shared<State>(behaviour, windowServer, scheduler)) {}

SimVirtualDisplays::~SimVirtualDisplays() = default;

std::unique_ptr<VirtualDisplay> SimVirtualDisplays::create(
    const VirtualDisplayDescriptor& descriptor) {
    const std::lock_guard lock(state_->mutex);
    if (std::exchange(state_->refuseNext, false) || state_->behaviour.refuse) {
        state_->record(Event{Event::Kind::refused, 0, descriptor, {}});
        return nullptr;
    }
    const auto id = state_->windowServer.reserveDisplayID();
    state_->entries[id].descriptor = descriptor;
    state_->record(Event{Event::Kind::created, id, descriptor, {}});
    return std::make_unique<Display>(state_, id);
}

void SimVirtualDisplays::terminate(DisplayID display) {
    tearDown(*state_, display);
}

void SimVirtualDisplays::refuseNextCreate() {
    const std::lock_guard lock(state_->mutex);
    state_->refuseNext = true;
}

void SimVirtualDisplays::rejectNextSettings() {
    const std::lock_guard lock(state_->mutex);
    state_->rejectNext = true;
}

std::vector<SimVirtualDisplayEvent> SimVirtualDisplays::history() const {
    const std::lock_guard lock(state_->mutex);
    return state_->history;
}

void SimVirtualDisplays::usePixelSource(std::shared_ptr<SimPixelSource> source) {
    const std::lock_guard lock(state_->mutex);
    state_->pixelSource = std::move(source);
}

std::optional<std::string> SimVirtualDisplays::xDisplayName(DisplayID display) const {
    const std::lock_guard lock(state_->mutex);
    const auto found = state_->entries.find(display);
    if (found == state_->entries.end() || !found->second.pixels) return std::nullopt;
    return found->second.pixels->xDisplayName();
}

}  // namespace kd
