// Bringing back an iPad the user connected when it drops off, within a
// window, pausing when it keeps dropping.

#include "display/arrangement.h"
#include "display/device_display.h"
#include "display/device_prefs.h"
#include "dock/dock_state.h"
#include "transport/sidecar_connection.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

// Sidecar needs a moment after connecting before the screen can be moved.
constexpr auto kReconnectPlaceDelay = 1500ms;

}  // namespace

void DockState::watchdogTick() {
    if (!autoReconnect.get()) return;
    if (!lastDevice || lastDevice->kind != DeviceKind::ipad) {
        reconnectAttempts = 0;
        reconnectingUntil.reset();
        return;
    }
    if (anyDisplayID(work_.displays, work_.virtualDisplay, work_.snapshot, *lastDevice)) {
        reconnectAttempts = 0;
        reconnectingUntil.reset();
        return;
    }
    // A Sidecar connect outlasts a tick; a second attempt beside it would
    // only collide with it.
    if (reconnecting_) return;
    const auto now = ports_.platform.scheduler.now();
    if (reconnectingUntil && now > *reconnectingUntil) {
        if (reconnectAttempts < kReconnectPauseAttempts) return;
        say(lastDevice->name + " keeps dropping \u2014 auto-reconnect paused", &*lastDevice);
        lastDevice.reset();
        reconnectAttempts = 0;
        reconnectingUntil.reset();
        return;
    }
    if (!reconnectingUntil) reconnectingUntil = now + kReconnectWindow;
    ++reconnectAttempts;
    const Device device = *lastDevice;
    say("Reconnecting to " + device.name + "\u2026", &device);
    reconnecting_ = sidecarConnect(
        SidecarAccess{ports_.values.sidecarLib, ports_.platform.scheduler}, device,
        savedPref(ports_.platform.userDefaults, device.id), 1,
        [weak = std::weak_ptr(self_), device](const std::optional<std::string>& failure) {
            if (const auto self = weak.lock()) (*self)->reconnected(device, failure);
        });
}

bool DockState::stillWatching(const Device& device) const {
    return lastDevice && lastDevice->id == device.id;
}

void DockState::reconnected(const Device& device, const std::optional<std::string>& failure) {
    reconnecting_ = false;
    // The user may have disconnected it, or connected something else, while
    // the attempt ran: then its result is no longer wanted.
    if (!stillWatching(device)) {
        reconcile();
        return;
    }
    if (failure) {
        say(*failure, &device);
        return;
    }
    auto connected = connectedKeys.get();
    connected.insert(device.id);
    connectedKeys.set(std::move(connected));
    reconcile();
    say("");
    onMainAfter(kReconnectPlaceDelay, [device](DockState& state) {
        if (!state.stillWatching(device)) return;
        const auto side =
            savedSide(state.ports_.platform.userDefaults, device.id).value_or(Side::right);
        state.ports_.platform.scheduler.post(
            Queue::background(),
            [work = state.work_, device, side, weak = std::weak_ptr(state.self_)] {
                arrange(work.displays, work.virtualDisplay, side,
                        displayID(work.displays, work.virtualDisplay, work.snapshot, device));
                work.scheduler.post(Queue::main(), [weak] {
                    if (const auto self = weak.lock()) (*self)->reapplySettings();
                });
            });
    });
}

}  // namespace kd
