// A simulated AirPlay receiver for tests and demonstrations: it announces
// itself on the local network through the Avahi daemon, as an Apple TV or an
// AirPlay television does, and answers GET /info over HTTP.

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "announcement.h"
#include "info_reply.h"
#include "platform/unique_fd.h"

namespace {

constexpr const char* kProgram = "kd-airplay-receiver";
constexpr int kRequestPatienceMs = 2000;
constexpr std::size_t kMaxRequestHead = std::size_t{16} << 10;

using kd::UniqueFd;

// Writes one line to standard error in one call, so lines from Avahi's
// thread and the main thread never interleave.
void say(const std::string& message) {
    const std::string line = std::string(kProgram) + ": " + message + "\n";
    (void)!::write(STDERR_FILENO, line.data(), line.size());
}

UniqueFd listenOn(int port) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (!fd.isOpen() || ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd.get(), 16) != 0) {
        return UniqueFd();
    }
    return fd;
}

int boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// Reads one request head and answers it; a client that is slow or sends too
// much is dropped.
void serve(int listener, const std::string& info) {
    const UniqueFd connection(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection.isOpen()) return;
    const timeval sendPatience{kRequestPatienceMs / 1000, 0};
    ::setsockopt(connection.get(), SOL_SOCKET, SO_SNDTIMEO, &sendPatience, sizeof sendPatience);
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd readable{connection.get(), POLLIN, 0};
        if (head.size() > kMaxRequestHead || ::poll(&readable, 1, kRequestPatienceMs) != 1) return;
        const ssize_t n = ::recv(connection.get(), buffer, sizeof buffer, 0);
        if (n <= 0) return;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string answer = kd::receiver::answerTo(head, info);
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const ssize_t n =
            ::send(connection.get(), answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = kd::receiver::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<kd::receiver::UsageError>(&parsed)) {
        std::cerr << kProgram << ": " << error->message << "\nTry '" << kProgram
                  << " --help' for more information.\n";
        return 2;
    }
    const auto& options = std::get<kd::receiver::Options>(parsed);
    if (options.help) {
        std::cout << kd::receiver::usageText();
        return 0;
    }

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    // Blocked before Avahi starts its thread, so the thread inherits the mask
    // and the signals arrive only through the descriptor.
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    const UniqueFd signals(::signalfd(-1, &stopSignals, SFD_CLOEXEC));

    const UniqueFd listener = listenOn(options.port);
    int failurePipe[2];
    if (!signals.isOpen() || !listener.isOpen() || ::pipe2(failurePipe, O_CLOEXEC) != 0) {
        say("cannot listen on port " + std::to_string(options.port) + ": " + std::strerror(errno));
        return 1;
    }
    const UniqueFd failureRead(failurePipe[0]);
    const UniqueFd failureWrite(failurePipe[1]);
    const int port = boundPort(listener.get());
    const std::string info = kd::receiver::infoBody(options);

    std::string error;
    auto announcement =
        kd::receiver::Announcement::start(options, port,
                                          {.established = say,
                                           .failed =
                                               [&failureWrite](const std::string& message) {
                                                   say(message);
                                                   (void)!::write(failureWrite.get(), "x", 1);
                                               }},
                                          error);
    if (!announcement) {
        say(error);
        return 1;
    }

    pollfd watched[] = {
        {listener.get(), POLLIN, 0}, {signals.get(), POLLIN, 0}, {failureRead.get(), POLLIN, 0}};
    while (true) {
        if (::poll(watched, 3, -1) < 0) {
            if (errno == EINTR) continue;
            say(std::string("cannot wait for clients: ") + std::strerror(errno));
            return 1;
        }
        if (watched[2].revents) return 1;
        if (watched[1].revents) break;
        if (watched[0].revents) serve(listener.get(), info);
    }
    announcement.reset();
    say("withdrew \"" + options.name + "\"");
    return 0;
}
