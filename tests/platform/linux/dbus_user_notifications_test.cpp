#include "platform/linux/dbus_user_notifications.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/sd_bus_thread.h"
#include "platform/linux/thread_scheduler.h"
#include "platform/unique_fd.h"
#include "support/private_session_bus.h"
#include "support/saved_variable.h"
#include "support/test_main_loop.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Long enough for a loaded sanitizer run; reached only when a test fails.
constexpr auto kBusPatience = 20s;

TEST(LauncherCountTest, OnlyAWholeNumberShowsOnTheLauncher) {
    EXPECT_EQ(launcherCount(std::nullopt), (LauncherCount{0, false}));
    EXPECT_EQ(launcherCount("3"), (LauncherCount{3, true}));
    EXPECT_EQ(launcherCount("0"), (LauncherCount{0, true}));
    EXPECT_EQ(launcherCount("1250"), (LauncherCount{1250, true}));
    for (const auto* text : {"", "new", "3+", " 3", "2.5", "•", "99999999999999999999"}) {
        EXPECT_EQ(launcherCount(std::string(text)), (LauncherCount{0, false})) << text;
    }
}

struct ReceivedNotify {
    std::string appName;
    std::uint32_t replacesId = 0;
    std::string icon;
    std::string summary;
    std::string body;
    std::vector<std::string> actions;
    std::map<std::string, std::string> hints;  // values as "type value"
    std::int32_t expireTimeout = 0;
    std::uint32_t id = 0;  // the number the server gave it
};

struct ReceivedLauncherUpdate {
    std::string path;
    std::string uri;
    std::map<std::string, std::string> properties;  // values as "type value"
};

// The type and value of the variant the message is at, as text.
std::string readVariant(sd_bus_message* message) {
    char type = 0;
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(message, &type, &contents) < 0 ||
        sd_bus_message_enter_container(message, 'v', contents) < 0) {
        return "unreadable";
    }
    std::string text = std::string(contents) + " ";
    if (std::strcmp(contents, "s") == 0) {
        const char* value = nullptr;
        sd_bus_message_read(message, "s", &value);
        text += value;
    } else if (std::strcmp(contents, "y") == 0) {
        std::uint8_t value = 0;
        sd_bus_message_read(message, "y", &value);
        text += std::to_string(value);
    } else if (std::strcmp(contents, "b") == 0) {
        int value = 0;
        sd_bus_message_read(message, "b", &value);
        text += std::to_string(value);
    } else if (std::strcmp(contents, "x") == 0) {
        std::int64_t value = 0;
        sd_bus_message_read(message, "x", &value);
        text += std::to_string(value);
    } else {
        sd_bus_message_skip(message, contents);
    }
    sd_bus_message_exit_container(message);
    return text;
}

std::map<std::string, std::string> readProperties(sd_bus_message* message) {
    std::map<std::string, std::string> properties;
    if (sd_bus_message_enter_container(message, 'a', "{sv}") < 0) return properties;
    while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
        const char* key = nullptr;
        sd_bus_message_read(message, "s", &key);
        properties[key] = readVariant(message);
        sd_bus_message_exit_container(message);
    }
    sd_bus_message_exit_container(message);
    return properties;
}

// Owns org.freedesktop.Notifications on the test's bus, answers as a
// notification server does, and records what reaches it: Notify calls and
// every launcher update on the bus.
class FakeNotificationServer {
  public:
    FakeNotificationServer(const std::string& address, std::vector<std::string> capabilities)
        : capabilities_(std::move(capabilities)), bus_(address, nullptr) {}

