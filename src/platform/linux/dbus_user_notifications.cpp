#include "platform/linux/dbus_user_notifications.h"

#include <systemd/sd-bus.h>

#include <algorithm>
#include <charconv>
#include <deque>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace kd {

namespace {

constexpr const char* kServer = "org.freedesktop.Notifications";
constexpr const char* kServerPath = "/org/freedesktop/Notifications";
constexpr const char* kServerInterface = "org.freedesktop.Notifications";

constexpr const char* kApplicationName = "Kelvane Display";
constexpr const char* kApplicationIcon = "kelvane-display";
constexpr const char* kDesktopEntry = "kelvane-display";
constexpr const char* kCategory = "im.received";
constexpr const char* kSoundName = "message-new-instant";
constexpr const char* kClickAction = "default";
constexpr const char* kClickLabel = "Open";
// Normal, not critical: a critical notification stays until dismissed.
constexpr int kNormalUrgency = 1;
constexpr std::int32_t kServerChosenExpiry = -1;
constexpr const char* kMarkupCapability = "body-markup";

constexpr const char* kLauncherInterface = "com.canonical.Unity.LauncherEntry";
constexpr const char* kLauncherPath = "/com/canonical/unity/launcherentry/kelvane_display";
constexpr const char* kApplicationUri = "application://kelvane-display.desktop";

constexpr std::uint64_t kCallTimeoutMicroseconds =
    std::chrono::duration_cast<std::chrono::microseconds>(kNotificationCallTimeout).count();

struct UnrefMessage {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Message = std::unique_ptr<sd_bus_message, UnrefMessage>;

// D-Bus refuses a whole message for one string that is not UTF-8, so each
// broken sequence shows as one "\uFFFD" instead.
std::string asUtf8(std::string_view text) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string valid;
    valid.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        // The length the lead byte announces, and the range of the byte after
        // it, narrower than a continuation's to refuse overlong forms,
        // surrogates and code points past U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        std::size_t good = length == 0 ? 0 : 1;
        while (good < length && at + good < text.size()) {
            const auto next = static_cast<unsigned char>(text[at + good]);
            if (next < (good == 1 ? low : 0x80) || next > (good == 1 ? high : 0xBF)) break;
            ++good;
        }
        if (length != 0 && good == length) {
            valid.append(text.substr(at, length));
        } else {
            valid.append(kReplacement);
        }
        at += std::max<std::size_t>(good, 1);
    }
    return valid;
}

std::string escapedMarkup(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

bool appendNotify(sd_bus_message* call, const UserNotification& notification, bool markup) {
    const auto title = asUtf8(notification.title);
    const auto body = markup ? escapedMarkup(asUtf8(notification.body)) : asUtf8(notification.body);
    if (sd_bus_message_append(call, "susss", kApplicationName, std::uint32_t{0}, kApplicationIcon,
                              title.c_str(), body.c_str()) < 0 ||
        sd_bus_message_append(call, "as", 2, kClickAction, kClickLabel) < 0 ||
        sd_bus_message_open_container(call, 'a', "{sv}") < 0 ||
        sd_bus_message_append(call, "{sv}", "category", "s", kCategory) < 0 ||
        sd_bus_message_append(call, "{sv}", "desktop-entry", "s", kDesktopEntry) < 0 ||
        sd_bus_message_append(call, "{sv}", "urgency", "y", kNormalUrgency) < 0) {
        return false;
    }
    // Without the default sound the notification is silent, as it is on a
    // Mac, rather than left to the category's sound.
    const int sound = notification.defaultSound
                          ? sd_bus_message_append(call, "{sv}", "sound-name", "s", kSoundName)
                          : sd_bus_message_append(call, "{sv}", "suppress-sound", "b", 1);
    return sound >= 0 && sd_bus_message_close_container(call) >= 0 &&
           sd_bus_message_append(call, "i", kServerChosenExpiry) >= 0;
}

}  // namespace

