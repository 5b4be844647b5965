#pragma once

// The notification centre of one process, on every platform: posts travel
// through the Scheduler's main queue and nowhere else.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/notification_center.h"
#include "platform/scheduler.h"

namespace kd {

class InProcessNotificationCenter final : public NotificationCenter {
  public:
    // The scheduler must outlive the centre; posts still pending when the
    // centre goes are dropped.
    explicit InProcessNotificationCenter(Scheduler& scheduler);

    void post(const std::string& name) override;
    [[nodiscard]] Observation observe(const std::string& name, Observer observer) override;

  private:
    // Main thread only. By id, so iterating walks them in the order they began.
    using Observers = std::map<std::uint64_t, std::pair<std::string, Observer>>;

    Scheduler& scheduler_;
    std::shared_ptr<Observers> observers_ = std::make_shared<Observers>();
    std::uint64_t nextId_ = 0;
};

}  // namespace kd
