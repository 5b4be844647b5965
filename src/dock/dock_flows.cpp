// What a click in a device row does: connect (or only move), mirror and
// disconnect, one at a time, with the slow parts on background queues.

#include <string>
#include <utility>

#include "display/arrangement.h"
#include "display/device_display.h"
#include "display/device_prefs.h"
#include "display/inventory.h"
#include "display/mode_matching.h"
#include "display/modes.h"
#include "dock/bounded_poll.h"
#include "dock/dock_state.h"
#include "transport/airplay_mode_script.h"
#include "transport/busy_guard.h"
#include "transport/connect_outcome.h"
#include "transport/mirror_script.h"
#include "transport/sidecar_connection.h"
#include "transport/sidecar_preflight.h"
#include "transport/tv_connect_policy.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

// How long each wait of the flows lasts, and how often a screen is looked for.
constexpr auto kSidecarScreenInterval = 400ms;
constexpr int kSidecarScreenRounds = 30;
constexpr auto kSidecarSettleDelay = 800ms;
constexpr auto kMenuScreenInterval = 500ms;
constexpr int kMenuScreenRounds = 40;
constexpr auto kMenuSettleDelay = 1500ms;
constexpr auto kUnmirrorSettleDelay = 1200ms;
constexpr auto kMenuUnmirrorSettleDelay = 1500ms;
constexpr auto kMirrorSettleDelay = 1000ms;
constexpr auto kDisconnectSettleDelay = 2000ms;

std::string connectingText(const Device& device) {
    return "Connecting to " + device.name + "\u2026";
}

}  // namespace

void DockState::connect(const Device& device, Side side) {
    if (busy.get()) return;
    const bool hasScreen =
        anyDisplayID(work_.displays, work_.virtualDisplay, work_.snapshot, device).has_value();
    if (connectedKeys.get().contains(device.id) && hasScreen) {
        moveScreen(device, side);
        return;
    }
    saveSide(ports_.platform.userDefaults, side, device.id);
    remember(device.id);
    lastDevice = device;
    if (device.kind == DeviceKind::ipad) {
        connectSidecar(device, side);
    } else {
        connectThroughMenu(device, side);
    }
}

void DockState::moveScreen(const Device& device, Side side) {
    saveSide(ports_.platform.userDefaults, side, device.id);
    remember(device.id);
    const auto period = beginBusy(device);
    say("Moving\u2026");
    const auto moved = [work = work_, weak = std::weak_ptr(self_), period,
                        name = device.name](bool ok) {
        onMainOf(work.scheduler, weak, [period, name, ok](DockState& state) {
            if (!state.endsOwnPeriod(period)) return;
            state.releaseBusy();
            state.reconcile();
            state.say(ok ? "" : "Couldn't move " + name);
        });
    };
    ports_.platform.scheduler.post(Queue::background(), [work = work_, device, side, moved] {
        const auto target = anyDisplayID(work.displays, work.virtualDisplay, work.snapshot, device);
        if (!target) {
            moved(false);
            return;
        }
        if (work.displays.mirrorsDisplay(*target) == 0) {
            moved(arrange(work.displays, work.virtualDisplay, side, target));
            return;
        }
        setMirror(work.displays, work.virtualDisplay, false, target);
        work.scheduler.after(kUnmirrorSettleDelay, Queue::background(),
                             [work, side, target, moved] {
                                 moved(arrange(work.displays, work.virtualDisplay, side, target));
                             });
    });
}