    // Whether it has the name, once the bus has said.
    bool start() {
        auto started = std::make_shared<std::promise<bool>>();
        auto result = started->get_future();
        bus_.post([this, started](sd_bus* bus) {
            sd_bus_set_method_call_timeout(bus, 2'000'000);
            started->set_value(
                sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/Notifications",
                                         "org.freedesktop.Notifications", kVtable, this) >= 0 &&
                sd_bus_match_signal_async(bus, nullptr, nullptr, nullptr,
                                          "com.canonical.Unity.LauncherEntry", "Update", onUpdate,
                                          nullptr, this) >= 0 &&
                sd_bus_request_name(bus, "org.freedesktop.Notifications", 0) >= 0);
        });
        return result.wait_for(kBusPatience) == std::future_status::ready && result.get();
    }

    // The server's signals, sent in the order asked.
    void invokeAction(std::uint32_t id, const std::string& action) {
        bus_.post([id, action](sd_bus* bus) {
            sd_bus_emit_signal(bus, "/org/freedesktop/Notifications",
                               "org.freedesktop.Notifications", "ActionInvoked", "us", id,
                               action.c_str());
        });
    }
    void close(std::uint32_t id) {
        bus_.post([id](sd_bus* bus) {
            sd_bus_emit_signal(bus, "/org/freedesktop/Notifications",
                               "org.freedesktop.Notifications", "NotificationClosed", "uu", id,
                               std::uint32_t{2});
        });
    }

    // What had arrived once `count` Notify calls had, or the patience ran out.
    std::vector<ReceivedNotify> notifies(std::size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, kBusPatience, [&] { return notifies_.size() >= count; });
        return notifies_;
    }
    std::vector<ReceivedLauncherUpdate> launcherUpdates(std::size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, kBusPatience, [&] { return updates_.size() >= count; });
        return updates_;
    }

  private:
    static int onNotify(sd_bus_message* call, void* self, sd_bus_error*) {
        auto& server = *static_cast<FakeNotificationServer*>(self);
        ReceivedNotify notify;
        const char* appName = nullptr;
        const char* icon = nullptr;
        const char* summary = nullptr;
        const char* body = nullptr;
        sd_bus_message_read(call, "susss", &appName, &notify.replacesId, &icon, &summary, &body);
        notify.appName = appName;
        notify.icon = icon;
        notify.summary = summary;
        notify.body = body;
        sd_bus_message_enter_container(call, 'a', "s");
        const char* action = nullptr;
        while (sd_bus_message_read(call, "s", &action) > 0) notify.actions.emplace_back(action);
        sd_bus_message_exit_container(call);
        notify.hints = readProperties(call);
        sd_bus_message_read(call, "i", &notify.expireTimeout);
        {
            const std::lock_guard lock(server.mutex_);
            notify.id = 41 + static_cast<std::uint32_t>(server.notifies_.size());
            server.notifies_.push_back(notify);
        }
        // Replied before the test hears of it, so that the number reaches
        // the adapter before anything the test has the server send next.
        const int replied = sd_bus_reply_method_return(call, "u", notify.id);
        server.arrived_.notify_all();
        return replied;
    }

    static int onGetCapabilities(sd_bus_message* call, void* self, sd_bus_error*) {
        auto& server = *static_cast<FakeNotificationServer*>(self);
        sd_bus_message* reply = nullptr;
        sd_bus_message_new_method_return(call, &reply);
        sd_bus_message_open_container(reply, 'a', "s");
        for (const auto& capability : server.capabilities_) {
            sd_bus_message_append(reply, "s", capability.c_str());
        }
        sd_bus_message_close_container(reply);
        const int sent = sd_bus_send(nullptr, reply, nullptr);
        sd_bus_message_unref(reply);
        return sent;
    }

    static int onUpdate(sd_bus_message* signal, void* self, sd_bus_error*) {
        auto& server = *static_cast<FakeNotificationServer*>(self);
        ReceivedLauncherUpdate update;
        update.path = sd_bus_message_get_path(signal);
        const char* uri = nullptr;
        sd_bus_message_read(signal, "s", &uri);
        update.uri = uri;
        update.properties = readProperties(signal);
        {
            const std::lock_guard lock(server.mutex_);
            server.updates_.push_back(update);
        }
        server.arrived_.notify_all();
        return 0;
    }

    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Notify", "susssasa{sv}i", "u", onNotify, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("GetCapabilities", "", "as", onGetCapabilities, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_SIGNAL("ActionInvoked", "us", 0),
        SD_BUS_SIGNAL("NotificationClosed", "uu", 0),
        SD_BUS_VTABLE_END};

    const std::vector<std::string> capabilities_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<ReceivedNotify> notifies_;
    std::vector<ReceivedLauncherUpdate> updates_;
    SdBusThread bus_;  // last: its callbacks use everything above
};