LauncherCount launcherCount(const std::optional<std::string>& badge) {
    if (!badge) return {};
    std::int64_t count = 0;
    const char* end = badge->data() + badge->size();
    const auto [stop, error] = std::from_chars(badge->data(), end, count);
    if (error != std::errc() || stop != end) return {};
    return {count, true};
}

// What the adapter knows of the notification server on the current
// connection: whether it reads markup, the notifications waiting to learn
// that, the Notify calls waiting for their number, and the notifications it
// showed. Lives on the bus thread.
class DbusUserNotifications::Shown {
  public:
    Shown(Scheduler& scheduler, std::shared_ptr<ActivationHandler> handler)
        : scheduler_(scheduler), handler_(std::move(handler)) {}

    // Numbers from an earlier connection belong to another run of a server.
    void connected(sd_bus* bus) {
        markup_.reset();
        held_.clear();
        numbering_.clear();
        shown_.clear();
        sd_bus_set_method_call_timeout(bus, kCallTimeoutMicroseconds);
        sd_bus_match_signal_async(bus, nullptr, nullptr, kServerPath, kServerInterface,
                                  "ActionInvoked", onActionInvoked, nullptr, this);
        sd_bus_match_signal_async(bus, nullptr, nullptr, kServerPath, kServerInterface,
                                  "NotificationClosed", onClosed, nullptr, this);
    }

    void deliver(sd_bus* bus, const UserNotification& notification) {
        if (markup_) {
            send(bus, notification, *markup_);
            return;
        }
        held_.push_back(notification);
        if (held_.size() == 1) askCapabilities(bus);
    }

  private:
    struct Notification {
        std::uint32_t id;
        std::string server;  // the unique bus name of the server that showed it
        std::string threadIdentifier;
    };

    void askCapabilities(sd_bus* bus) {
        if (sd_bus_call_method_async(bus, nullptr, kServer, kServerPath, kServerInterface,
                                     "GetCapabilities", onCapabilities, this, "") < 0) {
            held_.clear();
        }
    }

    void send(sd_bus* bus, const UserNotification& notification, bool markup) {
        sd_bus_message* raw = nullptr;
        if (sd_bus_message_new_method_call(bus, &raw, kServer, kServerPath, kServerInterface,
                                           "Notify") < 0) {
            return;
        }
        const Message call(raw);
        std::uint64_t cookie = 0;
        if (!appendNotify(call.get(), notification, markup) ||
            sd_bus_call_async(bus, nullptr, call.get(), onNumbered, this, 0) < 0 ||
            sd_bus_message_get_cookie(call.get(), &cookie) < 0) {
            return;
        }
        numbering_[cookie] = notification.threadIdentifier;
    }

    // Without an answer (no server yet, say) the notifications go as plain
    // text, and the next one asks again.
    static int onCapabilities(sd_bus_message* reply, void* self, sd_bus_error*) {
        auto& shown = *static_cast<Shown*>(self);
        bool markup = false;
        if (!sd_bus_message_is_method_error(reply, nullptr) &&
            sd_bus_message_enter_container(reply, 'a', "s") >= 0) {
            const char* capability = nullptr;
            while (sd_bus_message_read(reply, "s", &capability) > 0) {
                markup = markup || std::string_view(capability) == kMarkupCapability;
            }
            shown.markup_ = markup;
        }
        auto* bus = sd_bus_message_get_bus(reply);
        for (const auto& notification : std::exchange(shown.held_, {})) {
            shown.send(bus, notification, markup);
        }
        return 0;
    }

    static int onNumbered(sd_bus_message* reply, void* self, sd_bus_error*) {
        auto& shown = *static_cast<Shown*>(self);
        std::uint64_t cookie = 0;
        if (sd_bus_message_get_reply_cookie(reply, &cookie) < 0) return 0;
        auto waiting = shown.numbering_.extract(cookie);
        std::uint32_t id = 0;
        const char* server = sd_bus_message_get_sender(reply);
        if (waiting.empty() || sd_bus_message_is_method_error(reply, nullptr) || !server ||
            sd_bus_message_read(reply, "u", &id) < 0) {
            return 0;
        }
        shown.shown_.push_back({id, server, std::move(waiting.mapped())});
        if (shown.shown_.size() > kRememberedNotifications) shown.shown_.pop_front();
        return 0;
    }

