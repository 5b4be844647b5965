#pragma once

// One simulated AirPlay receiver (kd-airplay-receiver) run for a test, ended
// with SIGTERM, which makes it withdraw its announcement, when the test is
// done with it.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace kd::test {

class ReceiverProcess {
  public:
    explicit ReceiverProcess(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), KD_AIRPLAY_RECEIVER);
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            throw std::runtime_error("cannot start " + arguments.front());
        }
    }

    ~ReceiverProcess() { stop(); }
    ReceiverProcess(const ReceiverProcess&) = delete;
    ReceiverProcess& operator=(const ReceiverProcess&) = delete;

    // Ends the receiver and returns its exit status (-1 when it had to be
    // killed). Bounded: SIGKILL follows when SIGTERM is not enough.
    int stop() {
        if (pid_ <= 0) return status_;
        ::kill(pid_, SIGTERM);
        const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
        pollfd exited{pidFd, POLLIN, 0};
        if (pidFd < 0 || ::poll(&exited, 1, 10'000) != 1) ::kill(pid_, SIGKILL);
        if (pidFd >= 0) ::close(pidFd);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return status_;
    }

  private:
    pid_t pid_ = 0;
    int status_ = -1;
};

}  // namespace kd::test
