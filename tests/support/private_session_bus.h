#pragma once

// A session bus of the test's own: a dbus-daemon listening on one socket,
// with no services to start and nothing forbidden, ended when the object goes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/unique_fd.h"

extern char** environ;

namespace kd::testing {

inline constexpr const char* kDbusDaemon = "/usr/bin/dbus-daemon";

class PrivateSessionBus {
  public:
    // Starts the daemon on `socket`, its configuration beside it; `failure`
    // says why it did not start.
    PrivateSessionBus(const std::filesystem::path& socket, std::chrono::milliseconds patience)
        : address_("unix:path=" + socket.string()) {
        const auto config = socket.parent_path() / (socket.filename().string() + ".conf");
        std::ofstream(config) << "<busconfig><type>session</type><listen>" << address_
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                              << "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                              << "<allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                              << "</policy></busconfig>\n";
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            failure_ = "no pipe";
            return;
        }
        UniqueFd readEnd(ends[0]);
        UniqueFd writeEnd(ends[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 3);
        // What it complains of (an fd limit it may not raise, say) goes beside the socket.
        const auto log = socket.parent_path() / (socket.filename().string() + ".log");
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        const std::string configArgument = "--config-file=" + config.string();
        const char* argv[] = {kDbusDaemon,   configArgument.c_str(), "--nofork",
                              "--nopidfile", "--print-address=3",    nullptr};
        const int spawned =
            ::posix_spawn(&pid_, kDbusDaemon, &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        writeEnd.reset();
        if (spawned != 0) {
            pid_ = -1;
            failure_ = std::string(kDbusDaemon) + " cannot be started";
            return;
        }
        // It prints its address once it listens.
        std::string printed;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (printed.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd readable{readEnd.get(), POLLIN, 0};
            char chunk[256];
            ssize_t got = 0;
            if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0 ||
                (got = ::read(readEnd.get(), chunk, sizeof chunk)) <= 0) {
                failure_ = "dbus-daemon did not start listening; see " + log.string();
                return;
            }
            printed.append(chunk, static_cast<std::size_t>(got));
        }
    }

    ~PrivateSessionBus() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }

    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    const std::string& address() const { return address_; }
    const std::string& failure() const { return failure_; }

  private:
    const std::string address_;
    std::string failure_;
    pid_t pid_ = -1;
};

}  // namespace kd::testing