void DockState::connectSidecar(const Device& device, Side side) {
    // The preflight asks the Mac's tools, which takes seconds: its warnings
    // join the status line when they are known.
    ports_.platform.scheduler.post(
        Queue::background(), [work = work_, sidecarLib = ports_.values.sidecarLib,
                              &tools = ports_.platform.tools, device, weak = std::weak_ptr(self_)] {
            auto found = sidecarPreflight(
                sidecarLib.get(), SidecarPreflightProbes{work.displays, work.virtualDisplay, tools},
                device);
            work.scheduler.post(Queue::main(), [weak, found = std::move(found)] {
                if (const auto self = weak.lock()) (*self)->warnings.set(found);
            });
        });
    const auto period = beginBusy(device);
    say(connectingText(device));
    const auto pref = savedPref(ports_.platform.userDefaults, device.id);
    const auto done = [weak = std::weak_ptr(self_), period, device, side,
                       pref](const std::optional<std::string>& failure) {
        const auto self = weak.lock();
        if (!self) return;
        auto& state = **self;
        if (!state.endsOwnPeriod(period)) return;
        if (failure) {
            state.releaseBusy();
            state.say(*failure, &device);
            return;
        }
        const auto work = state.work_;
        const auto finish = [work, weak, period, device] {
            work.scheduler.post(Queue::main(), [weak, period, device] {
                if (const auto self = weak.lock())
                    (*self)->connectFinished(period, device, false, true);
            });
        };
        pollUntil(
            work.scheduler, Queue::background(), kSidecarScreenInterval, kSidecarScreenRounds,
            [work, device] {
                return displayID(work.displays, work.virtualDisplay, work.snapshot, device)
                    .has_value();
            },
            [work, device, side, pref, finish](bool appeared) {
                if (!appeared) {
                    finish();
                    return;
                }
                work.scheduler.after(
                    kSidecarSettleDelay, Queue::background(), [work, device, side, pref, finish] {
                        const auto display =
                            displayID(work.displays, work.virtualDisplay, work.snapshot, device);
                        arrange(work.displays, work.virtualDisplay, side, display);
                        const auto modes = displayModes(work.displays, display);
                        cacheModes(work.defaults, modes, device.id);
                        if (pref) {
                            if (const auto match = matchMode(*pref, modes)) {
                                setMode(work.displays, *match, display);
                            }
                        }
                        finish();
                    });
            });
    };
    if (sidecarConnect(SidecarAccess{ports_.values.sidecarLib, ports_.platform.scheduler}, device,
                       pref, 1, done)) {
        return;
    }
    // No Sidecar, or it does not know this iPad: the Screen Mirroring menu may.
    releaseBusy();
    connectThroughMenu(device, side);
}

void DockState::connectFinished(std::uint64_t period, const Device& device, bool airPlay,
                                bool playSound) {
    if (!endsOwnPeriod(period)) return;
    reconcile();
    releaseBusy();
    report(device, airPlay);
    if (playSound) playConnectSound(sounds_, soundID.get());
}

bool DockState::menuAllowed() {
    if (ports_.platform.accessibility.isProcessTrusted(true)) return true;
    say(kAllowAccessibilityText);
    return false;
}

void DockState::runMenuConnect(std::uint64_t period, const Device& device, AirPlayMode mode,
                               std::function<void(const Work&)> afterScreen) {
    ports_.platform.scheduler.post(Queue::background(), [work = work_, device, mode,
                                                         excluded = scanner.knownKeys(), period,
                                                         weak = std::weak_ptr(self_),
                                                         afterScreen = std::move(afterScreen)] {
        setTVConnectPolicy(work.skyLight, tvConnectPolicyFor(mode));
        const auto before = onlineDisplays(work.displays).size();
        const auto result =
            toggleDevice(device.matchKeys, excluded, MirrorIntent::connect, work.runScript);
        if (!result.ok) {
            onMainOf(work.scheduler, weak, [period, device, out = result.out](DockState& state) {
                if (!state.endsOwnPeriod(period)) return;
                state.releaseBusy();
                state.say("Error: " + out, &device);
            });
            return;
        }
        // The panel is answered while the screen comes up; what it says
        // changes nothing here.
        work.scheduler.post(Queue::background(), [run = work.runScript, mode, name = device.name] {
            chooseAirPlayMode(mode, name, run);
        });
        work.scheduler.post(Queue::main(), [weak, period, device] {
            const auto self = weak.lock();
            if (!self || !(*self)->holdsBusy(period)) return;
            (*self)->say("Waiting for " + device.name + " to hand over a screen\u2026", &device);
        });
        pollUntil(
            work.scheduler, Queue::background(), kMenuScreenInterval, kMenuScreenRounds,
            [work, device, before] {
                return displayID(work.displays, work.virtualDisplay, work.snapshot, device) ||
                       onlineDisplays(work.displays).size() > before;
            },
            [work, afterScreen](bool) {
                work.scheduler.after(kMenuSettleDelay, Queue::background(),
                                     [work, afterScreen] { afterScreen(work); });
            });
    });
}

