#pragma once

// Real-process helpers for the runner tests: a shell that takes scripts the
// way the script interpreter does, and checks that a process is gone.

#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/script_interpreter.h"
#include "support/files.h"

namespace kd::testing {

// An interpreter that runs `-e SCRIPT` as a shell script, so a test can make
// "the interpreter" print, fail, hang or ignore signals at will. It refuses
// any other command line with status 64.
class SimShellInterpreter {
  public:
    SimShellInterpreter() {
        const auto file = scratch_.path() / "sh-interpreter";
        std::ofstream(file) << "#!/bin/sh\n"
                               "[ \"$#\" -eq 2 ] && [ \"$1\" = \"-e\" ] || exit 64\n"
                               "exec /bin/sh -c \"$2\"\n";
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
        interpreter_.path = file.string();
    }

    const ScriptInterpreter& interpreter() const { return interpreter_; }

  private:
    ScratchDir scratch_;
    ScriptInterpreter interpreter_;
};

// The process ids a test script wrote to `file`, one a line.
inline std::vector<pid_t> readPids(const std::filesystem::path& file) {
    std::vector<pid_t> pids;
    std::ifstream in(file);
    for (pid_t pid = 0; in >> pid;) pids.push_back(pid);
    return pids;
}

// True when `pid` has ended or ends within `patience`; an unreaped zombie
// has ended. Waits on the process itself, never on the clock alone.
inline bool endsWithin(pid_t pid, std::chrono::milliseconds patience) {
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    pollfd exit{fd, POLLIN, 0};
    const int ready = ::poll(&exit, 1, static_cast<int>(patience.count()));
    ::close(fd);
    return ready == 1;
}

// True when `pid` is neither running nor waiting to be reaped as a child of
// this process.
inline bool goneAndReaped(pid_t pid) {
    if (::waitpid(pid, nullptr, WNOHANG) != -1 || errno != ECHILD) return false;
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

}  // namespace kd::testing
