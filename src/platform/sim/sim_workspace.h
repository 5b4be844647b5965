#pragma once

// The simulated workspace: the Mac goes to sleep and wakes when a test or
// the simulator says so.

#include <cstdint>
#include <map>
#include <memory>

#include "platform/scheduler.h"
#include "platform/workspace.h"

namespace kd {

class SimWorkspace : public Workspace {
  public:
    explicit SimWorkspace(Scheduler& scheduler) : scheduler_(scheduler) {}

    std::unique_ptr<WorkspaceObservation> observePower(Observer observer) override;

    // Simulator controls: each tells every observer, on the main queue.
    void sleep() { tell(PowerEvent::willSleep); }
    void wake() { tell(PowerEvent::didWake); }

  private:
    class Observation;
    void tell(PowerEvent event);

    Scheduler& scheduler_;
    // Shared with the observations and the posted notifications, which may
    // outlive this object; touched on the main thread only.
    std::shared_ptr<std::map<std::uint64_t, Observer>> observers_ =
        std::make_shared<std::map<std::uint64_t, Observer>>();
    std::uint64_t nextID_ = 0;
};

}  // namespace kd
