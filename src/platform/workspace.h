#pragma once

// The workspace's power notifications: the Mac is about to sleep, or has just
// woken.
//
// Contract: observers are called on the main queue, in the order they were
// added, once per notification. The returned token stops its observer when
// destroyed; it must be destroyed on the main thread, and after that its
// observer is never called.

#include <functional>
#include <memory>

namespace kd {

enum class PowerEvent { willSleep, didWake };

class WorkspaceObservation {
  public:
    virtual ~WorkspaceObservation() = default;
};

class Workspace {
  public:
    using Observer = std::function<void(PowerEvent event)>;

    virtual ~Workspace() = default;
    [[nodiscard]] virtual std::unique_ptr<WorkspaceObservation> observePower(Observer observer) = 0;
};

}  // namespace kd
