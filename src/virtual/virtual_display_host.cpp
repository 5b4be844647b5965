#include "virtual/virtual_display_host.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "display/arrangement.h"
#include "display/device_prefs.h"
#include "display/inventory.h"
#include "dock/dock_state.h"
#include "model/device.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

constexpr auto kReadBackDelay = 800ms;
constexpr auto kPlacementDelay = 600ms;
constexpr auto kUnmirrorSettle = 800ms;
constexpr auto kCompanionsDelay = 800ms;
constexpr auto kTeardownPoll = 150ms;
constexpr auto kNoTeardownWait = 300ms;
constexpr double kTeardownPollSeconds = 0.15;
constexpr double kTeardownPatienceSeconds = 2.0;

bool isOnline(const DisplayServices& displays, DisplayID display) {
    const auto online = onlineDisplays(displays);
    return std::find(online.begin(), online.end(), display) != online.end();
}

// Work off the main queue may outlive the host, so it names the virtual
// display by the id it carries instead of reading the host's identity.
void arrangeVirtual(DisplayServices& displays, Side side, DisplayID display) {
    VirtualDisplayIdentity identity;
    identity.publish(display);
    arrange(displays, identity, side, display);
}

void unmirrorVirtual(DisplayServices& displays, DisplayID display) {
    VirtualDisplayIdentity identity;
    identity.publish(display);
    setMirror(displays, identity, false, display);
}

}  // namespace

VirtualDisplayHost::VirtualDisplayHost(Platform& platform, const SerialDraw& draw)
    : platform_(platform),
      sounds_{platform.sound, platform.soundsFolder, platform.scheduler},
      installID_(kd::installID(platform.userDefaults, draw)) {
    const auto settings = loadVirtualSettings(platform.userDefaults);
    width.set(settings.width);
    height.set(settings.height);
    refresh.set(settings.refresh);
    hidpi.set(settings.hidpi);
    for (auto& [field, key] :
         {std::pair{&width, kVirtualWidthKey}, std::pair{&height, kVirtualHeightKey},
          std::pair{&refresh, kVirtualRefreshKey}}) {
        sizeSubscriptions_.push_back(field->subscribe(
            [this, key = key](int value) { storeAndRestart(key, std::int64_t{value}); }));
    }
    hidpiSubscription_ =
        hidpi.subscribe([this](bool on) { storeAndRestart(kVirtualHiDPIKey, on); });
}

VirtualDisplayHost::~VirtualDisplayHost() = default;

void VirtualDisplayHost::storeAndRestart(const char* key, PrefValue value) {
    platform_.userDefaults.set(key, std::move(value));
    restartIfRunning();
}

void VirtualDisplayHost::setCompanions(VirtualCompanions companions) {
    companions_ = std::move(companions);
}

void VirtualDisplayHost::onMainAfter(Scheduler::Duration delay, MainTask task) const {
    platform_.scheduler.after(delay, Queue::main(),
                              [weak = std::weak_ptr(self_), task = std::move(task)] {
                                  if (const auto self = weak.lock()) task(**self);
                              });
}

void VirtualDisplayHost::setDisplayID(std::optional<DisplayID> display) {
    // Readers off the main thread learn first, so no subscriber told of the
    // new id can meet an inventory that still counts the screen as external.
    identity_.publish(display);
    displayID.set(display);
}

std::string VirtualDisplayHost::soundID() const {
    return platform_.userDefaults.text(kConnectSoundKey).value_or(kDefaultSoundID);
}

std::vector<PixelSize> VirtualDisplayHost::modeLadder() const {
    return virtualModeLadder(width.get(), height.get(), hidpi.get());
}

VirtualDisplayDescriptor VirtualDisplayHost::describe(std::uint64_t startGeneration) const {
    const std::uint32_t scale = hidpi.get() ? 2 : 1;
    VirtualDisplayDescriptor descriptor;
    descriptor.name = kVirtualDisplayName;
    descriptor.maxPixelsWide = static_cast<std::uint32_t>(width.get()) * scale;
    descriptor.maxPixelsHigh = static_cast<std::uint32_t>(height.get()) * scale;
    descriptor.widthMillimeters = millimetresAt110PerInch(width.get());
    descriptor.heightMillimeters = millimetresAt110PerInch(height.get());
    descriptor.productID = kVirtualDisplayProductID;
    descriptor.vendorID = kVirtualDisplayVendorID;
    descriptor.serialNum = installID_;
    descriptor.queue = Queue::serial(kVirtualDisplayQueueLabel);
    descriptor.terminationHandler = [&scheduler = platform_.scheduler, weak = std::weak_ptr(self_),
                                     startGeneration] {
        scheduler.post(Queue::main(), [weak, startGeneration] {
            if (const auto self = weak.lock()) (*self)->terminated(startGeneration);
        });
    };
    return descriptor;
}