void DockState::connectThroughMenu(const Device& device, Side side) {
    if (!menuAllowed()) return;
    const auto period = beginBusy(device);
    say(connectingText(device));
    const auto finish = [weak = std::weak_ptr(self_), period, device](const Work& work,
                                                                      bool playSound) {
        work.scheduler.post(Queue::main(), [weak, period, device, playSound] {
            if (const auto self = weak.lock()) {
                (*self)->connectFinished(period, device, true, playSound);
            }
        });
    };
    const auto settle = [device, finish](const Work& work) {
        const auto display = displayID(work.displays, work.virtualDisplay, work.snapshot, device);
        if (!display) {
            finish(work, false);
            return;
        }
        const auto modes = displayModes(work.displays, display);
        cacheModes(work.defaults, modes, device.id);
        const auto current = currentMode(work.displays, display);
        const auto pref = savedPref(work.defaults, device.id);
        const auto match = pref ? matchMode(*pref, modes) : std::nullopt;
        if (match) {
            if (current != match) setMode(work.displays, *match, display);
        } else if (const auto recommended = recommendedMode(work.displays, display)) {
            if (!current || current->id != recommended->id) {
                setMode(work.displays, *recommended, display);
            }
        }
        finish(work, true);
    };
    runMenuConnect(period, device, AirPlayMode::extend, [device, side, settle](const Work& work) {
        const auto target = anyDisplayID(work.displays, work.virtualDisplay, work.snapshot, device);
        if (target && work.displays.mirrorsDisplay(*target) != 0) {
            setMirror(work.displays, work.virtualDisplay, false, target);
            work.scheduler.after(kMenuUnmirrorSettleDelay, Queue::background(),
                                 [work, side, target, settle] {
                                     arrange(work.displays, work.virtualDisplay, side, target);
                                     settle(work);
                                 });
            return;
        }
        if (target) arrange(work.displays, work.virtualDisplay, side, target);
        settle(work);
    });
}

void DockState::mirror(const Device& device) {
    if (busy.get()) return;
    remember(device.id);
    if (!connectedKeys.get().contains(device.id)) {
        mirrorThroughMenu(device);
        return;
    }
    const auto period = beginBusy(device);
    say("Mirroring\u2026");
    ports_.platform.scheduler.post(Queue::background(), [work = work_, device, period,
                                                         weak = std::weak_ptr(self_)] {
        const auto target = anyDisplayID(work.displays, work.virtualDisplay, work.snapshot, device);
        const bool ok = target && setMirror(work.displays, work.virtualDisplay, true, target);
        onMainOf(work.scheduler, weak, [period, ok](DockState& state) {
            if (!state.endsOwnPeriod(period)) return;
            state.releaseBusy();
            state.reconcile();
            state.say(ok ? "" : "Failed to mirror");
            if (ok) playConnectSound(state.sounds_, state.soundID.get());
        });
    });
}

