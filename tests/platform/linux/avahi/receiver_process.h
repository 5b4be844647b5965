#pragma once

// One simulated AirPlay receiver (kd-airplay-receiver) run for a test, ended
// with SIGTERM, which makes it withdraw its announcement, when the test is
// done with it.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "transport/child_probe.h"

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
        if (!testing::endsWithin(pid_, std::chrono::seconds(10))) ::kill(pid_, SIGKILL);
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
