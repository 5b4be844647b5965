#include "dock/dock_state.h"

#include <algorithm>
#include <utility>

#include "display/arrangement.h"
#include "display/device_display.h"
#include "display/device_prefs.h"
#include "display/inventory.h"
#include "display/mode_matching.h"
#include "display/modes.h"
#include "display/sides.h"
#include "dock/connections.h"
#include "dock/screen_map.h"
#include "model/device_snapshot.h"
#include "transport/host_mac.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

constexpr const char* kVirtualDisplayOccupant = "the virtual display";

DockState* currentState = nullptr;  // main thread only

}  // namespace

DockState::DockState(Ports ports)
    : soundID(ports.platform.userDefaults.text(kConnectSoundKey).value_or(kDefaultSoundID)),
      theme(themeFromRaw(ports.platform.userDefaults.text(kThemeKey).value_or(""))),
      mac(hostMacInfo(ports.platform.tools, ports.platform.displays)),
      autoReconnect(ports.platform.userDefaults.boolValue(kAutoReconnectKey).value_or(true)),
      scanner(AirPlayScanner::Ports{ports.platform.dnsSd, ports.platform.scheduler,
                                    ports.values.sidecarLib, ports.platform.sidecarSettings,
                                    ports.platform.tools, ports.values.deviceSnapshot}),
      ports_(std::move(ports)),
      sounds_{ports_.platform.sound, ports_.platform.soundsFolder, ports_.platform.scheduler},
      work_{ports_.platform.displays,     ports_.virtualDisplay,  ports_.values.deviceSnapshot,
            ports_.platform.userDefaults, ports_.values.skyLight, ports_.runScript,
            ports_.platform.scheduler} {
    busyStamp_ = busy.subscribe([this](bool isBusy) {
        busySince = isBusy ? std::optional(ports_.platform.scheduler.now()) : std::nullopt;
    });
    auto& defaults = ports_.platform.userDefaults;
    soundSubscription_ = soundID.subscribe(
        [&defaults](const std::string& id) { defaults.set(kConnectSoundKey, id); });
    themeSubscription_ = theme.subscribe([this, &defaults](ThemeChoice choice) {
        defaults.set(kThemeKey, std::string(rawValue(choice)));
        applyTheme(ports_.platform.appearance, choice);
    });
    autoReconnectSubscription_ =
        autoReconnect.subscribe([&defaults](bool on) { defaults.set(kAutoReconnectKey, on); });
}

std::unique_ptr<DockState> DockState::start(Ports ports) {
    auto state = std::make_unique<DockState>(std::move(ports));
    currentState = state.get();
    state->onMainAfter(1500ms, [](DockState& s) { s.reconcile(); });
    state->scanner.start();
    auto& tools = state->ports_.platform.tools;
    state->ports_.platform.scheduler.post(
        Queue::background(), [&tools, base = state->mac.get(), weak = std::weak_ptr(state->self_),
                              &scheduler = state->ports_.platform.scheduler] {
            auto details = hostMacDetails(base, tools);
            scheduler.post(Queue::main(), [weak, details = std::move(details)] {
                if (const auto self = weak.lock()) (*self)->mac.set(details);
            });
        });
    state->scheduleTick();
    auto* raw = state.get();
    state->powerObservation_ = state->ports_.platform.workspace.observePower(
        [raw](PowerEvent event) { raw->powerChanged(event); });
    state->reconfiguration_ = state->ports_.platform.displays.registerReconfigurationCallback(
        [weak = std::weak_ptr(state->self_)](DisplayID, ReconfigurationFlags flags) {
            if (const auto self = weak.lock()) (*self)->displayReconfigured(flags);
        });
    return state;
}

DockState::~DockState() {
    if (currentState == this) currentState = nullptr;
    tickTimer_.cancel();
}

DockState* DockState::current() {
    return currentState;
}

TimerHandle DockState::onMainAfter(Scheduler::Duration delay, MainTask task) const {
    return ports_.platform.scheduler.after(delay, Queue::main(),
                                           [weak = std::weak_ptr(self_), task = std::move(task)] {
                                               if (const auto self = weak.lock()) task(**self);
                                           });
}

void DockState::scheduleTick() {
    tickTimer_ = onMainAfter(kTickInterval, [](DockState& s) {
        s.tick();
        s.scheduleTick();
    });
}

void DockState::tick() {
    releaseStuckBusy();
    if (busy.get()) return;
    reconcile();
    watchdogTick();
}

void DockState::say(const std::string& text, const Device* about, bool offerDisplaySettings) {
    status.set(text);
    if (text.empty()) {
        statusKey.reset();
        needsDisplaySettings.set(false);
    } else {
        statusKey = about != nullptr ? std::optional(about->id) : std::nullopt;
        needsDisplaySettings.set(offerDisplaySettings);
    }
}

void DockState::remember(const std::string& key) {
    std::erase(recentKeys, key);
    recentKeys.insert(recentKeys.begin(), key);
    setDeviceSnapshot(ports_.values.deviceSnapshot, scanner.devices.get(), recentKeys);
}

void DockState::rescan() {
    scanner.start();
}

