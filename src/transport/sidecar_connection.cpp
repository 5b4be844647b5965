#include "transport/sidecar_connection.h"

#include <atomic>

#include "transport/sidecar_devices.h"
#include "transport/sidecar_error_text.h"

namespace kd {

namespace {

constexpr std::int64_t kStillBusy = -100;

// Lets a completion through once: the caller's `done` must run exactly once
// however often the framework calls back.
class Once {
  public:
    bool claim() { return !used_.exchange(true); }

  private:
    std::atomic<bool> used_{false};
};

std::optional<std::string> failureText(const std::optional<SidecarError>& error) {
    if (!error) return std::nullopt;
    return sidecarErrorText(*error);
}

}  // namespace

std::string sidecarErrorText(const SidecarError& error) {
    return sidecarErrorText(error.code, error.localizedFailureReason, error.localizedDescription);
}

bool sidecarConnect(const SidecarAccess& access, const Device& device,
                    const std::optional<ModePref>& pref, int retriesLeft, SidecarDone done) {
    const auto manager = sidecarManager(access.sidecarLib.get());
    if (!manager) return false;
    const auto iPad = sidecarDevice(*manager, device);
    if (!iPad) return false;

    auto completion = [access, device, pref, retriesLeft, done = std::move(done),
                       once = std::make_shared<Once>()](const std::optional<SidecarError>& error) {
        if (!once->claim()) return;
        if (error && error->code == kStillBusy && retriesLeft >= 1) {
            access.scheduler.after(
                kSidecarBusyRetryDelay, Queue::main(),
                [access, device, pref, retriesLeft, done, error = *error] {
                    if (!sidecarConnect(access, device, pref, retriesLeft - 1, done)) {
                        done(sidecarErrorText(error));
                    }
                });
            return;
        }
        access.scheduler.post(Queue::main(),
                              [done, failure = failureText(error)] { done(failure); });
    };

    const auto config = manager->configForDevice(*iPad);
    if (!config) {
        manager->connectToDevice(*iPad, std::move(completion));
        return true;
    }
    if (pref) {
        config->setSize(
            SidecarSize{static_cast<double>(pref->width), static_cast<double>(pref->height)});
        config->setScale(pref->hidpi ? 2.0 : 1.0);
    }
    manager->connectToDevice(*iPad, *config, std::move(completion));
    return true;
}

bool sidecarDisconnect(const SidecarAccess& access, const Device& device, SidecarDone done) {
    const auto manager = sidecarManager(access.sidecarLib.get());
    if (!manager) return false;
    auto iPad = sidecarDevice(*manager, device);
    if (!iPad) {
        const auto connected = manager->connectedDevices();
        if (!connected || connected->empty() || !connected->front()) return false;
        iPad = connected->front();
    }
    manager->disconnectFromDevice(
        *iPad, [scheduler = &access.scheduler, done = std::move(done),
                once = std::make_shared<Once>()](const std::optional<SidecarError>& error) {
            if (!once->claim()) return;
            scheduler->post(Queue::main(), [done, failure = failureText(error)] { done(failure); });
        });
    return true;
}

}  // namespace kd