// A bus, a notification server on it, and the adapter under test, its main
// queue pumped by the test.
class DbusUserNotificationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("kd-notifications-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Starts the bus, a server with those capabilities, and the adapter,
    // which stays absent when the bus cannot start here.
    void startServer(std::vector<std::string> capabilities) {
        if (!std::filesystem::exists(testing::kDbusDaemon)) {
            GTEST_SKIP() << testing::kDbusDaemon << " is not installed";
        }
        bus_.emplace(folder_ / "bus", kBusPatience);
        if (!bus_->failure().empty()) GTEST_SKIP() << bus_->failure();
        server_.emplace(bus_->address(), std::move(capabilities));
        ASSERT_TRUE(server_->start());
        notifications_.emplace(scheduler_, bus_->address());
    }

    std::filesystem::path folder_;
    TestMainLoop loop_{kBusPatience};
    ThreadScheduler scheduler_{loop_.poster()};
    std::optional<testing::PrivateSessionBus> bus_;
    std::optional<FakeNotificationServer> server_;
    std::optional<DbusUserNotifications> notifications_;
};

TEST_F(DbusUserNotificationsTest, ANotificationReachesTheServerWithEverythingItShows) {
    startServer({"body", "actions", "sound"});
    if (!notifications_) return;
    notifications_->deliver({"n-1", "Support replied", "Use <Shift> & drag", "t-1", true});
    notifications_->deliver({"n-2", "Kelvane Display", "Quiet one", "t-2", false});
    const auto received = server_->notifies(2);
    ASSERT_EQ(received.size(), 2u);

    const auto& first = received[0];
    EXPECT_EQ(first.appName, "Kelvane Display");
    EXPECT_EQ(first.replacesId, 0u);
    EXPECT_EQ(first.icon, "kelvane-display");
    EXPECT_EQ(first.summary, "Support replied");
    // Plain text to a server that reads no markup.
    EXPECT_EQ(first.body, "Use <Shift> & drag");
    EXPECT_EQ(first.actions, (std::vector<std::string>{"default", "Open"}));
    EXPECT_EQ(first.hints,
              (std::map<std::string, std::string>{{"category", "s im.received"},
                                                  {"desktop-entry", "s kelvane-display"},
                                                  {"sound-name", "s message-new-instant"},
                                                  {"urgency", "y 1"}}));
    EXPECT_EQ(first.expireTimeout, -1);

    const auto& second = received[1];
    EXPECT_EQ(second.summary, "Kelvane Display");
    EXPECT_EQ(second.body, "Quiet one");
    EXPECT_EQ(second.hints.count("sound-name"), 0u);
    EXPECT_EQ(second.hints.at("suppress-sound"), "b 1");
}

TEST_F(DbusUserNotificationsTest, AServerThatReadsMarkupShowsTheBodyAsTyped) {
    startServer({"body", "body-markup", "actions"});
    if (!notifications_) return;
    notifications_->deliver({"n-1", "A < B", "<b>5 & 6</b>", "t-1", true});
    const auto received = server_->notifies(1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].summary, "A < B");
    EXPECT_EQ(received[0].body, "&lt;b&gt;5 &amp; 6&lt;/b&gt;");
}