void DockState::reconcile() {
    const auto& devices = scanner.devices.get();
    setDeviceSnapshot(ports_.values.deviceSnapshot, devices, recentKeys);

    const auto& displays = ports_.platform.displays;
    const auto& virtualDisplay = ports_.virtualDisplay;
    const auto result = readConnections(displays, virtualDisplay, devices, connectedKeys.get(),
                                        busyKey.get(), recentKeys);
    connectedKeys.set(result.connected);
    mirroredKeys.set(result.mirroring);

    if (const auto panel = builtInDisplay(displays, virtualDisplay)) {
        ScreenMapInputs inputs;
        inputs.macID = *panel;
        inputs.macBounds = displays.bounds(*panel);
        inputs.macName = mac.get().shortLabel();
        for (const auto& [key, id] : result.screens) {
            inputs.deviceScreens[key] =
                PlacedScreen{id, displays.bounds(id), displays.mirrorsDisplay(id) != 0};
        }
        inputs.mirroring = result.mirroring;
        inputs.devices = devices;
        if (const auto virtualID = virtualDisplay.current()) {
            inputs.virtualScreen = PlacedScreen{*virtualID, displays.bounds(*virtualID),
                                                displays.mirrorsDisplay(*virtualID) != 0};
        }
        auto map = screenMap(inputs);
        occupied.set(std::move(map.occupied));
        tiles.set(std::move(map.tiles));
    } else {
        occupied.set({});
        tiles.set({});
    }

    // A message about a device that has since come up extended has served its
    // purpose; one about a mirror or an absent device still explains something.
    if (statusKey && result.connected.contains(*statusKey) &&
        !result.mirroring.contains(*statusKey)) {
        say("");
    }
}

bool DockState::needsAccessibility() const {
    return std::ranges::any_of(scanner.devices.get(), [](const Device& device) {
        return device.kind != DeviceKind::ipad;
    });
}

void DockState::reapplySettings() {
    ports_.platform.scheduler.post(
        Queue::background(), [work = work_, devices = scanner.devices.get()] {
            for (const auto& device : devices) {
                const auto display =
                    displayID(work.displays, work.virtualDisplay, work.snapshot, device);
                if (!display) continue;
                if (const auto pref = savedPref(work.defaults, device.id)) {
                    const auto match = matchMode(*pref, displayModes(work.displays, display));
                    // The same size and refresh is not enough: a pin to the HiDPI
                    // mode must replace the plain mode of the same size.
                    if (match && currentMode(work.displays, display) != match) {
                        setMode(work.displays, *match, display);
                    }
                }
                if (const auto side = savedSide(work.defaults, device.id);
                    side && work.displays.mirrorsDisplay(*display) == 0) {
                    arrange(work.displays, work.virtualDisplay, *side, display);
                }
            }
        });
}

std::optional<std::string> DockState::occupantName(Side side, const std::string& excluding) const {
    auto key = occupant(side, excluding, occupied.get());
    if (!key) return std::nullopt;
    if (*key == kVirtualDeviceID) return kVirtualDisplayOccupant;
    if (const auto* device = listedDevice(*key)) return device->name;
    return key;
}

void DockState::place(const std::string& key, Side side) {
    if (const auto name = occupantName(side, key)) {
        say(*name + " is already there");
        return;
    }
    if (key == kVirtualDeviceID) {
        saveSide(ports_.platform.userDefaults, side, kVirtualDeviceID);
        ports_.platform.scheduler.post(
            Queue::background(), [work = work_, side, self = std::weak_ptr(self_)] {
                arrange(work.displays, work.virtualDisplay, side, work.virtualDisplay.current());
                work.scheduler.post(Queue::main(), [self] {
                    if (const auto state = self.lock()) (*state)->reconcile();
                });
            });
        return;
    }
    if (const auto* device = listedDevice(key)) connect(*device, side);
}

const Device* DockState::listedDevice(const std::string& key) const {
    for (const auto& device : scanner.devices.get()) {
        if (device.id == key) return &device;
    }
    return nullptr;
}

void DockState::powerChanged(PowerEvent event) {
    if (event == PowerEvent::willSleep) {
        reconnectAttempts = 0;
        reconnectingUntil.reset();
        return;
    }
    say("");
    scanner.start();
    onMainAfter(2s, [](DockState& s) { s.reapplySettings(); });
    onMainAfter(5s, [](DockState& s) { s.reconcile(); });
    onMainAfter(9s, [](DockState& s) {
        // Only while nothing is busy: a flow in flight owns the screens.
        if (!s.autoReconnect.get() || !s.lastDevice || s.busy.get()) return;
        const auto display =
            displayID(s.work_.displays, s.work_.virtualDisplay, s.work_.snapshot, *s.lastDevice);
        if (!display) s.watchdogTick();
    });
}

void DockState::displayReconfigured(ReconfigurationFlags flags) {
    if ((flags & (kDisplayAddFlag | kDisplaySetModeFlag)) == 0) return;
    onMainAfter(1200ms, [](DockState& s) { s.reapplySettings(); });
}

std::uint64_t DockState::beginBusy(const Device& device) {
    busyKey.set(device.id);
    busy.set(true);
    return ++busyPeriod_;
}

bool DockState::holdsBusy(std::uint64_t period) const {
    return busy.get() && period == busyPeriod_;
}

bool DockState::endsOwnPeriod(std::uint64_t period) {
    if (holdsBusy(period)) return true;
    reconcile();
    return false;
}

void DockState::onMainOf(Scheduler& scheduler, std::weak_ptr<DockState*> weak, MainTask task) {
    scheduler.post(Queue::main(), [weak = std::move(weak), task = std::move(task)] {
        if (const auto self = weak.lock()) task(**self);
    });
}

void DockState::releaseBusy() {
    busy.set(false);
    busyKey.set(std::nullopt);
}

}  // namespace kd
