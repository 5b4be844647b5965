#pragma once

// Connecting and disconnecting an iPad through Sidecar.
//
// Contract: call on the main thread. A call that returns true has started
// the work and will call `done` exactly once, later, on the main queue: with
// nothing on success or one English sentence saying what went wrong. A call
// that returns false (no Sidecar, no matching iPad) never calls `done`.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "display/mode_pref.h"
#include "model/device.h"
#include "platform/scheduler.h"
#include "platform/sidecar_core.h"

namespace kd {

// What the Sidecar calls need from the process: its SidecarCore handle (null
// when Sidecar is unavailable) and the scheduler that owns the main queue.
struct SidecarAccess {
    std::shared_ptr<SidecarCoreFramework> sidecarLib;
    Scheduler& scheduler;
};

using SidecarDone = std::function<void(std::optional<std::string> failure)>;

// How long a retry waits after Sidecar answered "still busy" (-100).
inline constexpr std::chrono::milliseconds kSidecarBusyRetryDelay{2500};

// Connects with the configuration Sidecar proposes, resized to `pref` (its
// size, at scale 2 when HiDPI, else 1) when both exist; Sidecar picks the
// refresh rate itself. "Still busy" is retried after kSidecarBusyRetryDelay
// as long as `retriesLeft` lasts; any other failure is reported at once.
bool sidecarConnect(const SidecarAccess& access, const Device& device,
                    const std::optional<ModePref>& pref, int retriesLeft, SidecarDone done);

// Disconnects the iPad of `device`, or the first connected iPad when none
// matches any more. Never retried.
bool sidecarDisconnect(const SidecarAccess& access, const Device& device, SidecarDone done);

std::string sidecarErrorText(const SidecarError& error);

}  // namespace kd
