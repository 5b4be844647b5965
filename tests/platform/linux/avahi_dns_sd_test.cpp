#include "platform/linux/avahi_dns_sd.h"

#include <gtest/gtest.h>

#include "support/saved_variable.h"
#include "support/test_main_loop.h"

namespace kd {
namespace {

// Found, resolved and withdrawn services are tested beside a private daemon
// (tests/platform/linux/avahi); this one needs no daemon at all.
TEST(AvahiDnsSdTest, WithoutADaemonConnectingFailsAtOnceAndSaysWhy) {
    const testing::SavedVariable bus("DBUS_SYSTEM_BUS_ADDRESS",
                                     "unix:path=/nonexistent/kd-test-bus");
    TestMainLoop loop{std::chrono::seconds(1)};
    ThreadScheduler scheduler(loop.poster());
    std::string failure;
    EXPECT_FALSE(AvahiDnsSd::connect(scheduler, failure));
    EXPECT_TRUE(failure.starts_with("cannot reach the Avahi daemon: ")) << failure;
}

}  // namespace
}  // namespace kd
