#pragma once

// A private Xvfb for tests: started on a display number it picks itself
// (-displayfd), so tests running side by side never collide, and ended with
// the object. `available()` is false, with the reason, where Xvfb cannot run.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace kd::testing {

class XvfbServer {
  public:
    // A screen of `width` × `height` in 24-bit colour with a black root.
    XvfbServer(int width, int height) {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0) {
            reason_ = "no pipe";
            return;
        }
        const std::string fd = std::to_string(pipe[1]);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        std::vector<std::string> args = {"Xvfb", "-displayfd", fd,    "-screen",  "0",
                                         screen, "-nolisten",  "tcp", "-noreset", "-br"};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The write end stays open in the child only; Xvfb's chatter is dropped.
        posix_spawn_file_actions_adddup2(&actions, pipe[1], pipe[1]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe[1]);
        if (spawned != 0) {
            ::close(pipe[0]);
            pid_ = -1;
            reason_ = "Xvfb is not installed";
            return;
        }
        name_ = readDisplayNumber(pipe[0]);
        ::close(pipe[0]);
        if (name_.empty()) reason_ = "Xvfb did not start";
    }

    ~XvfbServer() { kill(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool available() const { return !name_.empty(); }
    const std::string& reason() const { return reason_; }
    const std::string& name() const { return name_; }  // ":N"

    // Ends the server now, as a user stopping it would; waits until it has gone.
    void kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        if (!exitsWithin(std::chrono::seconds(10))) ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    // Xvfb writes its display number and a newline once it is ready.
    static std::string readDisplayNumber(int fd) {
        std::string number;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd ready{fd, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
            char c = 0;
            if (::read(fd, &c, 1) != 1) break;
            if (c == '\n') return number.empty() ? "" : ":" + number;
            number += c;
        }
        return "";
    }

    bool exitsWithin(std::chrono::seconds patience) const {
        const int handle = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
        if (handle < 0) return false;
        pollfd exited{handle, POLLIN, 0};
        const bool done = ::poll(&exited, 1, static_cast<int>(patience.count() * 1000)) == 1;
        ::close(handle);
        return done;
    }

    pid_t pid_ = -1;
    std::string name_;
    std::string reason_;
};

}  // namespace kd::testing