    static int onActionInvoked(sd_bus_message* signal, void* self, sd_bus_error*) {
        auto& shown = *static_cast<Shown*>(self);
        std::uint32_t id = 0;
        const char* action = nullptr;
        if (sd_bus_message_read(signal, "us", &id, &action) < 0 ||
            std::string_view(action) != kClickAction) {
            return 0;
        }
        const auto clicked = shown.find(signal, id);
        if (clicked == shown.shown_.end()) return 0;
        shown.scheduler_.post(Queue::main(),
                              [handler = shown.handler_, thread = clicked->threadIdentifier] {
                                  if (*handler) (*handler)(thread);
                              });
        return 0;
    }

    static int onClosed(sd_bus_message* signal, void* self, sd_bus_error*) {
        auto& shown = *static_cast<Shown*>(self);
        std::uint32_t id = 0;
        if (sd_bus_message_read(signal, "u", &id) < 0) return 0;
        const auto closed = shown.find(signal, id);
        if (closed != shown.shown_.end()) shown.shown_.erase(closed);
        return 0;
    }

    // Another program's server could send the same number.
    std::deque<Notification>::iterator find(sd_bus_message* signal, std::uint32_t id) {
        const char* sender = sd_bus_message_get_sender(signal);
        if (!sender) return shown_.end();
        return std::find_if(shown_.begin(), shown_.end(), [&](const Notification& notification) {
            return notification.id == id && notification.server == sender;
        });
    }

    Scheduler& scheduler_;
    const std::shared_ptr<ActivationHandler> handler_;
    std::optional<bool> markup_;  // unknown until the server has said
    std::vector<UserNotification> held_;
    std::map<std::uint64_t, std::string> numbering_;  // thread identifiers by call cookie
    std::deque<Notification> shown_;
};

DbusUserNotifications::DbusUserNotifications(Scheduler& scheduler,
                                             std::optional<std::string> busAddress)
    : handler_(std::make_shared<ActivationHandler>()),
      shown_(std::make_unique<Shown>(scheduler, handler_)),
      bus_(std::move(busAddress), [shown = shown_.get()](sd_bus* bus) { shown->connected(bus); }) {}

DbusUserNotifications::~DbusUserNotifications() = default;

// Freedesktop notification servers show whatever a program of the session
// sends them: there is no permission to ask for, and nothing to show the
// user. Whether notifications appear is the user's choice in the desktop's
// own settings.
void DbusUserNotifications::requestAuthorization() {}

void DbusUserNotifications::deliver(const UserNotification& notification) {
    bus_.post(
        [shown = shown_.get(), notification](sd_bus* bus) { shown->deliver(bus, notification); });
}

void DbusUserNotifications::setBadge(const std::optional<std::string>& text) {
    const auto launcher = launcherCount(text);
    bus_.post([launcher](sd_bus* bus) {
        sd_bus_message* raw = nullptr;
        if (sd_bus_message_new_signal(bus, &raw, kLauncherPath, kLauncherInterface, "Update") < 0) {
            return;
        }
        const Message update(raw);
        if (sd_bus_message_append(update.get(), "s", kApplicationUri) < 0 ||
            sd_bus_message_append(update.get(), "a{sv}", 2, "count", "x", launcher.count,
                                  "count-visible", "b", static_cast<int>(launcher.visible)) < 0) {
            return;
        }
        sd_bus_send(bus, update.get(), nullptr);
    });
}

void DbusUserNotifications::setActivationHandler(ActivationHandler handler) {
    *handler_ = std::move(handler);
}

}  // namespace kd
