#include "platform/linux/xvfb_screen.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

// The descriptor the server writes its display number to.
constexpr int kDisplayFd = 3;
constexpr auto kTermGrace = 1000ms;

// Ends the server and reaps it: a polite request first, then no choice.
void stopAndReap(pid_t pid) {
    ::kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kTermGrace;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = ::waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) return;
        std::this_thread::sleep_for(5ms);
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Only async-signal-safe calls: the parent may have other threads.
[[noreturn]] void runServer(const char* path, char* const* argv, int writeEnd, int devNull,
                            pid_t parent) {
    // A server whose parent is gone must not stay; it cleans up on SIGTERM.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int moved = ::fcntl(writeEnd, F_DUPFD_CLOEXEC, kDisplayFd + 1);
    if (moved < 0) ::_exit(127);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(devNull, fd);
    // dup2 leaves the copy open across exec; every other descriptor of ours closes.
    if (::dup2(moved, kDisplayFd) < 0) ::_exit(127);
    ::execv(path, argv);
    ::_exit(127);
}

// Reads the line the server writes once it listens, such as "7\n".
std::string readDisplayNumber(int fd, std::chrono::milliseconds timeout, std::string& failure) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) {
            failure =
                "Xvfb did not report its display within " + std::to_string(timeout.count()) + " ms";
            return {};
        }
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) continue;  // the deadline decides
        char buffer[32];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failure = "Xvfb ended before reporting its display";
            return {};
        }
        line.append(buffer, static_cast<std::size_t>(n));
        if (line.size() > 16) break;
    }
    auto digits = line.substr(0, line.find('\n'));
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        failure = "Xvfb reported no display number";
        return {};
    }
    return digits;
}

}  // namespace

std::string XvfbScreen::program() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) continue;
        auto candidate = folder + "/Xvfb";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

std::unique_ptr<XvfbScreen> XvfbScreen::start(int pixelWidth, int pixelHeight, std::string& failure,
                                              std::chrono::milliseconds timeout) {
    const auto path = program();
    if (path.empty()) {
        failure = "Xvfb is not installed";
        return nullptr;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        failure = std::string("no pipe for Xvfb: ") + std::strerror(errno);
        return nullptr;
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    UniqueFd devNull(::open("/dev/null", O_RDWR | O_CLOEXEC));
    if (!devNull.isOpen()) {
        failure = std::string("cannot open /dev/null: ") + std::strerror(errno);
        return nullptr;
    }
    // Everything the child needs is made before the fork.
    std::vector<std::string> arguments{
        path,
        "-displayfd",
        std::to_string(kDisplayFd),
        "-screen",
        "0",
        std::to_string(pixelWidth) + "x" + std::to_string(pixelHeight) + "x24",
        "-nolisten",
        "tcp",
        "-noreset"};
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0) {
        failure = std::string("cannot start Xvfb: ") + std::strerror(errno);
        return nullptr;
    }
    if (pid == 0) runServer(path.c_str(), argv.data(), writeEnd.get(), devNull.get(), parent);

    writeEnd.reset();  // the server holds the only writer now: its end is our end of file
    const auto number = readDisplayNumber(readEnd.get(), timeout, failure);
    if (number.empty()) {
        stopAndReap(pid);
        return nullptr;
    }
    return std::unique_ptr<XvfbScreen>(new XvfbScreen(pid, ":" + number));
}

XvfbScreen::~XvfbScreen() {
    stopAndReap(pid_);
}

}  // namespace kd
