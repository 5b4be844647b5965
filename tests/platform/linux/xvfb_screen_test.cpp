#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/linux/xvfb_screen.h"
#include "platform/unique_fd.h"

namespace kd {
namespace {

// Generous: the sanitizer build on two busy cores. Only proves "no hang".
constexpr int kExitWaitMs = 30'000;

std::filesystem::path socketOf(const std::string& displayName) {
    return "/tmp/.X11-unix/X" + displayName.substr(1);
}

// The root window's size as an X client sees it; nothing when no client can connect.
std::optional<std::pair<int, int>> rootSize(const std::string& displayName) {
    xcb_connection_t* connection = xcb_connect(displayName.c_str(), nullptr);
    std::optional<std::pair<int, int>> size;
    if (xcb_connection_has_error(connection) == 0) {
        const auto* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        size = std::pair(int(screen->width_in_pixels), int(screen->height_in_pixels));
    }
    xcb_disconnect(connection);
    return size;
}

// True once the process has ended (a zombie counts), waiting at most kExitWaitMs.
bool endsInTime(pid_t pid) {
    const UniqueFd handle(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!handle.isOpen()) return errno == ESRCH;
    pollfd ended{handle.get(), POLLIN, 0};
    return ::poll(&ended, 1, kExitWaitMs) == 1;
}

class XvfbScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (XvfbScreen::program().empty()) GTEST_SKIP() << "Xvfb is not installed";
    }
};

TEST_F(XvfbScreenTest, AScreenOfTheAskedSizeOnAFreeDisplayGoesWithoutATrace) {
    std::string failure;
    auto first = XvfbScreen::start(640, 480, failure);
    ASSERT_NE(first, nullptr) << failure;
    auto second = XvfbScreen::start(800, 600, failure);
    ASSERT_NE(second, nullptr) << failure;
    EXPECT_NE(first->displayName(), second->displayName());
    EXPECT_EQ(rootSize(first->displayName()), std::pair(640, 480));
    EXPECT_EQ(rootSize(second->displayName()), std::pair(800, 600));

    const auto pid = first->pid();
    const auto socket = socketOf(first->displayName());
    EXPECT_TRUE(std::filesystem::exists(socket));
    first.reset();
    EXPECT_EQ(::kill(pid, 0), -1) << "stopped and reaped";
    EXPECT_FALSE(std::filesystem::exists(socket));
    EXPECT_EQ(rootSize(second->displayName()), std::pair(800, 600)) << "the other one stays";
}

TEST_F(XvfbScreenTest, AServerThatCannotStartSaysSoAndLeavesNothing) {
    std::string failure;
    EXPECT_EQ(XvfbScreen::start(0, 0, failure), nullptr);
    EXPECT_NE(failure, "");
}

TEST_F(XvfbScreenTest, TheServerDoesNotOutliveItsProcess) {
    // The orphaned server becomes ours to reap, so not even a zombie stays.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string failure;
        const auto screen = XvfbScreen::start(320, 240, failure).release();
        const pid_t server = screen != nullptr ? screen->pid() : 0;
        (void)!::write(writeEnd.get(), &server, sizeof server);
        ::_exit(0);  // no destructors: the process simply dies
    }
    writeEnd.reset();
    pid_t server = 0;
    ASSERT_EQ(::read(readEnd.get(), &server, sizeof server), ssize_t(sizeof server));
    ::waitpid(child, nullptr, 0);
    const bool ended = server > 0 && endsInTime(server);
    if (server > 0 && ended) ::waitpid(server, nullptr, 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    ASSERT_GT(server, 0) << "the child could not start Xvfb";
    EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace kd
