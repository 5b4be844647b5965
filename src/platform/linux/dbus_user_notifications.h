#pragma once

// Notifications through the desktop's notification server
// (org.freedesktop.Notifications) and the count on the application's
// launcher icon (com.canonical.Unity.LauncherEntry), both over the session
// bus with sd-bus.
//
// Beyond the UserNotifications port's contract:
// - Every D-Bus call is made on the adapter's own bus thread, each reply
//   awaited for at most kNotificationCallTimeout. Without a session bus or a
//   notification server, nothing is shown and nothing is said; the next call
//   tries the bus again.
// - Text that is not UTF-8 shows with "\uFFFD" for each broken sequence,
//   rather than not at all.
// - Body text is escaped for the servers that read it as markup, so that
//   "<" and "&" show as typed.
// - A launcher shows a number only, so a badge that is not a whole number
//   hides the count, as an absent one does.
// - A click is a notification server's "default" action, taken only from
//   the server that showed that notification; a notification is forgotten
//   once its server reports it closed (or when there are more than
//   kRememberedNotifications), and clicks on it are then ignored.
// - The scheduler must outlive the adapter; destruction stops the bus
//   thread without waiting for the bus.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/sd_bus_thread.h"
#include "platform/scheduler.h"
#include "platform/user_notifications.h"

namespace kd {

inline constexpr std::chrono::seconds kNotificationCallTimeout{2};
inline constexpr std::size_t kRememberedNotifications = 100;

// What the launcher is told for a badge text.
struct LauncherCount {
    std::int64_t count = 0;
    bool visible = false;

    friend bool operator==(const LauncherCount&, const LauncherCount&) = default;
};
LauncherCount launcherCount(const std::optional<std::string>& badge);

class DbusUserNotifications final : public UserNotifications {
  public:
    // `busAddress` names the bus to use; none means the user's session bus.
    explicit DbusUserNotifications(Scheduler& scheduler,
                                   std::optional<std::string> busAddress = std::nullopt);
    ~DbusUserNotifications() override;

    void requestAuthorization() override;
    void deliver(const UserNotification& notification) override;
    void setBadge(const std::optional<std::string>& text) override;
    void setActivationHandler(ActivationHandler handler) override;

  private:
    class Shown;

    // Set and called on the main thread only; the bus thread hands out copies
    // of the pointer.
    const std::shared_ptr<ActivationHandler> handler_;
    // Used on the bus thread only; declared before it, so that it outlives it.
    const std::unique_ptr<Shown> shown_;
    SdBusThread bus_;
};

}  // namespace kd
