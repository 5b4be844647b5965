#pragma once

// Records what the application asks of the notification service, and lets a
// test click a delivered notification.

#include <optional>
#include <string>
#include <vector>

#include "platform/user_notifications.h"

namespace kd {

class SimUserNotifications final : public UserNotifications {
  public:
    void requestAuthorization() override { ++authorizationRequests_; }
    void deliver(const UserNotification& notification) override {
        delivered_.push_back(notification);
    }
    void setBadge(const std::optional<std::string>& text) override { badge_ = text; }
    void setActivationHandler(ActivationHandler handler) override {
        activationHandler_ = std::move(handler);
    }

    int authorizationRequests() const { return authorizationRequests_; }
    const std::vector<UserNotification>& delivered() const { return delivered_; }
    const std::optional<std::string>& badge() const { return badge_; }
    // The user clicks the notification of that thread.
    void click(const std::string& threadIdentifier) const {
        if (activationHandler_) activationHandler_(threadIdentifier);
    }

  private:
    int authorizationRequests_ = 0;
    std::vector<UserNotification> delivered_;
    std::optional<std::string> badge_;
    ActivationHandler activationHandler_;
};

}  // namespace kd
