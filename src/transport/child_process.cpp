#include "transport/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>
#include <system_error>
#include <utility>
#include <variant>

#include "platform/unique_fd.h"

namespace kd {
namespace {

using Clock = std::chrono::steady_clock;

// How often a quiet child is looked at to see whether it has exited. Its
// pipes wake the loop at once; this only bounds how late an exit with no
// output, or one whose pipes are held by others, is noticed.
constexpr std::chrono::milliseconds kExitCheckInterval{25};

struct Pipe {
    UniqueFd read;
    UniqueFd write;
};

// Close-on-exec on both ends, so a child started by another thread at the
// same moment cannot inherit them and keep the pipe from reaching its end.
std::variant<Pipe, int> openPipe() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) return errno;
    return Pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
}

// posix_spawn's attribute and file-action objects, released on every path.
class SpawnSetup {
  public:
    SpawnSetup() {
        ::posix_spawnattr_init(&attributes);
        ::posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions);
        ::posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawnattr_t attributes{};
    posix_spawn_file_actions_t actions{};
};

struct Spawned {
    pid_t pid = 0;
    UniqueFd out;
    UniqueFd err;
};

// This process's environment with `extra` laid over it, as NAME=VALUE texts.
std::vector<std::string> childEnvironment(const EnvironmentEntries& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const auto name = text.substr(0, text.find('='));
        if (std::none_of(extra.begin(), extra.end(),
                         [&](const auto& replacement) { return replacement.first == name; })) {
            entries.emplace_back(text);
        }
    }
    for (const auto& [name, value] : extra) {
        auto& entry = entries.emplace_back(name);
        entry += '=';
        entry += value;
    }
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The started child, or the errno that kept it from starting.
std::variant<Spawned, int> spawn(const std::string& executable,
                                 const std::vector<std::string>& arguments, ErrorStream errors,
                                 const EnvironmentEntries& environment) {
    auto outPipe = openPipe();
    if (const auto* error = std::get_if<int>(&outPipe)) return *error;
    std::optional<Pipe> errPipe;
    if (errors == ErrorStream::capture) {
        auto opened = openPipe();
        if (const auto* error = std::get_if<int>(&opened)) return *error;
        errPipe = std::move(std::get<Pipe>(opened));
    }

    SpawnSetup setup;
    ::posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&setup.actions, std::get<Pipe>(outPipe).write.get(),
                                       STDOUT_FILENO);
    if (errPipe) {
        ::posix_spawn_file_actions_adddup2(&setup.actions, errPipe->write.get(), STDERR_FILENO);
    } else {
        ::posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    // Its own group, so the deadline reaches whatever it starts; and default
    // signal handling, so a SIGTERM this process happens to ignore or block
    // still ends it.
    sigset_t none;
    sigset_t all;
    ::sigemptyset(&none);
    ::sigfillset(&all);
    ::posix_spawnattr_setpgroup(&setup.attributes, 0);
    ::posix_spawnattr_setsigmask(&setup.attributes, &none);
    ::posix_spawnattr_setsigdefault(&setup.attributes, &all);
    ::posix_spawnattr_setflags(
        &setup.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> words{executable};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const auto argv = pointersTo(words);
    auto variables = childEnvironment(environment);
    const auto envp = pointersTo(variables);

    Spawned child;
    const int status = ::posix_spawn(&child.pid, executable.c_str(), &setup.actions,
                                     &setup.attributes, argv.data(), envp.data());
    if (status != 0) return status;
    // The write ends close as the pipes go out of scope, so the child holds
    // the only ones and its exit ends the streams.
    child.out = std::move(std::get<Pipe>(outPipe).read);
    if (errPipe) child.err = std::move(errPipe->read);
    return child;
}

// Moves whatever the child's pipes hold into their buffers; a pipe is closed
// once it reaches its end.
class PipeReader {
  public:
    PipeReader(UniqueFd out, std::string& outBuffer, UniqueFd err, std::string& errBuffer)
        : sources_{Source{std::move(out), outBuffer}, Source{std::move(err), errBuffer}} {}

    bool finished() const {
        return std::none_of(sources_.begin(), sources_.end(),
                            [](const Source& source) { return source.fd.isOpen(); });
    }

    // Waits until data comes or `until` passes, then reads what has come.
    void readUntil(Clock::time_point until) {
        std::array<pollfd, 2> polls{};
        std::array<Source*, 2> polled{};
        nfds_t count = 0;
        for (auto& source : sources_) {
            if (!source.fd.isOpen()) continue;
            polls[count] = pollfd{source.fd.get(), POLLIN, 0};
            polled[count] = &source;
            ++count;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        const int timeoutMs = static_cast<int>(std::max<std::int64_t>(0, wait.count()));
        if (::poll(polls.data(), count, timeoutMs) <= 0) return;  // nothing yet, or a signal
        for (nfds_t i = 0; i < count; ++i) {
            if (polls[i].revents != 0) readSome(*polled[i]);
        }
    }

  private:
    struct Source {
        UniqueFd fd;
        std::string& buffer;
    };

    static void readSome(Source& source) {
        std::array<char, std::size_t{64} * 1024> chunk;
        const ssize_t got = ::read(source.fd.get(), chunk.data(), chunk.size());
        if (got > 0) {
            source.buffer.append(chunk.data(), static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            source.fd.reset();
        }
    }

    std::array<Source, 2> sources_;
};

// True once the child has exited. The exit is only looked at, not collected,
// so the child's id, and with it its group's, stays taken until `reap`.
bool hasExited(pid_t pid) {
    while (true) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
            return info.si_pid == pid;
        }
        // No such child any more: the process ignores SIGCHLD and it was
        // collected on exit.
        if (errno != EINTR) return true;
    }
}

std::optional<int> reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return std::nullopt;
}

}  // namespace

ChildRun runChild(const std::string& executable, const std::vector<std::string>& arguments,
                  std::chrono::steady_clock::duration timeout, ErrorStream errors,
                  const EnvironmentEntries& environment) {
    ChildRun run;
    auto spawned = spawn(executable, arguments, errors, environment);
    if (const auto* error = std::get_if<int>(&spawned)) {
        run.launchError = std::generic_category().message(*error);
        return run;
    }
    auto& child = std::get<Spawned>(spawned);
    PipeReader reader(std::move(child.out), run.out, std::move(child.err), run.err);
    const pid_t group = child.pid;

    const auto deadline = Clock::now() + timeout;
    std::optional<Clock::time_point> killAt;
    bool killed = false;
    while (!hasExited(child.pid)) {
        const auto now = Clock::now();
        if (!run.timedOut && now >= deadline) {
            run.timedOut = true;
            ::kill(-group, SIGTERM);
            killAt = now + kTerminationGrace;
        } else if (killAt && !killed && now >= *killAt) {
            ::kill(-group, SIGKILL);
            killed = true;
        }
        auto wakeAt = now + kExitCheckInterval;
        if (!run.timedOut) wakeAt = std::min(wakeAt, deadline);
        if (killAt && !killed) wakeAt = std::min(wakeAt, *killAt);
        reader.readUntil(wakeAt);
    }

    // Anything still in the group would outlive the call, holding the pipes.
    ::kill(-group, SIGKILL);
    const auto drainEnd = Clock::now() + kDrainWindow;
    while (!reader.finished() && Clock::now() < drainEnd) reader.readUntil(drainEnd);
    run.exitCode = reap(child.pid);
    return run;
}

}  // namespace kd