TEST_F(DbusUserNotificationsTest, AServerThatComesLaterIsAskedWhatItReads) {
    if (!std::filesystem::exists(testing::kDbusDaemon)) {
        GTEST_SKIP() << testing::kDbusDaemon << " is not installed";
    }
    testing::PrivateSessionBus bus(folder_ / "bus", kBusPatience);
    if (!bus.failure().empty()) GTEST_SKIP() << bus.failure();
    DbusUserNotifications notifications(scheduler_, bus.address());
    notifications.deliver({"n-1", "Early", "1 < 2", "t-1", true});
    FakeNotificationServer server(bus.address(), {"body", "body-markup"});
    ASSERT_TRUE(server.start());
    notifications.deliver({"n-2", "Late", "2 < 3", "t-2", true});
    // The early one may have found the server too, if it started in time.
    auto received = server.notifies(1);
    if (!received.empty() && received.back().summary != "Late") received = server.notifies(2);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back().summary, "Late");
    EXPECT_EQ(received.back().body, "2 &lt; 3");
}

TEST_F(DbusUserNotificationsTest, TextThatIsNotUtf8StillShows) {
    startServer({"body"});
    if (!notifications_) return;
    // Cut inside a character, a stray byte, a surrogate, an overlong slash,
    // and one character past the last.
    notifications_->deliver(
        {"n-1", "Caf\xC3", "\xE2\x82 \xFF \xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80 ok", "t-1", true});
    notifications_->deliver({"n-2", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "", "t-2", true});
    const auto received = server_->notifies(2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].summary, "Caf\uFFFD");
    EXPECT_EQ(received[0].body,
              "\uFFFD \uFFFD \uFFFD\uFFFD\uFFFD \uFFFD\uFFFD \uFFFD\uFFFD\uFFFD\uFFFD ok");
    EXPECT_EQ(received[1].summary, "Caf\u00E9 \u20AC \U0001F600");
}

TEST_F(DbusUserNotificationsTest, TheBadgeIsTheCountOnTheLauncherEntry) {
    startServer({"body"});
    if (!notifications_) return;
    notifications_->setBadge("3");
    notifications_->setBadge(std::nullopt);
    notifications_->setBadge("new");
    const auto updates = server_->launcherUpdates(3);
    ASSERT_EQ(updates.size(), 3u);
    for (const auto& update : updates) {
        EXPECT_EQ(update.path.rfind("/com/canonical/unity/launcherentry/", 0), 0u);
        EXPECT_EQ(update.path, updates[0].path);
        EXPECT_EQ(update.uri, "application://kelvane-display.desktop");
    }
    using Properties = std::map<std::string, std::string>;
    EXPECT_EQ(updates[0].properties, (Properties{{"count", "x 3"}, {"count-visible", "b 1"}}));
    EXPECT_EQ(updates[1].properties.at("count-visible"), "b 0");
    EXPECT_EQ(updates[2].properties.at("count-visible"), "b 0");
}

TEST_F(DbusUserNotificationsTest, AClickOpensItsThreadOnTheMainQueueOnlyWhileItIsShown) {
    startServer({"body", "actions"});
    if (!notifications_) return;
    std::vector<std::string> opened;
    bool onMain = true;
    notifications_->setActivationHandler([&](const std::string& thread) {
        onMain = onMain && scheduler_.onMainThread();
        opened.push_back(thread);
    });
    notifications_->deliver({"n-1", "First", "", "t-1", true});
    notifications_->deliver({"n-2", "Second", "", "t-2", true});
    const auto received = server_->notifies(2);
    ASSERT_EQ(received.size(), 2u);
    const auto first = received[0].id;
    const auto second = received[1].id;

    // Another program on the bus claims a click on a shown notification's
    // number; the daemon has passed it on by the time it answers that program.
    std::promise<void> claimed;
    SdBusThread impostor(bus_->address(), nullptr);
    impostor.post([first, &claimed](sd_bus* bus) {
        sd_bus_emit_signal(bus, "/org/freedesktop/Notifications", "org.freedesktop.Notifications",
                           "ActionInvoked", "us", first, "default");
        sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetId", nullptr, nullptr, "");
        claimed.set_value();
    });
    ASSERT_EQ(claimed.get_future().wait_for(kBusPatience), std::future_status::ready);

    // None of these is a click on a shown notification; all arrive before the one that is.
    server_->invokeAction(second, "other");
    server_->invokeAction(999, "default");
    server_->close(first);
    server_->invokeAction(first, "default");
    server_->invokeAction(second, "default");
    EXPECT_TRUE(loop_.runUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened, std::vector<std::string>{"t-2"});
    EXPECT_TRUE(onMain);
}