void VirtualDisplayHost::start() {
    if (display_) return;
    const auto startGeneration = ++generation_;
    status.set("");
    // A restart that fails must not mute the next start the user makes.
    const bool silent = std::exchange(silentRestart_, false);

    auto display = platform_.virtualDisplays.create(describe(startGeneration));
    if (!display) {
        status.set(kVirtualRefusedText);
        return;
    }
    VirtualDisplaySettings settings{hidpi.get(), {}};
    for (const auto& size : modeLadder()) {
        settings.modes.push_back({size.width, size.height, double(refresh.get())});
    }
    if (!display->applySettings(settings)) {
        status.set(kVirtualRejectedModesText);
        return;  // releasing it removes whatever the system brought up
    }

    const auto id = display->displayID();
    display_ = std::move(display);
    displayGeneration_ = startGeneration;
    setDisplayID(id);

    onMainAfter(kReadBackDelay, [id, startGeneration](VirtualDisplayHost& h) {
        h.readBackMode(id, startGeneration);
    });
    place(id, startGeneration);
    if (!silent) playConnectSound(sounds_, soundID());
}

// The system may bring the screen up mirroring another; it is unmirrored
// first and given time to settle, then put on its side. Each step off the
// main queue goes ahead only while the start that scheduled it is current.
void VirtualDisplayHost::place(DisplayID display, std::uint64_t startGeneration) {
    const auto side = savedSide(platform_.userDefaults, kVirtualDeviceID).value_or(Side::right);
    auto& scheduler = platform_.scheduler;
    auto& displays = platform_.displays;
    const auto whileCurrent = [weak = std::weak_ptr(self_), &scheduler, startGeneration](
                                  Scheduler::Duration delay, std::function<void()> work) {
        scheduler.after(delay, Queue::main(),
                        [weak, &scheduler, startGeneration, work = std::move(work)] {
                            const auto self = weak.lock();
                            if (!self || (*self)->generation_ != startGeneration) return;
                            scheduler.post(Queue::background(), work);
                        });
    };
    const auto arrangeThenReconcile = [&displays, &scheduler, side, display,
                                       weak = std::weak_ptr(self_)] {
        arrangeVirtual(displays, side, display);
        scheduler.post(Queue::main(), [weak] {
            if (!weak.lock()) return;
            if (auto* dock = DockState::current()) dock->reconcile();
        });
    };
    whileCurrent(kPlacementDelay, [&displays, display, whileCurrent, arrangeThenReconcile] {
        if (displays.mirrorsDisplay(display) == 0) {
            arrangeThenReconcile();
            return;
        }
        unmirrorVirtual(displays, display);
        whileCurrent(kUnmirrorSettle, arrangeThenReconcile);
    });
}

void VirtualDisplayHost::readBackMode(DisplayID display, std::uint64_t startGeneration) {
    if (generation_ != startGeneration) return;
    if (!isOnline(platform_.displays, display)) {
        stop();
        status.set(hidpi.get() ? kVirtualTooLargeForRetinaText : kVirtualTooLargeText);
        return;
    }
    if (const auto mode = platform_.displays.currentMode(display)) {
        actual.set(actualModeText(*mode));
    }
}

void VirtualDisplayHost::stop() {
    if (!display_) return;
    ++generation_;
    if (companions_.closePreview) companions_.closePreview();
    if (companions_.stopSharing) companions_.stopSharing();
    display_.reset();
    actual.set("");
    setDisplayID(std::nullopt);
    status.set("");
    if (!silentRestart_) playDisconnectSound(sounds_, soundID());
}

void VirtualDisplayHost::toggle() {
    if (displayID.get()) {
        stop();
    } else {
        start();
    }
}

void VirtualDisplayHost::restartIfRunning() {
    const auto old = displayID.get();
    if (!old) return;
    const bool sharing = companions_.isSharing && companions_.isSharing();
    const bool previewing = companions_.isPreviewing && companions_.isPreviewing();
    silentRestart_ = true;
    stop();
    const auto stopped = generation_;
    waitForTeardown(old, [weak = std::weak_ptr(self_), stopped, sharing, previewing] {
        const auto self = weak.lock();
        // A start or stop by the user meanwhile has the last word.
        if (!self || (*self)->generation_ != stopped) return;
        auto& host = **self;
        host.start();
        if (!sharing && !previewing) return;
        const auto started = host.generation_;
        host.onMainAfter(kCompanionsDelay, [started, sharing, previewing](VirtualDisplayHost& h) {
            const auto id = h.displayID.get();
            if (h.generation_ != started || !id) return;
            if (sharing && h.companions_.startSharing) h.companions_.startSharing(*id);
            if (previewing && h.companions_.showPreview) h.companions_.showPreview(*id);
        });
    });
}

void VirtualDisplayHost::waitForTeardown(std::optional<DisplayID> display,
                                         std::function<void()> then) {
    if (!display) {
        onMainAfter(kNoTeardownWait, [then = std::move(then)](VirtualDisplayHost&) { then(); });
        return;
    }
    pollTeardown(*display, 0, std::move(then));
}

void VirtualDisplayHost::pollTeardown(DisplayID display, double waited,
                                      std::function<void()> then) {
    onMainAfter(kTeardownPoll, [display, waited, then = std::move(then)](VirtualDisplayHost& h) {
        if (!isOnline(h.platform_.displays, display) || waited > kTeardownPatienceSeconds) {
            then();
            return;
        }
        h.pollTeardown(display, waited + kTeardownPollSeconds, then);
    });
}

void VirtualDisplayHost::terminated(std::uint64_t startGeneration) {
    // The handler of a display already replaced must leave the new one alone.
    if (!display_ || displayGeneration_ != startGeneration) return;
    display_.reset();
    setDisplayID(std::nullopt);
    actual.set("");
    if (companions_.stopSharing) companions_.stopSharing();
}

}  // namespace kd
