#pragma once

// The desktop's notification service and the badge on the application's
// icon.
//
// Contract:
// - Called on the main thread; every call returns at once. Delivery happens
//   in the background and a desktop without the service simply shows
//   nothing: callers never learn of a failure.
// - `requestAuthorization` asks for alerts, sounds and the badge; the answer
//   is the system's business.
// - The activation handler runs on the main queue, once per click on a
//   delivered notification, with that notification's thread identifier.

#include <functional>
#include <optional>
#include <string>

namespace kd {

struct UserNotification {
    std::string identifier;  // unique per request
    std::string title;
    std::string body;
    std::string threadIdentifier;  // groups related notifications
    bool defaultSound = true;

    friend bool operator==(const UserNotification&, const UserNotification&) = default;
};

class UserNotifications {
  public:
    using ActivationHandler = std::function<void(const std::string& threadIdentifier)>;

    virtual ~UserNotifications() = default;
    virtual void requestAuthorization() = 0;
    // Shown at once, with a banner and sound even while the application is
    // in front.
    virtual void deliver(const UserNotification& notification) = 0;
    // Absent clears the badge.
    virtual void setBadge(const std::optional<std::string>& text) = 0;
    virtual void setActivationHandler(ActivationHandler handler) = 0;
};

}  // namespace kd
