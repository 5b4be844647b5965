#include "platform/linux/avahi_dns_sd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/test_main_loop.h"

namespace kd {
namespace {

// Found, resolved and withdrawn services are tested beside a private daemon
// (tests/platform/linux/avahi); this one needs no daemon at all.
TEST(AvahiDnsSdTest, WithoutADaemonConnectingFailsAtOnceAndSaysWhy) {
    const char* before = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    const std::optional<std::string> saved =
        before ? std::optional<std::string>(before) : std::nullopt;
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/kd-test-bus", 1);

    TestMainLoop loop{std::chrono::seconds(1)};
    ThreadScheduler scheduler(loop.poster());
    std::string failure;
    const auto dnsSd = AvahiDnsSd::connect(scheduler, failure);

    if (saved) {
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", saved->c_str(), 1);
    } else {
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
    EXPECT_FALSE(dnsSd);
    EXPECT_TRUE(failure.starts_with("cannot reach the Avahi daemon: ")) << failure;
}

}  // namespace
}  // namespace kd