void DockState::mirrorThroughMenu(const Device& device) {
    if (!menuAllowed()) return;
    const auto period = beginBusy(device);
    say(connectingText(device));
    runMenuConnect(
        period, device, AirPlayMode::duplicate,
        [device, period, weak = std::weak_ptr(self_)](const Work& work) {
            const auto target =
                anyDisplayID(work.displays, work.virtualDisplay, work.snapshot, device);
            if (target) setMirror(work.displays, work.virtualDisplay, true, target);
            work.scheduler.after(kMirrorSettleDelay, Queue::main(), [weak, period, device] {
                const auto self = weak.lock();
                if (!self) return;
                auto& state = **self;
                if (!state.endsOwnPeriod(period)) return;
                // Believed connected, so a mirror the system hides
                // is counted as this device's.
                auto keys = state.connectedKeys.get();
                keys.insert(device.id);
                state.connectedKeys.set(std::move(keys));
                state.reconcile();
                state.releaseBusy();
                const bool shows = state.connectedKeys.get().contains(device.id);
                state.say(shows ? "" : device.name + " connected, but no second screen appeared",
                          &device);
                playConnectSound(state.sounds_, state.soundID.get());
            });
        });
}

void DockState::disconnect(const Device& device) {
    if (busy.get()) return;
    lastDevice.reset();
    reconnectAttempts = 0;
    if (device.kind == DeviceKind::ipad) {
        const auto period = beginBusy(device);
        say("Disconnecting\u2026");
        const auto done = [weak = std::weak_ptr(self_), period,
                           device](const std::optional<std::string>& failure) {
            if (const auto self = weak.lock()) (*self)->disconnected(period, device, failure);
        };
        if (sidecarDisconnect(SidecarAccess{ports_.values.sidecarLib, ports_.platform.scheduler},
                              device, done)) {
            return;
        }
        releaseBusy();
    }
    disconnectThroughMenu(device);
}

void DockState::disconnectThroughMenu(const Device& device) {
    if (!menuAllowed()) return;
    const auto period = beginBusy(device);
    say("Disconnecting\u2026");
    ports_.platform.scheduler.post(
        Queue::background(), [work = work_, device, excluded = scanner.knownKeys(), period,
                              weak = std::weak_ptr(self_)] {
            const auto result =
                toggleDevice(device.matchKeys, excluded, MirrorIntent::disconnect, work.runScript);
            const auto failure = result.ok ? std::nullopt : std::optional("Error: " + result.out);
            work.scheduler.after(result.ok ? Scheduler::Duration(kDisconnectSettleDelay)
                                           : Scheduler::Duration::zero(),
                                 Queue::main(), [weak, period, device, failure] {
                                     if (const auto self = weak.lock()) {
                                         (*self)->disconnected(period, device, failure);
                                     }
                                 });
        });
}

void DockState::disconnected(std::uint64_t period, const Device& device,
                             const std::optional<std::string>& failure) {
    if (!endsOwnPeriod(period)) return;
    releaseBusy();
    if (failure) {
        say(*failure);
        return;
    }
    auto connected = connectedKeys.get();
    connected.erase(device.id);
    connectedKeys.set(std::move(connected));
    auto mirrored = mirroredKeys.get();
    mirrored.erase(device.id);
    mirroredKeys.set(std::move(mirrored));
    // Forgotten, so a device connected later does not inherit its place.
    std::erase(recentKeys, device.id);
    reconcile();
    say("");
    playDisconnectSound(sounds_, soundID.get());
}

void DockState::releaseStuckBusy() {
    if (!busyIsStuck(busy.get(), busySince, ports_.platform.scheduler.now(), kBusyCeiling)) return;
    const auto* device = busyKey.get() ? listedDevice(*busyKey.get()) : nullptr;
    const auto text = device != nullptr
                          ? device->name + " never answered \u2014 nothing changed. Try again."
                          : std::string("That took too long \u2014 nothing changed. Try again.");
    releaseBusy();
    say(text);
}

void DockState::report(const Device& device, bool airPlay) {
    const bool connected = connectedKeys.get().contains(device.id);
    const bool mirroring = mirroredKeys.get().contains(device.id);
    const auto outcome = !connected  ? ConnectOutcome::sessionWithoutDisplay
                         : mirroring ? ConnectOutcome::duplicating
                                     : ConnectOutcome::extended;
    say(outcomeMessage(outcome, device.name, airPlay).value_or(""), &device, airPlay && !connected);
}

}  // namespace kd