// A socket that takes connections and says nothing.
class SilentListener {
  public:
    explicit SilentListener(const std::filesystem::path& path)
        : socket_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        bound_ =
            ::bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(socket_.get(), 4) == 0;
    }
    bool bound() const { return bound_; }

    // The next connection, once one comes within the patience.
    UniqueFd accept() {
        pollfd waiting{socket_.get(), POLLIN, 0};
        if (::poll(&waiting, 1, static_cast<int>(kBusPatience / 1ms)) <= 0) return {};
        return UniqueFd(::accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    }

  private:
    UniqueFd socket_;
    bool bound_ = false;
};

// Whether the other end closes `connection` within the patience, whatever
// it writes before.
bool closedByPeer(const UniqueFd& connection) {
    const auto deadline = std::chrono::steady_clock::now() + kBusPatience;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{connection.get(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char chunk[256];
        if (::read(connection.get(), chunk, sizeof chunk) <= 0) return true;
    }
}

TEST_F(DbusUserNotificationsTest, WithoutASessionBusNothingHappensUntilOneIsThere) {
    if (!std::filesystem::exists(testing::kDbusDaemon)) {
        GTEST_SKIP() << testing::kDbusDaemon << " is not installed";
    }
    // The user's session bus, where a session without the variable has it.
    testing::SavedVariable noAddress("DBUS_SESSION_BUS_ADDRESS");
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    testing::SavedVariable runtime("XDG_RUNTIME_DIR", folder_.string());
    {
        DbusUserNotifications nowhere(scheduler_);
        nowhere.requestAuthorization();
        nowhere.setActivationHandler([](const std::string&) { ADD_FAILURE(); });
        nowhere.deliver({"n-1", "Lost", "", "t-1", true});
        nowhere.setBadge("2");
    }

    // Something listens there, but closes the connection at once.
    const auto path = folder_ / "bus";
    auto listener = std::make_optional<SilentListener>(path);
    ASSERT_TRUE(listener->bound());
    DbusUserNotifications notifications(scheduler_);
    notifications.deliver({"n-1", "Lost", "", "t-1", true});
    ASSERT_TRUE(listener->accept().isOpen());
    listener.reset();
    std::filesystem::remove(path);

    // Then the bus and a server come; the next notification is shown.
    testing::PrivateSessionBus bus(path, kBusPatience);
    if (!bus.failure().empty()) GTEST_SKIP() << bus.failure();
    FakeNotificationServer server(bus.address(), {"body"});
    ASSERT_TRUE(server.start());
    notifications.deliver({"n-2", "Shown", "", "t-2", true});
    const auto received = server.notifies(1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received.back().summary, "Shown");
}

TEST_F(DbusUserNotificationsTest, ABusThatNeverAnswersIsGivenUpAndTriedAgain) {
    const auto path = folder_ / "silent";
    SilentListener listener(path);
    ASSERT_TRUE(listener.bound());
    DbusUserNotifications notifications(scheduler_, "unix:path=" + path.string());
    notifications.deliver({"n-1", "Lost", "", "t-1", true});
    const auto first = listener.accept();
    ASSERT_TRUE(first.isOpen());
    EXPECT_TRUE(closedByPeer(first));
    notifications.setBadge("1");
    const auto second = listener.accept();
    EXPECT_TRUE(second.isOpen());
    // Destroyed while it waits for the second to answer.
}

}  // namespace
}  // namespace kd
